#include "front/DisplayCheck.h"

#include <QByteArray>
#include <QString>
#include <QtGlobal>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <unistd.h>
#include <QCoreApplication>

namespace {

QtMessageHandler previousHandler = nullptr;
QByteArray programPath;
bool displayRefused = false; // Qt reported that the display did not answer

bool isSet(const char *name)
{
    return !qEnvironmentVariableIsEmpty(name);
}

// A "-platform NAME" argument chooses the platform like QT_QPA_PLATFORM does.
bool platformArgumentGiven(int argc, char **argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "-platform") == 0 || std::strcmp(argv[i], "--platform") == 0)
            return true;
    }
    return false;
}

// The program's users read Russian, as in its window; the commands are
// written out so that they can be copied as they are.
[[noreturn]] void reportAndExit(const QString &reason)
{
    const QString line = QCoreApplication::translate("DisplayCheck", "%1: %2. Без дисплея: %1 --headless (без окна, "
                                        "удалённое управление: --remote 5025), QT_QPA_PLATFORM=offscreen %1 "
                                        "(окна не видно) или xvfb-run %1 (пакет xvfb).\n")
                             .arg(QString::fromLocal8Bit(programPath), reason);
    const QByteArray text = line.toUtf8();
    std::fwrite(text.constData(), 1, size_t(text.size()), stderr);
    std::fflush(stderr);
    // Inside Qt's fatal path nothing may run any more: no destructors, no
    // exit handlers.
    _exit(2);
}

// The platform plugins report a display that does not answer as a warning
// and then give up with a fatal message.
bool isDisplayRefusal(const QString &message)
{
    return message.contains(QLatin1String("could not connect to display"), Qt::CaseInsensitive)
        || message.contains(QLatin1String("Failed to create wl_display"), Qt::CaseInsensitive);
}

void handleMessage(QtMsgType type, const QMessageLogContext &context, const QString &message)
{
    if (isDisplayRefusal(message)) {
        displayRefused = true;
        return; // said in our own line
    }
    // After the refusal the plugin loader warns that it could not load the
    // plugin, then gives up.
    if (displayRefused && message.contains(QLatin1String("platform plugin"))) {
        if (type != QtFatalMsg)
            return;
        const QByteArray display = qgetenv("DISPLAY");
        reportAndExit(display.isEmpty()
                          ? QCoreApplication::translate("DisplayCheck", "нет связи с графическим дисплеем")
                          : QCoreApplication::translate("DisplayCheck", "нет связи с графическим дисплеем %1 (DISPLAY)")
                                .arg(QString::fromLocal8Bit(display)));
    }
    previousHandler(type, context, message);
}

} // namespace

void requireGraphicalDisplay(int argc, char **argv)
{
    programPath = argc > 0 && argv[0] && argv[0][0] ? QByteArray(argv[0]) : QByteArrayLiteral("g740demo");
    if (!isSet("DISPLAY") && !isSet("WAYLAND_DISPLAY") && !isSet("QT_QPA_PLATFORM")
        && !platformArgumentGiven(argc, argv)) {
        reportAndExit(QCoreApplication::translate("DisplayCheck", "нужен графический дисплей, а DISPLAY и WAYLAND_DISPLAY не заданы"));
    }
    previousHandler = qInstallMessageHandler(handleMessage);
}
