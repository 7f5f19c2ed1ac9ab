#include "front/CommandLine.h"

#include "front/FileVersions.h"
#include "front/Language.h"
#include "runtime/ProgramIdentity.h"

#include <QFileInfo>
#include <QCoreApplication>

CommandLine::CommandLine()
    : m_help({QStringLiteral("h"), QStringLiteral("help")}, QCoreApplication::translate("CommandLine", "Показать эту справку и выйти."))
    , m_language(QStringLiteral("lang"),
                 QCoreApplication::translate("CommandLine", "Язык интерфейса: ru (русский) или en (английский); "
                                             "сильнее выбора, сохранённого в файле настроек."),
                 QStringLiteral("LANG"))
    , m_version(QStringLiteral("version"), QCoreApplication::translate("CommandLine", "Показать версию программы и выйти."))
    , m_settings(QStringLiteral("settings"),
                 QCoreApplication::translate("CommandLine", "Использовать файл настроек FILE вместо G740Config.ini рядом с программой."),
                 QStringLiteral("FILE"))
    , m_headless(QStringLiteral("headless"),
                 QCoreApplication::translate("CommandLine", "Работать без окна (дисплей не нужен): обнаружить модуль, загрузить настройки, "
                                "сообщения писать в стандартный поток ошибок; работать до SIGTERM/SIGINT, затем "
                                "завершить работу как окно (с автосохранением, если оно включено)."))
    , m_startOption(QStringLiteral("start"),
                    QCoreApplication::translate("CommandLine", "С --headless: после успешного обнаружения запустить генератор с загруженными "
                                   "параметрами; при выходе он останавливается."))
    , m_remote(QStringLiteral("remote"),
               QCoreApplication::translate("CommandLine", "Удалённое управление по SCPI через TCP-порт PORT (обычно 5025; 0 — любой свободный). "
                              "Когда порт открыт, в стандартный поток ошибок пишется строка "
                              "\"remote control on port N\"."),
               QStringLiteral("PORT"))
    , m_remoteListen(QStringLiteral("remote-listen"),
                     QCoreApplication::translate("CommandLine", "С --remote: принимать подключения на адресе ADDRESS (например, 0.0.0.0 — из "
                                    "сети лаборатории), а не только с этого компьютера (127.0.0.1)."),
                     QStringLiteral("ADDRESS"))
    , m_http(QStringLiteral("http"),
             QCoreApplication::translate("CommandLine", "Веб-страница прибора на TCP-порту PORT (0 — любой свободный): состояние, "
                            "параметры, запуск и наборы из любого браузера. Когда порт открыт, в стандартный поток "
                            "ошибок пишется строка \"web page on port N\". Только с этого компьютера, если "
                            "--remote-listen не задаёт другой адрес."),
             QStringLiteral("PORT"))
    , m_webPassword(QStringLiteral("set-web-password"),
                    QCoreApplication::translate("CommandLine", "Прочитать строку из стандартного ввода и сохранить её как пароль веб-страницы "
                                   "(в файле настроек только хеш) и выйти; пустая строка убирает пароль. Без пароля "
                                   "страница, открытая в сеть, только показывает состояние."))
    , m_vxi11Option(QStringLiteral("vxi11"),
                    QCoreApplication::translate("CommandLine", "С --remote: on (по умолчанию) — открыть и VXI-11 (TCPIP::host::INSTR, запись в "
                                   "rpcbind, объявление через mDNS при --remote-listen), off — только порт SCPI."),
                    QStringLiteral("on|off"))
    , m_exportSweep(QStringLiteral("export-sweep"),
                    QCoreApplication::translate("CommandLine", "Записать таблицу шагов развёртки для параметров из файла настроек в FILE "
                                   "(CSV, UTF-8) и выйти; окно и модуль не нужны."),
                    QStringLiteral("FILE"))
    , m_presetOption(QStringLiteral("preset"),
                     QCoreApplication::translate("CommandLine", "После загрузки настроек взять параметры генератора из набора NAME файла "
                                    "настроек. Если набора нет: в окне об этом сообщается и остаются параметры "
                                    "из файла; с --headless программа сообщает об этом и завершается с кодом 5, "
                                    "ничего не запуская и не сохраняя."),
                     QStringLiteral("NAME"))
    , m_slot(QStringLiteral("slot"),
             QCoreApplication::translate("CommandLine", "Работать только с модулем в виртуальном слоте N (0..126); без этого "
                                         "параметра — с первым свободным модулем. Модуль, занятый другой программой, "
                                         "не используется."),
             QStringLiteral("N"))
{
    m_parser.setApplicationDescription(QCoreApplication::translate("CommandLine", "Управление генератором G-740.\n"
        "\n"
        "Коды завершения:\n"
        "  0  нормальное завершение\n"
        "  1  ошибка в командной строке\n"
        "  2  нет графического дисплея\n"
        "  3  модуль G-740 не обнаружен\n"
        "  4  ошибка библиотеки устройства (не загружается, не та версия, нет функции, нет интерфейса)\n"
        "  5  ошибка файла настроек (с --headless и --preset: нет такого набора)\n"
        "  6  генератор не удалось запустить\n"
        "  7  не удалось открыть порт удалённого управления\n"
        "  8  не удалось записать файл (--export-sweep)"));
    m_parser.setSingleDashWordOptionMode(QCommandLineParser::ParseAsLongOptions);
    m_parser.addOption(m_help);
    m_parser.addOption(m_version);
    m_parser.addOption(m_settings);
    m_parser.addOption(m_language);
    m_parser.addOption(m_headless);
    m_parser.addOption(m_startOption);
    m_parser.addOption(m_remote);
    m_parser.addOption(m_remoteListen);
    m_parser.addOption(m_http);
    m_parser.addOption(m_webPassword);
    m_parser.addOption(m_vxi11Option);
    m_parser.addOption(m_exportSweep);
    m_parser.addOption(m_presetOption);
    m_parser.addOption(m_slot);
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
        m_error = QCoreApplication::translate("CommandLine", "Лишние аргументы: %1").arg(m_parser.positionalArguments().join(QLatin1Char(' ')));
        return Action::Error;
    }
    if (m_parser.isSet(m_language)) {
        m_languageCode = m_parser.value(m_language);
        if (!Language::isKnown(m_languageCode)) {
            m_error = QCoreApplication::translate("CommandLine", "--lang: ru или en, а не \"%1\"").arg(m_languageCode);
            return Action::Error;
        }
    }
    if (m_parser.isSet(m_settings)) {
        const QString file = m_parser.value(m_settings);
        if (file.isEmpty()) {
            m_error = QCoreApplication::translate("CommandLine", "--settings: не указан файл");
            return Action::Error;
        }
        m_settingsFile = QFileInfo(file).absoluteFilePath();
    }
    m_start = m_parser.isSet(m_startOption);
    // --remote and --http take a port number the same way.
    const auto portOption = [this](const QCommandLineOption &option, const char *name, std::optional<quint16> &port) {
        if (!m_parser.isSet(option))
            return true;
        bool ok = false;
        const uint value = m_parser.value(option).toUInt(&ok);
        if (!ok || value > 65535) {
            m_error = QCoreApplication::translate("CommandLine", "%1: номер порта от 0 до 65535, а не \"%2\"")
                          .arg(QLatin1String(name), m_parser.value(option));
            return false;
        }
        port = quint16(value);
        return true;
    };
    if (!portOption(m_remote, "--remote", m_remotePort) || !portOption(m_http, "--http", m_httpPort))
        return Action::Error;
    if (m_parser.isSet(m_remoteListen)) {
        if (!m_remotePort && !m_httpPort) {
            m_error = QCoreApplication::translate("CommandLine", "--remote-listen действует только вместе с --remote или --http");
            return Action::Error;
        }
        if (!m_remoteAddress.setAddress(m_parser.value(m_remoteListen))) {
            m_error = QCoreApplication::translate("CommandLine", "--remote-listen: \"%1\" не IP-адрес").arg(m_parser.value(m_remoteListen));
            return Action::Error;
        }
    }
    if (m_parser.isSet(m_webPassword))
        return Action::SetWebPassword;
    if (m_parser.isSet(m_vxi11Option)) {
        const QString value = m_parser.value(m_vxi11Option);
        if (!m_remotePort || (value != QLatin1String("on") && value != QLatin1String("off"))) {
            m_error = QCoreApplication::translate("CommandLine", "--vxi11: on или off, и только вместе с --remote");
            return Action::Error;
        }
        m_vxi11 = value == QLatin1String("on");
    }
    if (m_parser.isSet(m_exportSweep)) {
        m_exportFile = m_parser.value(m_exportSweep);
        if (m_exportFile.isEmpty()) {
            m_error = QCoreApplication::translate("CommandLine", "--export-sweep: не указан файл");
            return Action::Error;
        }
        if (m_parser.isSet(m_headless) || m_start || m_remotePort || m_httpPort) {
            m_error = QCoreApplication::translate("CommandLine", "--export-sweep не сочетается с --headless, --start, --remote и --http");
            return Action::Error;
        }
        return Action::ExportSweep;
    }
    if (m_parser.isSet(m_presetOption)) {
        m_preset = m_parser.value(m_presetOption).trimmed();
        if (m_preset.isEmpty()) {
            m_error = QCoreApplication::translate("CommandLine", "--preset: не указано название набора");
            return Action::Error;
        }
    }
    if (m_parser.isSet(m_slot)) {
        bool ok = false;
        const uint slot = m_parser.value(m_slot).toUInt(&ok);
        if (!ok || slot > 126) {
            m_error = QCoreApplication::translate("CommandLine", "--slot: номер виртуального слота от 0 до 126, а не \"%1\"")
                          .arg(m_parser.value(m_slot));
            return Action::Error;
        }
        m_slotChoice = quint16(slot);
    }
    const bool headless = m_parser.isSet(m_headless);
    if (m_start && !headless) {
        m_error = QCoreApplication::translate("CommandLine", "--start действует только вместе с --headless");
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
    QString text = ProgramIdentity::programName() + QLatin1Char(' ') + ProgramIdentity::version() + QCoreApplication::translate("CommandLine", "\nБиблиотека модуля: ");
    if (library.isEmpty())
        return text + QCoreApplication::translate("CommandLine", "не найдена");
    text += library;
    if (!version.isEmpty())
        text += QCoreApplication::translate("CommandLine", " (версия %1)").arg(version);
    return text;
}
