#include "settings/IniFile.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTest>


namespace {

QByteArray contentOf(const QString &path)
{
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

void store(const QString &path, const QByteArray &content)
{
    QFile file(path);
    QVERIFY(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    QCOMPARE(file.write(content), content.size());
}

} // namespace

class TestIniFile : public QObject
{
    Q_OBJECT

private slots:
    void init();
    void cleanup();

    void openingTouchesNothing();
    void readInteger_data();
    void readInteger();
    void readFloat_data();
    void readFloat();
    void readBool_data();
    void readBool();
    void writtenForms();
    void writeKeepsPermissions();
    void readOnlyFileIsNotReplaced();
    void readOnlyDirectoryIsNotWritten();
    void pathThatIsNoFile();
    void interruptedWriteLeavesAWholeFile();
    void largeFile();

private:
    QString path() const { return m_dir->filePath("G740Config.ini"); }

    std::unique_ptr<QTemporaryDir> m_dir;
};

void TestIniFile::init()
{
    m_dir = std::make_unique<QTemporaryDir>();
    QVERIFY(m_dir->isValid());
}

void TestIniFile::cleanup()
{
    TIniFile::setWriteFailureAfter(std::nullopt);
    QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::WriteOwner | QFile::ExeOwner);
    m_dir.reset();
}

void TestIniFile::openingTouchesNothing()
{
    const QString missing = m_dir->filePath("no/such/dir/G740Config.ini");
    const TIniFile file(missing);
    QCOMPARE(file.fileName(), missing);
    QCOMPARE(file.ReadString("s", "k", "default"), QStringLiteral("default"));
    QCOMPARE(file.ReadInteger("s", "k", 7), 7);
    QVERIFY(!QFile::exists(missing));
    QVERIFY(QDir(m_dir->path()).isEmpty());

    // A write to a missing file creates it.
    TIniFile created(path());
    created.WriteInteger("s", "k", 1);
    QCOMPARE(contentOf(path()), QByteArray("[s]\r\nk=1\r\n"));
}

void TestIniFile::readInteger_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<int>("expected");
    QTest::newRow("decimal") << QByteArray("42") << 42;
    QTest::newRow("negative") << QByteArray("-5") << -5;
    QTest::newRow("blanks") << QByteArray("  12 ") << 12;
    QTest::newRow("hex") << QByteArray("0x10") << 16;
    QTest::newRow("hex capital") << QByteArray("0X1f") << 31;
    QTest::newRow("32-bit") << QByteArray("2147483647") << 2147483647;
    QTest::newRow("too large") << QByteArray("4294967296") << -1;
    QTest::newRow("letters") << QByteArray("abc") << -1;
    QTest::newRow("float") << QByteArray("1.5") << -1;
    QTest::newRow("empty") << QByteArray("") << -1;
    QTest::newRow("bare 0x") << QByteArray("0x") << -1;
    QTest::newRow("nul inside") << QByteArray("1\0" "2", 3) << -1;
}

void TestIniFile::readInteger()
{
    QFETCH(QByteArray, value);
    QFETCH(int, expected);
    store(path(), "[s]\nk=" + value + "\n");
    QCOMPARE(TIniFile(path()).ReadInteger("s", "k", -1), expected);
}

void TestIniFile::readFloat_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<double>("expected");
    QTest::newRow("fraction") << QByteArray("12.5") << 12.5;
    QTest::newRow("whole") << QByteArray("50000") << 50000.0;
    QTest::newRow("exponent") << QByteArray("1E-6") << 1e-6;
    QTest::newRow("comma") << QByteArray("10,5") << 10.0;
    QTest::newRow("letters") << QByteArray("abc") << 10.0;
    QTest::newRow("empty") << QByteArray("") << 10.0;
}

void TestIniFile::readFloat()
{
    QFETCH(QByteArray, value);
    QFETCH(double, expected);
    store(path(), "[s]\nk=" + value + "\n");
    QCOMPARE(TIniFile(path()).ReadFloat("s", "k", 10.0), expected);
}

void TestIniFile::readBool_data()
{
    QTest::addColumn<QByteArray>("value");
    QTest::addColumn<bool>("defaultValue");
    QTest::addColumn<bool>("expected");
    QTest::newRow("1") << QByteArray("1") << false << true;
    QTest::newRow("2 is true") << QByteArray("2") << false << true;
    QTest::newRow("0") << QByteArray("0") << true << false;
    QTest::newRow("hex") << QByteArray("0x0") << true << false;
    QTest::newRow("text gives the default") << QByteArray("true") << false << false;
    QTest::newRow("text gives the default, true") << QByteArray("no") << true << true;
}

void TestIniFile::readBool()
{
    QFETCH(QByteArray, value);
    QFETCH(bool, defaultValue);
    QFETCH(bool, expected);
    store(path(), "[s]\nk=" + value + "\n");
    QCOMPARE(TIniFile(path()).ReadBool("s", "k", defaultValue), expected);
}

void TestIniFile::writtenForms()
{
    TIniFile file(path());
    file.WriteFloat("s", "f", 12.5);
    file.WriteFloat("s", "whole", 10.0);
    file.WriteInteger("s", "i", -3);
    file.WriteBool("s", "t", true);
    file.WriteBool("s", "n", false);
    file.WriteString("s", "text", QStringLiteral("/путь/g740demo"));
    QCOMPARE(contentOf(path()), QByteArray("[s]\r\nf=12.5\r\nwhole=10\r\ni=-3\r\nt=1\r\nn=0\r\ntext=/\xEF\xF3\xF2\xFC/g740demo\r\n"));
    QCOMPARE(file.ReadFloat("s", "f", 0), 12.5);
    QCOMPARE(file.ReadString("s", "text", ""), QStringLiteral("/путь/g740demo"));
}

void TestIniFile::writeKeepsPermissions()
{
    store(path(), "[s]\nk=1\n");
    const auto permissions = QFile::ReadOwner | QFile::WriteOwner | QFile::ReadGroup;
    QVERIFY(QFile::setPermissions(path(), permissions));
    TIniFile(path()).WriteInteger("s", "k", 2);
    QCOMPARE(contentOf(path()), QByteArray("[s]\nk=2\n"));
    QCOMPARE(QFile::permissions(path()) & ~(QFile::ReadUser | QFile::WriteUser | QFile::ExeUser), permissions);
}

void TestIniFile::readOnlyFileIsNotReplaced()
{
    const QByteArray old = "[s]\r\nk=1\r\n";
    store(path(), old);
    QVERIFY(QFile::setPermissions(path(), QFile::ReadOwner | QFile::ReadGroup | QFile::ReadOther));
    TIniFile file(path());
    try {
        file.WriteInteger("s", "k", 2);
        QFAIL("a read-only file was written");
    } catch (const IniFileError &error) {
        QCOMPARE(QString::fromStdString(error.what()), "Unable to write to " + path());
        QCOMPARE(error.fileName(), path());
    }
    QCOMPARE(contentOf(path()), old);
    QCOMPARE(file.ReadInteger("s", "k", 0), 1);
}

void TestIniFile::readOnlyDirectoryIsNotWritten()
{
    const QByteArray old = "[s]\r\nk=1\r\n";
    store(path(), old);
    const QString fresh = m_dir->filePath("new.ini");
    QVERIFY(QFile::setPermissions(m_dir->path(), QFile::ReadOwner | QFile::ExeOwner));
    QVERIFY_THROWS_EXCEPTION(IniFileError, TIniFile(path()).WriteInteger("s", "k", 2));
    QVERIFY_THROWS_EXCEPTION(IniFileError, TIniFile(fresh).WriteInteger("s", "k", 2));
    QCOMPARE(contentOf(path()), old);
    QVERIFY(!QFile::exists(fresh));
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"G740Config.ini"});
}

void TestIniFile::pathThatIsNoFile()
{
    QVERIFY(QDir(m_dir->path()).mkdir("G740Config.ini"));
    TIniFile file(path());
    QCOMPARE(file.ReadString("s", "k", "d"), QStringLiteral("d"));
    QVERIFY_THROWS_EXCEPTION(IniFileError, file.WriteString("s", "k", "v"));
    QVERIFY(QFileInfo(path()).isDir());
}

void TestIniFile::interruptedWriteLeavesAWholeFile()
{
    const QByteArray old = "; operator's notes\r\n[s]\r\nk=old\r\n[t]\r\nx=1\r\n";
    const QByteArray updated = "; operator's notes\r\n[s]\r\nk=new value\r\n[t]\r\nx=1\r\n";
    store(path(), old);
    TIniFile file(path());
    // Every length of the new file that was written, up to a failure just
    // before the new file takes the old one's place.
    for (qint64 bytes = 0; bytes <= updated.size(); ++bytes) {
        TIniFile::setWriteFailureAfter(bytes);
        QVERIFY_THROWS_EXCEPTION(IniFileError, file.WriteString("s", "k", "new value"));
        QCOMPARE(contentOf(path()), old);
        QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"G740Config.ini"});
    }
    TIniFile::setWriteFailureAfter(std::nullopt);
    file.WriteString("s", "k", "new value");
    QCOMPARE(contentOf(path()), updated);
}

void TestIniFile::largeFile()
{
    QByteArray old = "[other]\r\n";
    while (old.size() < 10 * 1024 * 1024)
        old += "key" + QByteArray::number(old.size()) + "=" + QByteArray(200, 'v') + "\r\n";
    store(path(), old);
    TIniFile file(path());
    file.WriteInteger("s", "k", 5);
    QCOMPARE(file.ReadInteger("s", "k", 0), 5);
    QCOMPARE(contentOf(path()), old + "\r\n[s]\r\nk=5\r\n");
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
