#pragma once

#include "generator/GeneratorPars.h"

#include <QString>
#include <QStringList>

#include <optional>

class IniText;
class TIniFile;

// Named parameter sets: records the operator keeps under a name, in the
// settings file beside the current one.
//
// Each set is a section of its own, "[Набор параметров G-740: <name>]", with
// the 19 record keys of the module section ("Модуль G-740"). The prefix keeps
// set sections apart from the program's three sections whatever the name,
// and a program that does not know sets leaves such sections alone, as it
// does every section it does not know. Names are compared without regard to
// case, like every section name; a name is stored trimmed of blanks.
//
// Every change is one atomic replacement of the file (TIniFile::Update);
// a failed write throws IniFileError. A name or set that cannot be used is
// refused with the operator's message (in Russian) as the result.
namespace ParameterSets {

inline constexpr qsizetype MaxNameLength = 64; // characters

// The section that holds the set of this name.
QString sectionName(const QString &name);

// The names of the sets in file order.
QStringList names(const TIniFile &file);

// Whether a set of this name (in any letter case) exists.
bool contains(const TIniFile &file, const QString &name);

// Why name cannot be stored in text, or nothing: blank, too long, holding a
// bracket, a line break or another control character, or characters the
// text's encoding lacks.
std::optional<QString> nameProblem(const IniText &text, const QString &name);

// Stores pars under name, replacing a set of the same name. Returns the
// refusal message, or nothing when the set is stored.
std::optional<QString> save(TIniFile &file, const QString &name, const GENERATOR_PARS &pars);

// Reads the set into pars (the library's own bytes stay). Out-of-range values
// take their key's default; their keys go to replacedKeys. Returns the
// refusal message for a missing set, or nothing.
std::optional<QString> load(const TIniFile &file, const QString &name, GENERATOR_PARS &pars,
                            QStringList *replacedKeys = nullptr);

// Removes the set. Returns the refusal message for a missing set, or nothing.
std::optional<QString> remove(TIniFile &file, const QString &name);

} // namespace ParameterSets
