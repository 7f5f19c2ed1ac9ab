#pragma once

#include <QString>
#include <QStringList>

// The interface language: Russian (the source texts) or English (the
// translation built into the program). The choice is kept in the settings
// file under a section and key of their own, which never change with it.
namespace Language {

inline const QString Russian = QStringLiteral("ru");
inline const QString English = QStringLiteral("en");
inline const QString SettingsSection = QStringLiteral("Interface");
inline const QString SettingsKey = QStringLiteral("Language");

bool isKnown(const QString &code);
// The value of --lang among the arguments (as the program got them); empty
// without the option or with an unknown value (the parser reports that).
QString fromArguments(const QStringList &arguments);
// The choice kept in the settings file at path; empty if none or unknown.
QString saved(const QString &settingsPath);
// Keeps the choice in the settings file (one atomic replacement).
void save(const QString &settingsPath, const QString &code);
// Installs the program's translation for code into the running application;
// Russian needs none of its own but takes Qt's Russian texts. Remote texts
// stay English either way. False if the program's translation could not be
// loaded.
bool install(const QString &code);
// Qt's own Russian texts; false if Qt's translations are not installed.
bool installQtTranslation();
// The language install() put in place; Russian before.
QString current();

} // namespace Language
