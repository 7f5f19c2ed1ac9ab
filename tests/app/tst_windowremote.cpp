// Remote control in the window: the menu toggle and its settings, the title
// that tells it is on, and remote changes shown on the panel at once.

#include "BoxWatcher.h"

#include "window/G740GeneratorFrame.h"
#include "window/InitDevicesThread.h"
#include "window/MainForm.h"
#include "window/WindowRemoteControl.h"
#include "../lan/RpcTestClient.h"
#include "lan/Vxi11Server.h"
#include "device/DeviceLibrary.h"
#include "remote/G740Remote.h"
#include "settings/IniFile.h"
#include "settings/SettingsFilePath.h"
#include "settings/SettingsKeys.h"
#include "web/G740Web.h"

#include <QAction>
#include <QDialog>
#include <QDialogButtonBox>
#include <QRadioButton>
#include <QScopeGuard>
#include <QSpinBox>
#include <QLineEdit>
#include <QMenu>
#include <QPushButton>
#include <QTcpServer>
#include <QTcpSocket>
#include <QTemporaryDir>
#include <QtTest>

#include <memory>

class TestWindowRemote : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void init();
    void cleanup();

    void toggleInTheMenuIsOffByDefault();
    void toggleOpensThePortAndIsKept();
    void remoteChangesShowOnThePanel();
    void portInUseIsToldAndLeavesItOff();
    void portChoiceIsKeptAndUsed_data();
    void portChoiceIsKeptAndUsed();
    void webPageToggleAndChangesBothWays();
    void vxi11LinksCountAsClients();

private:
    QString settingsPath() const { return m_directory.filePath(QStringLiteral("G740Config.ini")); }
    std::unique_ptr<QTcpSocket> connectTo(quint16 port);
    QByteArray ask(QTcpSocket &socket, const QByteArray &line);

    QTemporaryDir m_directory;
};

// The socket alone (setVxi11Enabled(false)) wherever VXI-11 is not the
// point: VXI-11 would enter a portmapper running on this machine.

void TestWindowRemote::initTestCase()
{
    QVERIFY(m_directory.isValid());
    setSettingsFilePathOverride(settingsPath());
}

void TestWindowRemote::init()
{
    QFile::remove(settingsPath());
}

void TestWindowRemote::cleanup()
{
    QTRY_COMPARE(TInitDevicesThread::liveCount(), 0);
    QVERIFY(!TheModuleInterface);
}

std::unique_ptr<QTcpSocket> TestWindowRemote::connectTo(quint16 port)
{
    auto socket = std::make_unique<QTcpSocket>();
    socket->connectToHost(QHostAddress(QHostAddress::LocalHost), port);
    [&] { QTRY_COMPARE(socket->state(), QAbstractSocket::ConnectedState); }();
    return socket;
}

QByteArray TestWindowRemote::ask(QTcpSocket &socket, const QByteArray &line)
{
    socket.write(line + '\n');
    [&] { QTRY_VERIFY(socket.canReadLine()); }();
    return socket.readLine();
}

void TestWindowRemote::toggleInTheMenuIsOffByDefault()
{
    TMainForm form;
    WindowRemoteControl remote(form);
    remote.setVxi11Enabled(false);
    QTest::qWait(10);
    QAction *toggle = remote.toggle();
    QCOMPARE(toggle->objectName(), QStringLiteral("RemoteControlMenuItem"));
    QVERIFY(form.PopupMenu->actions().contains(toggle));
    // Among the settings items, with its port after it, before the separator
    // above "О программе ...".
    QCOMPARE(form.PopupMenu->actions().indexOf(toggle) + 2, form.PopupMenu->actions().indexOf(form.N3));
    QCOMPARE(toggle->text(), QStringLiteral("Удалённое управление"));
    QVERIFY(toggle->isCheckable());
    QVERIFY(!toggle->isChecked());
    QVERIFY(!remote.remote());
    QCOMPARE(form.windowTitle(), QStringLiteral("Модуль G-740. Генератор."));
}

void TestWindowRemote::toggleOpensThePortAndIsKept()
{
    {
        // Port 0: any free one, so the test never meets a port in use.
        TIniFile settings(settingsPath());
        settings.WriteInteger(WindowRemoteControl::section(), WindowRemoteControl::portKey(), 0);
    }
    quint16 port = 0;
    {
        TMainForm form;
        WindowRemoteControl remote(form);
        remote.setVxi11Enabled(false);
        remote.toggle()->trigger();
        QVERIFY(remote.remote());
        port = remote.remote()->port();
        QVERIFY(port != 0);
        QVERIFY(form.windowTitle().endsWith(QStringLiteral("Удалённое управление: порт %1, клиентов: 0").arg(port)));

        auto client = connectTo(port);
        QTRY_VERIFY(form.windowTitle().endsWith(QStringLiteral("клиентов: 1")));
        QCOMPARE(ask(*client, "*OPC?"), QByteArray("1\n"));

        // Off: the clients are let go and the title is the window's own.
        remote.toggle()->trigger();
        QVERIFY(!remote.remote());
        QTRY_COMPARE(client->state(), QAbstractSocket::UnconnectedState);
        QCOMPARE(form.windowTitle(), QStringLiteral("Модуль G-740. Генератор."));
        remote.toggle()->trigger();
        QVERIFY(remote.remote());
    }
    QCOMPARE(TIniFile(settingsPath()).ReadInteger(WindowRemoteControl::section(), WindowRemoteControl::enabledKey(), -1), 1);

    // The next start opens it again by itself.
    TMainForm form;
    WindowRemoteControl remote(form);
    remote.setVxi11Enabled(false);
    QTRY_VERIFY(remote.remote());
    QVERIFY(remote.toggle()->isChecked());
    remote.toggle()->trigger();
    QCOMPARE(TIniFile(settingsPath()).ReadInteger(WindowRemoteControl::section(), WindowRemoteControl::enabledKey(), -1), 0);
}

void TestWindowRemote::remoteChangesShowOnThePanel()
{
    TMainForm form;
    WindowRemoteControl remote(form);
    remote.setVxi11Enabled(false);
    QVERIFY(remote.open(QHostAddress(QHostAddress::LocalHost), 0));
    QVERIFY(remote.toggle()->isChecked());
    auto client = connectTo(remote.remote()->port());
    form.show();
    // While the detection runs the window is locked, and so is the remote
    // side: the settings it loads are not overwritten half-way.
    QTRY_VERIFY(form.DetectionRunning);
    QCOMPARE(ask(*client, "FREQ:STAR 3 KHZ;:SYST:ERR?"), QByteArray("-221,\"Settings conflict;идёт обнаружение модуля\"\n"));
    QTRY_VERIFY_WITH_TIMEOUT(!form.FirstDetection && !form.DetectionRunning, 10000);
    QCOMPARE(ask(*client, "FREQ:STAR:DES?"), QByteArray("10000\n"));

    client->write("FREQ:STAR 12.5 KHZ;:SWE:STEP 42\n");
    auto *startEdit = form.G740GeneratorFrame->findChild<QLineEdit *>(QStringLiteral("DesiredStartFrequencyValueLMDEdit"));
    auto *button = form.G740GeneratorFrame->findChild<QPushButton *>(QStringLiteral("ControlGeneratorLMDButton"));
    QVERIFY(startEdit && button);
    QTRY_COMPARE(startEdit->text(), QStringLiteral("12.5000"));

    // Started remotely: the panel shows it running; a change typed in the
    // window is what the next query answers.
    QCOMPARE(ask(*client, "OUTP ON;OUTP?"), QByteArray("1\n"));
    QCOMPARE(button->text(), QStringLiteral("Останов генератора"));
    QVERIFY(!startEdit->isEnabled());
    button->click();
    QCOMPARE(ask(*client, "OUTP?"), QByteArray("0\n"));
    startEdit->setText(QStringLiteral("7.25"));
    QCOMPARE(ask(*client, "FREQ:STAR:DES?"), QByteArray("7250\n"));

    // Ctrl+S from afar writes the settings file.
    QCOMPARE(ask(*client, "SYST:SETT:SAVE;*OPC?"), QByteArray("1\n"));
    QCOMPARE(TIniFile(settingsPath()).ReadString(QStringLiteral("Модуль G-740"),
                                                 QStringLiteral("Генератор. Начальная частота в кГц"), {}),
             QStringLiteral("7.25"));
    form.close();
}

void TestWindowRemote::portInUseIsToldAndLeavesItOff()
{
    QTcpServer occupant;
    QVERIFY(occupant.listen(QHostAddress(QHostAddress::LocalHost), 0));
    {
        TIniFile settings(settingsPath());
        settings.WriteInteger(WindowRemoteControl::section(), WindowRemoteControl::portKey(), occupant.serverPort());
    }
    TMainForm form;
    WindowRemoteControl remote(form);
    remote.setVxi11Enabled(false);
    QVERIFY(!remote.open(QHostAddress(QHostAddress::LocalHost), occupant.serverPort()));
    QVERIFY(remote.errorText().contains(QString::number(occupant.serverPort())));
    QVERIFY(!remote.toggle()->isChecked());
    QCOMPARE(form.windowTitle(), QStringLiteral("Модуль G-740. Генератор."));
}

namespace {

// A port nothing listens on now.
quint16 freePort()
{
    QTcpServer probe;
    return probe.listen(QHostAddress(QHostAddress::LocalHost), 0) ? probe.serverPort() : 0;
}

} // namespace

void TestWindowRemote::portChoiceIsKeptAndUsed_data()
{
    QTest::addColumn<bool>("taken");   // another program holds the kept port
    QTest::addColumn<bool>("on");      // remote control is switched on first
    QTest::addColumn<bool>("anyFree"); // the choice; else a number
    QTest::addColumn<bool>("same");    // the number is the kept one
    QTest::addColumn<bool>("accept");

    QTest::newRow("off, a number") << false << false << false << false << true;
    QTest::newRow("on, moved to a number") << false << true << false << false << true;
    QTest::newRow("on, the same number") << false << true << false << true << true;
    QTest::newRow("on, moved to any free port") << false << true << true << false << true;
    QTest::newRow("on, cancelled") << false << true << true << false << false;
    QTest::newRow("second window: taken, any free port") << true << true << true << false << true;
}

void TestWindowRemote::portChoiceIsKeptAndUsed()
{
    QFETCH(bool, taken);
    QFETCH(bool, on);
    QFETCH(bool, anyFree);
    QFETCH(bool, same);
    QFETCH(bool, accept);
    QTcpServer occupant;
    const quint16 kept = taken && occupant.listen(QHostAddress(QHostAddress::LocalHost), 0) ? occupant.serverPort()
                                                                                           : freePort();
    const quint16 number = same ? kept : freePort();
    QVERIFY(kept != 0 && number != 0);
    TIniFile(settingsPath()).WriteInteger(WindowRemoteControl::section(), WindowRemoteControl::portKey(), kept);

    TMainForm form;
    WindowRemoteControl remote(form);
    BoxWatcher boxes;
    if (on)
        remote.toggle()->trigger();
    QCOMPARE(bool(remote.remote()), on && !taken);
    if (taken) {
        // The box names the way out.
        QCOMPARE(boxes.boxes().size(), 1);
        QVERIFY2(boxes.boxes().front().text.contains(QStringLiteral("\"Порт удалённого управления ...\"")),
                 qPrintable(boxes.boxes().front().text));
    }

    std::unique_ptr<QTcpSocket> before;
    if (remote.remote())
        before = connectTo(remote.remote()->port());

    auto *item = form.findChild<QAction *>(QStringLiteral("RemotePortMenuItem"));
    QVERIFY(item && form.PopupMenu->actions().contains(item));
    bool answered = false;
    QTimer::singleShot(0, this, [&] {
        // A failed check must not leave the dialog waiting for ever.
        const auto closeLeftOver = qScopeGuard([&] {
            if (!answered && QApplication::activeModalWidget())
                QApplication::activeModalWidget()->close();
        });
        auto *dialog = qobject_cast<QDialog *>(QApplication::activeModalWidget());
        QVERIFY(dialog && dialog->objectName() == QStringLiteral("RemotePortDialog"));
        auto *spin = dialog->findChild<QSpinBox *>(QStringLiteral("PortSpinBox"));
        auto *fixed = dialog->findChild<QRadioButton *>(QStringLiteral("FixedPortRadioButton"));
        auto *any = dialog->findChild<QRadioButton *>(QStringLiteral("AnyFreePortRadioButton"));
        auto *buttons = dialog->findChild<QDialogButtonBox *>();
        QVERIFY(spin && fixed && any && buttons);
        // It opens on the kept port.
        QVERIFY(fixed->isChecked() && spin->isEnabled());
        QCOMPARE(spin->value(), int(kept));
        if (anyFree) {
            any->click();
            QVERIFY(!spin->isEnabled());
        } else {
            spin->setValue(number);
        }
        buttons->button(accept ? QDialogButtonBox::Ok : QDialogButtonBox::Cancel)->click();
        answered = true;
    });
    item->trigger();
    QVERIFY(answered);

    const int chosen = accept ? (anyFree ? 0 : number) : kept;
    QCOMPARE(TIniFile(settingsPath()).ReadInteger(WindowRemoteControl::section(), WindowRemoteControl::portKey(), -1),
             chosen);
    // Off stays off; on moves at once. A second window that found its port
    // taken switches on with any free port.
    if (taken)
        remote.toggle()->trigger();
    QCOMPARE(bool(remote.remote()), on);
    if (on) {
        const quint16 port = remote.remote()->port();
        QVERIFY(port != 0 && (chosen == 0 ? port != kept : port == chosen));
        const int stayed = before && chosen == kept ? 1 : 0;
        QVERIFY(form.windowTitle().endsWith(
            QStringLiteral("Удалённое управление: порт %1, клиентов: %2").arg(port).arg(stayed)));
        auto client = connectTo(port);
        QCOMPARE(ask(*client, "*OPC?"), QByteArray("1\n"));
    }
    // A client of the port before is let go only when the port moves.
    if (before && chosen == kept)
        QCOMPARE(ask(*before, "*OPC?"), QByteArray("1\n"));
    else if (before)
        QTRY_COMPARE(before->state(), QAbstractSocket::UnconnectedState);
}

// The web page from the menu: off by default, its port and state kept; a
// change on the page shows on the panel, one typed in the window reaches
// the page, and the page lists the SCPI port while remote control is on.
void TestWindowRemote::webPageToggleAndChangesBothWays()
{
    {
        TIniFile settings(settingsPath());
        settings.WriteInteger(WebPageSettings::Section.toString(), WebPageSettings::Port.toString(), 0);
    }
    TMainForm form;
    WindowRemoteControl remote(form);
    WindowWebPage web(form, remote);
    QTest::qWait(10);
    QCOMPARE(web.toggle()->objectName(), QStringLiteral("WebPageMenuItem"));
    QVERIFY(form.PopupMenu->actions().contains(web.toggle()));
    QVERIFY(!web.toggle()->isChecked());
    QVERIFY(!web.web());
    form.show();
    QTRY_VERIFY_WITH_TIMEOUT(!form.FirstDetection && !form.DetectionRunning, 10000);

    web.toggle()->trigger();
    QVERIFY(web.web() && web.web()->isListening());
    QCOMPARE(TIniFile(settingsPath()).ReadInteger(WebPageSettings::Section.toString(), WebPageSettings::Enabled.toString(), -1), 1);
    const quint16 port = web.web()->port();
    const auto request = [this, port](const QByteArray &text) {
        auto socket = connectTo(port);
        socket->write(text);
        QByteArray answer;
        [&] { QTRY_VERIFY((answer += socket->readAll()).contains("\r\n\r\n") && answer.endsWith('}')); }();
        return answer;
    };
    QVERIFY(!request("GET /api/state HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n").contains("::SOCKET"));
    remote.toggle()->trigger();
    QVERIFY(remote.remote());
    QVERIFY(request("GET /api/state HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n")
                .contains(QByteArray::number(remote.remote()->port()) + "::SOCKET"));

    // The page's token, then a change as the page sends it.
    QByteArray page;
    {
        auto socket = connectTo(port);
        socket->write("GET / HTTP/1.0\r\nHost: 127.0.0.1\r\n\r\n");
        [&] { QTRY_VERIFY((page += socket->readAll()).contains("</html>")); }();
    }
    const qsizetype at = page.indexOf("g740-token\" content=\"") + 21;
    const QByteArray token = page.mid(at, 48);
    const QByteArray body = R"({"StartFrequency": 12.5})";
    QVERIFY(request("POST /api/record HTTP/1.1\r\nHost: 127.0.0.1\r\nContent-Type: application/json\r\nX-G740-Token: " + token
                    + "\r\nContent-Length: " + QByteArray::number(body.size()) + "\r\n\r\n" + body)
                .startsWith("HTTP/1.1 200"));
    auto *startEdit = form.G740GeneratorFrame->findChild<QLineEdit *>(QStringLiteral("DesiredStartFrequencyValueLMDEdit"));
    QVERIFY(startEdit);
    QTRY_COMPARE(startEdit->text(), QStringLiteral("12.5000"));
    startEdit->setText(QStringLiteral("7.25"));
    QVERIFY(request("GET /api/state HTTP/1.1\r\nHost: 127.0.0.1\r\n\r\n").contains("\"text\":\"7.2500\""));

    web.toggle()->trigger();
    QVERIFY(!web.web());
    QCOMPARE(TIniFile(settingsPath()).ReadInteger(WebPageSettings::Section.toString(), WebPageSettings::Enabled.toString(), -1), 0);
    form.close();
}

void TestWindowRemote::vxi11LinksCountAsClients()
{
    QTcpSocket portmapper;
    portmapper.connectToHost(QHostAddress(QHostAddress::LocalHost), 111);
    if (portmapper.waitForConnected(500))
        QSKIP("a portmapper runs on this machine: VXI-11 would enter it (tests/lan checks it in a namespace)");
    TMainForm form;
    WindowRemoteControl remote(form);
    QVERIFY(remote.open(QHostAddress(QHostAddress::LocalHost), 0));
    const quint16 vxi11Port = remote.remote()->vxi11Port();
    QVERIFY(vxi11Port != 0);
    RpcTestClient vxi11(vxi11Port);
    const auto linked = vxi11.call(Vxi11::CoreProgram, 1, 10, XdrWriter().int32(1).uint32(0).uint32(0).opaque("inst0").data());
    QCOMPARE(RpcTestClient::error(linked), 0);
    QTRY_VERIFY(form.windowTitle().endsWith(QStringLiteral("клиентов: 1")));
    auto socket = connectTo(remote.remote()->port());
    QTRY_VERIFY(form.windowTitle().endsWith(QStringLiteral("клиентов: 2")));
    // A link goes with its connection.
    vxi11.socket().abort();
    QTRY_VERIFY(form.windowTitle().endsWith(QStringLiteral("клиентов: 1")));
}

QTEST_MAIN(TestWindowRemote)
#include "tst_windowremote.moc"
