#include "settings/ParameterSets.h"

#include "settings/IniFile.h"
#include "settings/IniText.h"
#include "settings/SettingsKeys.h"
#include <QCoreApplication>

namespace {

const QString SectionPrefix = QStringLiteral("Набор параметров G-740: ");

// The name of a set section, or nothing for any other section.
std::optional<QString> setNameOf(const QString &section)
{
    if (!section.startsWith(SectionPrefix, Qt::CaseInsensitive))
        return std::nullopt;
    return section.mid(SectionPrefix.size()).trimmed();
}

QString missingSet(const QString &name)
{
    return QCoreApplication::translate("ParameterSets", "Набор параметров \"%1\" не найден в файле настроек.").arg(name.trimmed());
}

std::optional<QString> existingName(const IniText &text, const QString &name)
{
    for (const QString &section : text.sectionNames()) {
        const std::optional<QString> setName = setNameOf(section);
        if (setName && QString::compare(*setName, name.trimmed(), Qt::CaseInsensitive) == 0)
            return setName;
    }
    return std::nullopt;
}

} // namespace

namespace ParameterSets {

QString sectionName(const QString &name)
{
    return SectionPrefix + name.trimmed();
}

QStringList names(const TIniFile &file)
{
    QStringList result;
    for (const QString &section : file.text().sectionNames()) {
        if (const std::optional<QString> name = setNameOf(section); name && !name->isEmpty())
            result.append(*name);
    }
    return result;
}

bool contains(const TIniFile &file, const QString &name)
{
    return existingName(file.text(), name).has_value();
}

std::optional<QString> nameProblem(const IniText &text, const QString &name)
{
    const QString trimmed = name.trimmed();
    if (trimmed.isEmpty())
        return QCoreApplication::translate("ParameterSets", "Название набора параметров не может быть пустым.");
    if (trimmed.toUcs4().size() > MaxNameLength)
        return QCoreApplication::translate("ParameterSets", "Название набора параметров длиннее %1 символов.").arg(MaxNameLength);
    for (const QChar c : trimmed) {
        // A bracket or a line break would end the section's header line.
        if (c == u'[' || c == u']' || c.category() == QChar::Other_Control || c == QChar::LineSeparator
            || c == QChar::ParagraphSeparator)
            return QCoreApplication::translate("ParameterSets", "Название набора параметров не может содержать квадратные скобки, переводы строки "
                                  "и управляющие символы.");
    }
    if (!text.canStore(trimmed)) {
        return text.encoding() == IniEncoding::Cp1251
                   ? QCoreApplication::translate("ParameterSets", "Название набора параметров содержит символы, которых нет в кодировке "
                                    "Windows-1251 файла настроек.")
                   : QCoreApplication::translate("ParameterSets", "Название набора параметров содержит символы, которые нельзя записать в файл "
                                    "настроек.");
    }
    return std::nullopt;
}

std::optional<QString> save(TIniFile &file, const QString &name, const GENERATOR_PARS &pars)
{
    // Checked first, so that a refused name is told as such even when the
    // file could not be written; checked again on the text that is written.
    std::optional<QString> problem = nameProblem(file.text(), name);
    if (problem)
        return problem;
    file.Update([&](IniText &text) {
        problem = nameProblem(text, name);
        if (problem)
            return false;
        if (const std::optional<QString> old = existingName(text, name))
            text.removeSection(sectionName(*old));
        setRecordKeys(text, sectionName(name), pars);
        return true;
    });
    return problem;
}

std::optional<QString> load(const TIniFile &file, const QString &name, GENERATOR_PARS &pars, QStringList *replacedKeys)
{
    const IniText text = file.text();
    const std::optional<QString> found = existingName(text, name);
    if (!found)
        return missingSet(name);
    const QStringList replaced = readRecordSection(text, sectionName(*found), pars);
    if (replacedKeys)
        *replacedKeys = replaced;
    return std::nullopt;
}

std::optional<QString> remove(TIniFile &file, const QString &name)
{
    if (!existingName(file.text(), name))
        return missingSet(name);
    std::optional<QString> problem;
    file.Update([&](IniText &text) {
        const std::optional<QString> found = existingName(text, name);
        if (!found) {
            problem = missingSet(name);
            return false;
        }
        text.removeSection(sectionName(*found));
        return true;
    });
    return problem;
}

} // namespace ParameterSets
