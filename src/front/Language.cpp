#include "front/Language.h"

#include "remote/RemoteEnglish.h"
#include "settings/IniFile.h"

#include <QCoreApplication>
#include <QFileInfo>
#include <QLibraryInfo>
#include <QTranslator>

namespace Language {

namespace {
QString installed = Russian;
const QString EnglishTranslationFile = QStringLiteral(":/i18n/g740demo_en.qm");
}

bool isKnown(const QString &code)
{
    return code == Russian || code == English;
}

QString fromArguments(const QStringList &arguments)
{
    QString value;
    for (qsizetype i = 1; i < arguments.size(); ++i) {
        const QString &argument = arguments.at(i);
        if (argument == QLatin1String("--"))
            break;
        if ((argument == QLatin1String("--lang") || argument == QLatin1String("-lang")) && i + 1 < arguments.size())
            value = arguments.at(++i);
        else if (argument.startsWith(QLatin1String("--lang=")))
            value = argument.mid(7);
        else if (argument.startsWith(QLatin1String("-lang=")))
            value = argument.mid(6);
    }
    return isKnown(value) ? value : QString();
}

QString saved(const QString &settingsPath)
{
    if (!QFileInfo(settingsPath).isFile())
        return {};
    const TIniFile file(settingsPath);
    const QString code = file.ReadString(SettingsSection, SettingsKey, QString()).trimmed();
    return isKnown(code) ? code : QString();
}

void save(const QString &settingsPath, const QString &code)
{
    TIniFile file(settingsPath);
    file.WriteString(SettingsSection, SettingsKey, code);
}

bool install(const QString &code)
{
    bool loaded = true;
    if (code == English) {
        auto *translator = new QTranslator(QCoreApplication::instance());
        loaded = translator->load(EnglishTranslationFile) && QCoreApplication::installTranslator(translator);
        if (loaded)
            installed = English;
        else
            delete translator;
    } else {
        // Qt's own texts (the command line's help and errors, standard
        // buttons) in Russian too; without them Qt's English source texts serve.
        installQtTranslation();
    }
    // Installed last, so it is asked first: remote texts stay English.
    RemoteEnglish::install(EnglishTranslationFile);
    return loaded;
}

bool installQtTranslation()
{
    auto *translator = new QTranslator(QCoreApplication::instance());
    if (!translator->load(QStringLiteral("qtbase_ru"), QLibraryInfo::path(QLibraryInfo::TranslationsPath))
        || !QCoreApplication::installTranslator(translator)) {
        delete translator;
        return false;
    }
    return true;
}

QString current()
{
    return installed;
}

} // namespace Language
