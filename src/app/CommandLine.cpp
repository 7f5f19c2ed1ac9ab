#include "app/CommandLine.h"

#include "app/FileVersions.h"

#include <QFileInfo>

CommandLine::CommandLine()
    : m_help({QStringLiteral("h"), QStringLiteral("help")}, QStringLiteral("Показать эту справку и выйти."))
    , m_version(QStringLiteral("version"), QStringLiteral("Показать версию программы и выйти."))
    , m_settings(QStringLiteral("settings"),
                 QStringLiteral("Использовать файл настроек FILE вместо G740Config.ini рядом с программой."),
                 QStringLiteral("FILE"))
    , m_headless(QStringLiteral("headless"),
                 QStringLiteral("Работать без окна (дисплей не нужен): обнаружить модуль, загрузить настройки, "
                                "сообщения писать в стандартный поток ошибок; работать до SIGTERM/SIGINT, затем "
                                "завершить работу как окно (с автосохранением, если оно включено)."))
    , m_startOption(QStringLiteral("start"),
                    QStringLiteral("С --headless: после успешного обнаружения запустить генератор с загруженными "
                                   "параметрами; при выходе он останавливается."))
    , m_presetOption(QStringLiteral("preset"),
                     QStringLiteral("После загрузки настроек взять параметры генератора из набора NAME файла "
                                    "настроек. Если набора нет: в окне об этом сообщается и остаются параметры "
                                    "из файла; с --headless программа сообщает об этом и завершается с кодом 5, "
                                    "ничего не запуская и не сохраняя."),
                     QStringLiteral("NAME"))
{
    m_parser.setApplicationDescription(QStringLiteral(
        "Управление генератором G-740.\n"
        "\n"
        "Коды завершения:\n"
        "  0  нормальное завершение\n"
        "  1  ошибка в командной строке\n"
        "  2  нет графического дисплея\n"
        "  3  модуль G-740 не обнаружен\n"
        "  4  ошибка библиотеки устройства (не загружается, не та версия, нет функции, нет интерфейса)\n"
        "  5  ошибка файла настроек (с --headless и --preset: нет такого набора)\n"
        "  6  генератор не удалось запустить\n"
        "  7  не удалось открыть порт удалённого управления"));
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.addOption(m_help);
    m_parser.addOption(m_version);
    m_parser.addOption(m_settings);
    m_parser.addOption(m_headless);
    m_parser.addOption(m_startOption);
    m_parser.addOption(m_presetOption);
}

CommandLine::Action CommandLine::parse(const QStringList &arguments)
{
    if (!m_parser.parse(arguments)) {
        m_error = m_parser.errorText();
        return Action::Error;
    }
    if (m_parser.isSet(m_help))
        return Action::Help;
    if (m_parser.isSet(m_version))
        return Action::Version;
    if (!m_parser.positionalArguments().isEmpty()) {
        m_error = QStringLiteral("Лишние аргументы: %1").arg(m_parser.positionalArguments().join(QLatin1Char(' ')));
        return Action::Error;
    }
    if (m_parser.isSet(m_settings)) {
        const QString file = m_parser.value(m_settings);
        if (file.isEmpty()) {
            m_error = QStringLiteral("--settings: не указан файл");
            return Action::Error;
        }
        m_settingsFile = QFileInfo(file).absoluteFilePath();
    }
    m_start = m_parser.isSet(m_startOption);
    if (m_parser.isSet(m_presetOption)) {
        m_preset = m_parser.value(m_presetOption).trimmed();
        if (m_preset.isEmpty()) {
            m_error = QStringLiteral("--preset: не указано название набора");
            return Action::Error;
        }
    }
    const bool headless = m_parser.isSet(m_headless);
    if (m_start && !headless) {
        m_error = QStringLiteral("--start действует только вместе с --headless");
        return Action::Error;
    }
    return headless ? Action::Headless : Action::Window;
}

QString CommandLine::helpText() const
{
    return m_parser.helpText();
}

QString CommandLine::versionText()
{
    // The device library file the program would use now, so that a user can
    // tell the maker's library from the stand-in.
    const QString library = FileVersions::deviceLibraryFile();
    const QString version = FileVersions::versionFromLibraryFileName(library);
    QString text = QStringLiteral("g740demo ") + QStringLiteral(G740_VERSION) + QStringLiteral("\nБиблиотека модуля: ");
    if (library.isEmpty())
        return text + QStringLiteral("не найдена");
    text += library;
    if (!version.isEmpty())
        text += QStringLiteral(" (версия %1)").arg(version);
    return text;
}
