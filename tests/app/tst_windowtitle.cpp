// The real program's window title under a real X server: the title the form
// sets and nothing after it. Runs its own X server in a private mount and
// network namespace, which needs root; skipped otherwise.

#include <QProcess>
#include <QStandardPaths>
#include <QtTest>

#include <unistd.h>

namespace {

// Inside the namespace: a private /tmp and /run, an X server on them, the
// program, and the name of its first normal window once it is mapped.
const char *const Script = R"sh(
mount -t tmpfs tmpfs /tmp && mount -t tmpfs tmpfs /run || exit 3
Xvfb :7 -nolisten tcp -screen 0 1024x768x24 >/dev/null 2>&1 &
server=$!
i=0
while [ ! -S /tmp/.X11-unix/X7 ] && [ $i -lt 100 ]; do sleep 0.1; i=$((i + 1)); done
export DISPLAY=:7 QT_QPA_PLATFORM=xcb LC_ALL=C.UTF-8
"$0" --settings /tmp/G740Config.ini "$@" >/dev/null 2>&1 &
program=$!
i=0
while [ $i -lt 150 ]; do
    for id in $(xwininfo -root -children | sed -n 's/^ *\(0x[0-9a-f]*\) .*/\1/p'); do
        if xprop -id "$id" _NET_WM_WINDOW_TYPE 2>/dev/null | grep -q _NET_WM_WINDOW_TYPE_NORMAL; then
            xprop -id "$id" -notype _NET_WM_NAME | sed -n 's/^_NET_WM_NAME = "\(.*\)"$/TITLE=\1/p'
            kill $program $server
            exit 0
        fi
    done
    sleep 0.1
    i=$((i + 1))
done
kill $program $server
exit 4
)sh";

} // namespace

class TestWindowTitle : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void titleIsTheFormsOwn_data();
    void titleIsTheFormsOwn();
};

void TestWindowTitle::initTestCase()
{
    if (geteuid() != 0)
        QSKIP("a private X server needs root for its own namespaces");
    for (const char *tool : {"unshare", "Xvfb", "xwininfo", "xprop"}) {
        if (QStandardPaths::findExecutable(QLatin1String(tool)).isEmpty())
            QSKIP(qPrintable(QStringLiteral("%1 is not installed (scripts/setup installs it)").arg(QLatin1String(tool))));
    }
}

void TestWindowTitle::titleIsTheFormsOwn_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("title");
    QTest::newRow("Russian") << QStringList() << QStringLiteral("Модуль G-740. Генератор.");
    QTest::newRow("English") << QStringList{QStringLiteral("--lang"), QStringLiteral("en")}
                             << QStringLiteral("G-740 module. Generator.");
}

void TestWindowTitle::titleIsTheFormsOwn()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, title);
    QProcess run;
    run.start(QStringLiteral("unshare"), QStringList{QStringLiteral("--mount"), QStringLiteral("--net"),
                                                     QStringLiteral("/bin/sh"), QStringLiteral("-c"),
                                                     QString::fromLatin1(Script), QStringLiteral(G740DEMO_PATH)}
                                             + arguments);
    QVERIFY(run.waitForFinished(60000));
    const QString out = QString::fromUtf8(run.readAllStandardOutput());
    QVERIFY2(run.exitCode() == 0, qPrintable(QString::fromUtf8(run.readAllStandardError()) + out));
    QCOMPARE(out.trimmed(), QStringLiteral("TITLE=") + title);
}

QTEST_GUILESS_MAIN(TestWindowTitle)
#include "tst_windowtitle.moc"
