// Remote control in the window: the menu toggle and its settings, the title
// that tells it is on, and remote changes shown on the panel at once.

#include "app/G740GeneratorFrame.h"
#include "app/InitDevicesThread.h"
#include "app/MainForm.h"
#include "app/WindowRemoteControl.h"
#include "../lan/RpcTestClient.h"
#include "lan/Vxi11Server.h"
#include "device/DeviceLibrary.h"
#include "remote/G740Remote.h"
#include "settings/IniFile.h"
#include "settings/SettingsFilePath.h"

#include <QAction>
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
    // Among the settings items, before the separator above "О программе ...".
    QCOMPARE(form.PopupMenu->actions().indexOf(toggle) + 1, form.PopupMenu->actions().indexOf(form.N3));
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
