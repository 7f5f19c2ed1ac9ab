#include "window/AboutProgramPanel.h"
#include "front/FileVersions.h"
#include "widgets/LinkLabel.h"

#include <QDesktopServices>
#include <QDir>
#include <QFile>
#include <QGroupBox>
#include <QKeyEvent>
#include <QLabel>
#include <QPushButton>
#include <QSignalSpy>
#include <QTemporaryDir>
#include <QTimer>
#include <QTranslator>
#include <QtTest>

namespace {

const QString Hyphens = QStringLiteral("--------------------");

// The first bytes of an ELF file of the given type (3: shared object,
// 2: executable), little-endian, 64-bit.
QByteArray elfHeader(quint8 type)
{
    QByteArray header("\x7f" "ELF", 4);
    header += char(2); // 64-bit
    header += char(1); // little-endian
    header += char(1); // ELF version
    header += QByteArray(9, '\0');
    header += char(type);
    header += char(0);
    header += QByteArray(46, '\0');
    return header;
}

void writeFile(const QString &path, const QByteArray &contents)
{
    QDir().mkpath(QFileInfo(path).path());
    QFile file(path);
    QVERIFY2(file.open(QIODevice::WriteOnly), qPrintable(path));
    file.write(contents);
}

void link(const QString &target, const QString &linkPath)
{
    QFile::remove(linkPath);
    QVERIFY2(QFile::link(target, linkPath), qPrintable(linkPath));
}

// The library as it is installed: libModlink.so -> .so.3 -> .so.3.4.0.
void installVersionedLibrary(const QString &dir, const QString &version)
{
    writeFile(dir + QStringLiteral("/libModlink.so.") + version, elfHeader(3));
    link(QStringLiteral("libModlink.so.") + version, dir + QStringLiteral("/libModlink.so.3"));
    link(QStringLiteral("libModlink.so.3"), dir + QStringLiteral("/libModlink.so"));
}

void loadDriver(const QString &sysfsRoot, const QByteArray &version)
{
    writeFile(sysfsRoot + QStringLiteral("/module/mlinkdrv/version"), version);
}

// Runs the dialog modally and sends it the key once it is up.
int execWithKey(TAboutProgramPanel &panel, Qt::Key key, QWidget **focusedWhenShown = nullptr)
{
    QTimer::singleShot(0, &panel, [&] {
        QTRY_VERIFY(panel.isVisible());
        if (focusedWhenShown)
            *focusedWhenShown = QApplication::focusWidget();
        QTest::keyClick(&panel, key);
    });
    return panel.exec();
}

} // namespace

class UrlRecorder : public QObject
{
    Q_OBJECT

public:
    QList<QUrl> opened;

public slots:
    void open(const QUrl &url) { opened.append(url); }
};

class TestAboutProgramPanel : public QObject
{
    Q_OBJECT

private slots:
    void init();

    void layoutAndInitialTexts();
    void versionsFitInsideTheirBox_data();
    void versionsFitInsideTheirBox();
    void libraryVersion_data();
    void libraryVersion();
    void driverVersion_data();
    void driverVersion();
    void versionsAreReadOnce();
    void namesTheDeviceLibraryInUse();
    void librarySearchFollowsTheLinkerConfiguration();
    void escapeAndEnterCloseWithOk_data();
    void escapeAndEnterCloseWithOk();
    void previousKeyHookIsBackAfterClosing();
    void linksOpenWithTheDesktopHandler();

private:
    std::unique_ptr<QTemporaryDir> m_dir;
    QString libDir() const { return m_dir->filePath(QStringLiteral("lib")); }
    QString sysfs() const { return m_dir->filePath(QStringLiteral("sys")); }
    QStringList candidates() const { return {libDir() + QStringLiteral("/Modlink")}; }
};

void TestAboutProgramPanel::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
    QVERIFY(QDir().mkpath(libDir()));
    QVERIFY(QDir().mkpath(sysfs()));
    Application::instance()->setKeyHook({});
}

void TestAboutProgramPanel::layoutAndInitialTexts()
{
    QWidget mainWindow;
    mainWindow.setGeometry(40, 30, 700, 540); // within the 800 x 600 offscreen screen
    TAboutProgramPanel panel(&mainWindow, candidates(), sysfs());
    QCOMPARE(panel.windowTitle(), QStringLiteral("О программе ..."));
    QCOMPARE(panel.size(), QSize(485, 336));
    QCOMPARE(panel.minimumSize(), panel.maximumSize());
    QVERIFY(panel.windowFlags() & Qt::WindowStaysOnTopHint);
    QVERIFY(!(panel.windowFlags() & (Qt::WindowMinimizeButtonHint | Qt::WindowMaximizeButtonHint)));

    // Each control is there by name, inside its parent, and its text fits.
    const char *const names[] = {
        "G740DemoVersionLabelLMDStaticText", "G740DemoVersionLMDStaticText",
        "ModlinkVersionLabelLMDStaticText", "ModlinkVersionLMDStaticText",
        "MlinkdrvVersionLabelLMDStaticText", "MlinkdrvVersionLMDStaticTextLMDStaticText",
        "HomePageLinkLabel", "SupportMailLinkLabel",
    };
    for (const char *name : names) {
        auto *label = panel.findChild<QLabel *>(QLatin1String(name));
        QVERIFY2(label, name);
        QVERIFY2(label->parentWidget()->rect().contains(label->geometry()), name);
        QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->contentsRect().width(), name);
    }
    // A version label's text ends before its value field starts.
    const QPair<QLabel *, QLabel *> rows[] = {
        {panel.G740DemoVersionLabelLMDStaticText, panel.G740DemoVersionLMDStaticText},
        {panel.ModlinkVersionLabelLMDStaticText, panel.ModlinkVersionLMDStaticText},
        {panel.MlinkdrvVersionLabelLMDStaticText, panel.MlinkdrvVersionLMDStaticTextLMDStaticText},
    };
    for (const auto &[label, field] : rows)
        QVERIFY2(label->x() + label->fontMetrics().horizontalAdvance(label->text()) < field->x(),
                 qPrintable(label->text()));
    QVERIFY(panel.rect().contains(panel.VersionsLMDGroupBox->geometry()));
    QVERIFY(panel.OkLMDButton->isDefault());

    // Nothing installed in the temporary places: both fields keep the hyphens.
    QCOMPARE(panel.ModlinkVersionLMDStaticText->text(), Hyphens);
    QCOMPARE(panel.MlinkdrvVersionLMDStaticTextLMDStaticText->text(), Hyphens);
    QCOMPARE(panel.G740DemoVersionLMDStaticText->text(), QStringLiteral(G740_VERSION));

    mainWindow.show();
    panel.show();
    // Centred to the pixel; the halves of odd sizes round either way.
    const QPoint offset = panel.frameGeometry().center() - mainWindow.frameGeometry().center();
    QVERIFY2(qAbs(offset.x()) <= 1 && qAbs(offset.y()) <= 1, qPrintable(QStringLiteral("%1,%2").arg(offset.x()).arg(offset.y())));
}

// The files are laid out in libDir(); each row names what is there.
void TestAboutProgramPanel::versionsFitInsideTheirBox_data()
{
    QTest::addColumn<QString>("translation");
    QTest::newRow("Russian") << QString();
    QTest::newRow("English") << QStringLiteral(":/i18n/g740demo_en.qm");
}

void TestAboutProgramPanel::versionsFitInsideTheirBox()
{
    QFETCH(QString, translation);
    QTranslator translator;
    if (!translation.isEmpty())
        QVERIFY(translator.load(translation) && QCoreApplication::installTranslator(&translator));
    TAboutProgramPanel panel(nullptr, candidates(), sysfs());
    QCoreApplication::removeTranslator(&translator);
    const QGroupBox *box = panel.VersionsLMDGroupBox;
    QCOMPARE(box->title(), translation.isEmpty() ? QStringLiteral("Версии") : QStringLiteral("Versions"));
    // Every row below the title and inside the frame, as the style draws them.
    const QRect inside = box->contentsRect();
    for (const QLabel *label : box->findChildren<QLabel *>())
        QVERIFY2(inside.contains(label->geometry()), qPrintable(label->objectName()));
    // The box keeps clear of the dialog's bottom edge, as the OK button does.
    QVERIFY(box->geometry().bottom() <= panel.OkLMDButton->geometry().bottom() + 4);
    QVERIFY(box->geometry().top() >= panel.findChild<QLabel *>(QStringLiteral("ContactMemo"))->geometry().bottom());
}

void TestAboutProgramPanel::libraryVersion_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("expected");
    QTest::newRow("versioned symlink chain") << "chain" << "3.4.0";
    QTest::newRow("missing") << "none" << Hyphens;
    QTest::newRow("shared object without a version in its name") << "plain" << "";
    QTest::newRow("not an ELF file") << "text" << Hyphens;
    QTest::newRow("ELF executable, not a shared object") << "exec" << Hyphens;
    QTest::newRow("dangling link") << "dangling" << Hyphens;
    QTest::newRow("later candidate when the first is unusable") << "second" << "3.4.7";
}

void TestAboutProgramPanel::libraryVersion()
{
    QFETCH(QString, layout);
    QFETCH(QString, expected);
    const QString so = libDir() + QStringLiteral("/libModlink.so");
    QStringList libraryCandidates = candidates();
    if (layout == QLatin1String("chain")) {
        installVersionedLibrary(libDir(), QStringLiteral("3.4.0"));
    } else if (layout == QLatin1String("plain")) {
        writeFile(so, elfHeader(3));
    } else if (layout == QLatin1String("text")) {
        writeFile(so, "not a library\n");
    } else if (layout == QLatin1String("exec")) {
        writeFile(so, elfHeader(2));
    } else if (layout == QLatin1String("dangling")) {
        link(QStringLiteral("libModlink.so.3.4.0"), so);
    } else if (layout == QLatin1String("second")) {
        writeFile(so, "broken\n");
        const QString other = m_dir->filePath(QStringLiteral("other"));
        QVERIFY(QDir().mkpath(other));
        installVersionedLibrary(other, QStringLiteral("3.4.7"));
        libraryCandidates << other + QStringLiteral("/Modlink");
    }
    loadDriver(sysfs(), "2.1\n");

    TAboutProgramPanel panel(nullptr, libraryCandidates, sysfs());
    QCOMPARE(panel.ModlinkVersionLMDStaticText->text(), expected);
    // The field names the file behind the version, with its links resolved.
    const QString versioned = layout == QLatin1String("second")
        ? m_dir->filePath(QStringLiteral("other/libModlink.so.3.4.7"))
        : QFileInfo(so).canonicalFilePath();
    QCOMPARE(panel.ModlinkVersionLMDStaticText->toolTip(), expected == Hyphens ? QString() : versioned);
    // The library does not affect the other fields.
    QCOMPARE(panel.G740DemoVersionLMDStaticText->text(), QStringLiteral(G740_VERSION));
    QCOMPARE(panel.MlinkdrvVersionLMDStaticTextLMDStaticText->text(), QStringLiteral("2.1"));
}

void TestAboutProgramPanel::driverVersion_data()
{
    QTest::addColumn<QString>("layout");
    QTest::addColumn<QString>("expected");
    QTest::newRow("loaded with a version") << "version" << "1.7.2";
    QTest::newRow("not loaded") << "none" << Hyphens;
    QTest::newRow("loaded without a version") << "noversion" << Hyphens;
}

void TestAboutProgramPanel::driverVersion()
{
    QFETCH(QString, layout);
    QFETCH(QString, expected);
    if (layout == QLatin1String("version"))
        loadDriver(sysfs(), "1.7.2\n");
    else if (layout == QLatin1String("noversion"))
        QVERIFY(QDir().mkpath(sysfs() + QStringLiteral("/module/mlinkdrv")));
    installVersionedLibrary(libDir(), QStringLiteral("3.4.0"));

    TAboutProgramPanel panel(nullptr, candidates(), sysfs());
    QCOMPARE(panel.MlinkdrvVersionLMDStaticTextLMDStaticText->text(), expected);
    QCOMPARE(panel.ModlinkVersionLMDStaticText->text(), QStringLiteral("3.4.0"));
    QCOMPARE(panel.G740DemoVersionLMDStaticText->text(), QStringLiteral(G740_VERSION));
}

void TestAboutProgramPanel::versionsAreReadOnce()
{
    installVersionedLibrary(libDir(), QStringLiteral("3.4.0"));
    TAboutProgramPanel panel(nullptr, candidates(), sysfs());
    QCOMPARE(panel.ModlinkVersionLMDStaticText->text(), QStringLiteral("3.4.0"));

    // An update replaces the library while the program runs.
    QFile::remove(libDir() + QStringLiteral("/libModlink.so.3.4.0"));
    installVersionedLibrary(libDir(), QStringLiteral("3.4.1"));
    panel.show();
    QCOMPARE(panel.ModlinkVersionLMDStaticText->text(), QStringLiteral("3.4.0"));
    panel.hide();

    TAboutProgramPanel later(nullptr, candidates(), sysfs());
    QCOMPARE(later.ModlinkVersionLMDStaticText->text(), QStringLiteral("3.4.1"));
}

// The program's own candidates: the stand-in beside the test, the same file
// before the first detection and after it has been loaded.
void TestAboutProgramPanel::namesTheDeviceLibraryInUse()
{
    const QString beside = QFileInfo(QCoreApplication::applicationDirPath() + QStringLiteral("/libModlink.so"))
                               .canonicalFilePath();
    QVERIFY(beside.endsWith(QStringLiteral("/libModlink.so.3.4.0")));
    QVERIFY(!DeviceLibrary::instance().isLoaded());
    QCOMPARE(FileVersions::deviceLibraryFile(), beside);

    QVERIFY2(DeviceLibrary::instance().load(), qPrintable(DeviceLibrary::instance().errorString()));
    QCOMPARE(FileVersions::deviceLibraryFile(), beside);
    TAboutProgramPanel panel(nullptr);
    QCOMPARE(panel.ModlinkVersionLMDStaticText->toolTip(), beside);
    QCOMPARE(panel.ModlinkVersionLMDStaticText->text(), QStringLiteral("3.4.0"));
    // Other candidates than the loader's own are followed, not replaced by the loaded file.
    QCOMPARE(FileVersions::deviceLibraryFile(candidates()), QString());
}

// A maker's library in a folder that only the linker's configuration names
// (an /etc/ld.so.conf.d file) is found as the linker would find it.
void TestAboutProgramPanel::librarySearchFollowsTheLinkerConfiguration()
{
    const QString etc = m_dir->filePath(QStringLiteral("etc"));
    writeFile(etc + QStringLiteral("/ld.so.conf"), "# the system's\ninclude ld.so.conf.d/*.conf\n/opt/first\n");
    writeFile(etc + QStringLiteral("/ld.so.conf.d/b.conf"), "/opt/b1:/opt/b2 # two\n");
    writeFile(etc + QStringLiteral("/ld.so.conf.d/a.conf"), "/opt/a\n");
    writeFile(etc + QStringLiteral("/ld.so.conf.d/a.conf.off"), "/opt/off\n");
    writeFile(etc + QStringLiteral("/ld.so.conf.d/loop.conf"), "include ../ld.so.conf\n");

    const QByteArray saved = qgetenv("LD_LIBRARY_PATH");
    qputenv("LD_LIBRARY_PATH", "/env/one::/env/two");
    const QStringList dirs = FileVersions::librarySearchDirs(etc + QStringLiteral("/ld.so.conf"));
    qputenv("LD_LIBRARY_PATH", saved);

    const QStringList expectedStart{"/env/one", "/env/two", "/opt/a", "/opt/b1", "/opt/b2", "/opt/first"};
    QCOMPARE(dirs.mid(0, expectedStart.size()), expectedStart);
    QVERIFY(!dirs.contains(QStringLiteral("/opt/off")));
    QCOMPARE(dirs.count(QStringLiteral("/opt/a")), 1); // the include loop ends
    QVERIFY(dirs.contains(QStringLiteral("/usr/lib")));
}

void TestAboutProgramPanel::escapeAndEnterCloseWithOk_data()
{
    QTest::addColumn<Qt::Key>("key");
    QTest::addColumn<bool>("throughOkButton");
    QTest::newRow("Escape") << Qt::Key_Escape << false;
    QTest::newRow("Enter") << Qt::Key_Return << true;
    QTest::newRow("keypad Enter") << Qt::Key_Enter << true;
}

void TestAboutProgramPanel::escapeAndEnterCloseWithOk()
{
    QFETCH(Qt::Key, key);
    QFETCH(bool, throughOkButton);
    QWidget mainWindow;
    mainWindow.show();
    TAboutProgramPanel panel(&mainWindow, candidates(), sysfs());
    QSignalSpy clicks(panel.OkLMDButton, &QPushButton::clicked);
    QCOMPARE(execWithKey(panel, key), int(QDialog::Accepted));
    QVERIFY(!panel.isVisible());
    QCOMPARE(clicks.count(), throughOkButton ? 1 : 0);

    // The dialog can be opened again, and closes the same way.
    QCOMPARE(execWithKey(panel, key), int(QDialog::Accepted));
}

void TestAboutProgramPanel::previousKeyHookIsBackAfterClosing()
{
    auto *app = Application::instance();
    QWidget mainWindow;
    mainWindow.show();
    int exitQuestions = 0;
    app->setKeyHook([&](QKeyEvent *key) {
        if (key->key() == Qt::Key_Escape)
            ++exitQuestions;
        return false;
    });

    TAboutProgramPanel panel(&mainWindow, candidates(), sysfs());
    QCOMPARE(execWithKey(panel, Qt::Key_Escape), int(QDialog::Accepted));
    QCOMPARE(exitQuestions, 0);

    QTest::keyClick(&mainWindow, Qt::Key_Escape);
    QCOMPARE(exitQuestions, 1);
    // Other keys passed through the dialog's hook to the main window's.
    QTest::keyClick(&mainWindow, Qt::Key_A);
    QCOMPARE(exitQuestions, 1);
    app->setKeyHook({});
}

void TestAboutProgramPanel::linksOpenWithTheDesktopHandler()
{
    // Stands in for the browser and the mail program.
    UrlRecorder recorder;
    QDesktopServices::setUrlHandler(QStringLiteral("https"), &recorder, "open");
    QDesktopServices::setUrlHandler(QStringLiteral("mailto"), &recorder, "open");

    TAboutProgramPanel panel(nullptr, candidates(), sysfs());
    panel.show();
    const QList<LinkLabel *> links = {panel.HomePageLinkLabel, panel.SupportMailLinkLabel};
    QCOMPARE(links[0]->url().scheme(), QStringLiteral("https"));
    QCOMPARE(links[1]->url().scheme(), QStringLiteral("mailto"));
    const QColor navy(0x00, 0x00, 0x80);
    for (LinkLabel *linkLabel : links) {
        QCOMPARE(linkLabel->cursor().shape(), Qt::PointingHandCursor);
        QCOMPARE(linkLabel->palette().color(QPalette::WindowText), navy);
        QEnterEvent enter(QPointF(2, 2), QPointF(2, 2), QPointF(2, 2));
        QApplication::sendEvent(linkLabel, &enter);
        QCOMPARE(linkLabel->palette().color(QPalette::WindowText), QColor(Qt::blue));
        QEvent leave(QEvent::Leave);
        QApplication::sendEvent(linkLabel, &leave);
        QCOMPARE(linkLabel->palette().color(QPalette::WindowText), navy);
    }

    QTest::mouseClick(links[0], Qt::LeftButton);
    QTest::mouseClick(links[1], Qt::LeftButton);
    // A press that is dragged off the label and released there opens nothing.
    QTest::mousePress(links[0], Qt::LeftButton);
    QTest::mouseRelease(links[0], Qt::LeftButton, {}, QPoint(-5, -5));
    QCOMPARE(recorder.opened, (QList<QUrl>{links[0]->url(), links[1]->url()}));

    QDesktopServices::unsetUrlHandler(QStringLiteral("https"));
    QDesktopServices::unsetUrlHandler(QStringLiteral("mailto"));
}

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    TestAboutProgramPanel test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_aboutprogrampanel.moc"
