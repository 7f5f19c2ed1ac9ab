// The loader against the stand-in library and against files that are not a
// usable device library.

#include "device/DeviceLibrary.h"

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QTest>

class TestDeviceLibrary : public QObject
{
    Q_OBJECT

private:
    static QString beside(const QString &name) { return QCoreApplication::applicationDirPath() + '/' + name; }

private slots:
    void init() { qunsetenv("MODLINK_SIM"); }

    void loadsTheLibraryBesideTheProgram()
    {
        const QStringList candidates = DeviceLibrary::defaultCandidates();
        QCOMPARE(candidates, QStringList({beside("Modlink"), "Modlink", DeviceLibrary::privateDirectory() + "/Modlink"}));

        DeviceLibrary library;
        QVERIFY(library.fileName().isEmpty());
        QVERIFY2(library.load(), qPrintable(library.errorString()));
        QVERIFY(library.isLoaded());
        QVERIFY(library.errorString().isEmpty());
        QCOMPARE(QFileInfo(library.fileName()).canonicalFilePath(),
                 QFileInfo(beside("libModlink.so")).canonicalFilePath());
        QCOMPARE(library.getLibraryVersion()(), RequiredLibraryVersion);
        QVERIFY(library.createModuleInterface());
        QVERIFY(library.load()); // a second load keeps what it has
    }

    // The installed layout: <prefix>/bin/g740demo finds <prefix>/lib/<arch>/g740demo,
    // whatever the prefix.
    void privateDirectoryIsBesideTheInstalledProgram()
    {
        const QString dir = DeviceLibrary::privateDirectory();
        QVERIFY2(dir.endsWith("/g740demo"), qPrintable(dir));
        QCOMPARE(QDir::cleanPath(dir), dir);
        const QString appDir = QCoreApplication::applicationDirPath();
        const QString prefix = QFileInfo(appDir).path();
        QVERIFY2(dir.startsWith(prefix + "/lib"), qPrintable(dir));
        QVERIFY(!dir.startsWith(appDir + '/'));
    }

    void triesTheCandidatesInOrder()
    {
        QTemporaryDir empty;
        DeviceLibrary library({empty.filePath("Modlink"), beside("versiononly/Modlink"), beside("Modlink")});
        QVERIFY2(library.load(), qPrintable(library.errorString()));
        QCOMPARE(QFileInfo(library.fileName()).canonicalFilePath(),
                 QFileInfo(beside("libModlink.so")).canonicalFilePath());
    }

    void reportsAnUnusableLibrary_data()
    {
        QTest::addColumn<QString>("fileContents"); // written as libModlink.so of a temporary directory
        QTest::addColumn<QString>("candidate");    // relative to the program's directory when not empty
        QTest::addColumn<QStringList>("named");    // what the error text must name

        QTest::newRow("missing") << QString() << QString() << QStringList({"Modlink", "No such file"});
        QTest::newRow("foreign file") << "not a library\n" << QString() << QStringList({"libModlink.so"});
        QTest::newRow("no factory") << QString() << "versiononly/Modlink"
                                    << QStringList({"versiononly/libModlink.so", "CreateModuleInterface"});
    }

    void reportsAnUnusableLibrary()
    {
        QFETCH(QString, fileContents);
        QFETCH(QString, candidate);
        QFETCH(QStringList, named);

        QTemporaryDir dir;
        if (!fileContents.isEmpty()) {
            QFile file(dir.filePath("libModlink.so"));
            QVERIFY(file.open(QIODevice::WriteOnly));
            file.write(fileContents.toUtf8());
        }
        DeviceLibrary library({candidate.isEmpty() ? dir.filePath("Modlink") : beside(candidate)});
        for (int attempt = 0; attempt < 2; ++attempt) {
            QVERIFY(!library.load());
            QVERIFY(!library.isLoaded());
            QVERIFY(!library.getLibraryVersion());
            QVERIFY(!library.createModuleInterface());
            QVERIFY(library.fileName().isEmpty());
            for (const QString &name : named)
                QVERIFY2(library.errorString().contains(name), qPrintable(library.errorString()));
        }
        if (!candidate.isEmpty())
            QVERIFY(!library.errorString().contains("GetLibraryVersion"));
    }

    void reportsAnEmptyCandidateList()
    {
        DeviceLibrary library(QStringList{});
        QVERIFY(!library.load());
        QVERIFY(!library.errorString().isEmpty());
    }
};

QTEST_GUILESS_MAIN(TestDeviceLibrary)
#include "tst_devicelibrary.moc"
