#include "settings/IniFile.h"

#include <QDir>
#include <QFile>
#include "settings/IniText.h"

#include <QTemporaryDir>
#include <QTest>

#include <cerrno>
#include <csignal>

#include <sys/resource.h>


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
    void fileSizeLimitLeavesTheOldFile();
    void largeFile();
    void manyEditsOneReplacement();
    void unusableFile_data();
    void unusableFile();
    void writeFailureReasons_data();
    void writeFailureReasons();
    void staleTemporariesRemoved();

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
        // The operator reads what happened, in Russian, with the reason.
        QCOMPARE(QString::fromUtf8(error.what()),
                 "Не могу сохранить файл настроек '" + path() + "': нет прав на запись (файл защищён от записи).");
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
    try {
        TIniFile(fresh).WriteInteger("s", "k", 2);
        QFAIL("a file was created in a read-only directory");
    } catch (const IniFileError &error) {
        QCOMPARE(error.reason(), "нет прав на запись в каталог '" + m_dir->path() + "'");
    }
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

// A write the system refuses only when the buffered bytes reach the disk (a
// file-size limit, a full disk) must fail the save, not replace the file with
// an empty one.
void TestIniFile::fileSizeLimitLeavesTheOldFile()
{
    const QByteArray old = "[s]\r\nk=old\r\n";
    store(path(), old);
    TIniFile file(path());

    rlimit saved{};
    QCOMPARE(getrlimit(RLIMIT_FSIZE, &saved), 0);
    const auto previousHandler = std::signal(SIGXFSZ, SIG_IGN);
    rlimit none = saved;
    none.rlim_cur = 0;
    QCOMPARE(setrlimit(RLIMIT_FSIZE, &none), 0);
    bool thrown = false;
    try {
        file.WriteString("s", "k", "new");
    } catch (const IniFileError &) {
        thrown = true;
    }
    setrlimit(RLIMIT_FSIZE, &saved);
    std::signal(SIGXFSZ, previousHandler);

    QVERIFY(thrown);
    QCOMPARE(contentOf(path()), old);
    QCOMPARE(QDir(m_dir->path()).entryList(QDir::Files | QDir::Hidden), QStringList{"G740Config.ini"});
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

void TestIniFile::manyEditsOneReplacement()
{
    store(path(), "[a]\r\nx=1\r\n[gone]\r\ny=2\r\n[b]\r\nz=3\r\n");
    TIniFile file(path());
    const int before = TIniFile::replacementCount();
    file.Update([](IniText &text) {
        text.setValue(u"a", u"x", u"10");
        text.setValue(u"new", u"k", u"v");
        text.removeSection(u"gone");
        text.setValue(u"b", u"z", u"30");
        return true;
    });
    QCOMPARE(TIniFile::replacementCount(), before + 1);
    QCOMPARE(contentOf(path()), QByteArray("[a]\r\nx=10\r\n[b]\r\nz=30\r\n\r\n[new]\r\nk=v\r\n"));

    // An edit that declines writes nothing.
    file.Update([](IniText &text) {
        text.setValue(u"a", u"x", u"99");
        return false;
    });
    QCOMPARE(TIniFile::replacementCount(), before + 1);
    QCOMPARE(file.ReadInteger("a", "x", 0), 10);

    // A failure anywhere before the new file takes its place keeps every old key.
    TIniFile::setWriteFailureAfter(1000);
    QVERIFY_THROWS_EXCEPTION(IniFileError, file.Update([](IniText &text) {
        text.setValue(u"a", u"x", u"11");
        text.setValue(u"b", u"z", u"31");
        return true;
    }));
    QCOMPARE(contentOf(path()), QByteArray("[a]\r\nx=10\r\n[b]\r\nz=30\r\n\r\n[new]\r\nk=v\r\n"));
}

void TestIniFile::unusableFile_data()
{
    QTest::addColumn<QByteArray>("content");
    QTest::addColumn<QString>("reason");
    QTest::newRow("binary") << QByteArray("[s]\r\nk=1\r\n\x00\x01\x02", 13) << "это не текстовый файл";
    QTest::newRow("UTF-16") << QByteArray("\xFF\xFE[\0s\0]\0", 8)
                            << "файл записан в кодировке UTF-16, программа читает Windows-1251 и UTF-8";
    QTest::newRow("no read permission") << QByteArray("[s]\r\nk=1\r\n") << "нет прав на чтение";
    QTest::newRow("directory") << QByteArray() << "по этому пути находится каталог, а не файл";
}

void TestIniFile::unusableFile()
{
    QFETCH(QByteArray, content);
    QFETCH(QString, reason);
    const bool directory = QByteArray(QTest::currentDataTag()) == "directory";
    if (directory)
        QVERIFY(QDir(m_dir->path()).mkdir("G740Config.ini"));
    else
        store(path(), content);
    if (QByteArray(QTest::currentDataTag()) == "no read permission")
        QVERIFY(QFile::setPermissions(path(), QFile::WriteOwner));

    TIniFile file(path());
    QCOMPARE(file.unusableReason(), std::optional<QString>(reason));
    QCOMPARE(file.ReadInteger("s", "k", 7), 7);

    // A save nobody asked for keeps the file as it is.
    try {
        file.WriteInteger("s", "k", 2);
        QFAIL("an unusable file was replaced");
    } catch (const IniFileError &error) {
        QCOMPARE(error.reason(), reason);
    }
    QCOMPARE(TIniFile(path()).unusableReason(), std::optional<QString>(reason));
    if (!directory) {
        QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);
        QCOMPARE(contentOf(path()), content);
        QFile::setPermissions(path(), QFile::WriteOwner);
    }

    // The operator's own save replaces it with our keys alone; a directory
    // stays a directory.
    file.setReplacesUnusableFile(true);
    if (directory) {
        QVERIFY_THROWS_EXCEPTION(IniFileError, file.WriteInteger("s", "k", 2));
        QVERIFY(QFileInfo(path()).isDir());
        return;
    }
    file.WriteInteger("s", "k", 2);
    QFile::setPermissions(path(), QFile::ReadOwner | QFile::WriteOwner);
    QCOMPARE(contentOf(path()), QByteArray("[s]\r\nk=2\r\n"));
}

void TestIniFile::writeFailureReasons_data()
{
    QTest::addColumn<int>("error");
    QTest::addColumn<QString>("reason");
    QTest::newRow("permission") << EACCES << "нет прав на запись";
    QTest::newRow("disk full") << ENOSPC << "нет места на диске";
    QTest::newRow("quota") << EDQUOT << "нет места на диске";
    QTest::newRow("read-only file system") << EROFS << "файловая система только для чтения";
    QTest::newRow("input/output") << EIO << "ошибка ввода-вывода";
}

void TestIniFile::writeFailureReasons()
{
    QFETCH(int, error);
    QFETCH(QString, reason);
    QCOMPARE(systemErrorReason(error), reason);
    const IniFileError failure("/x/G740Config.ini", systemErrorReason(error));
    QCOMPARE(QString::fromUtf8(failure.what()), "Не могу сохранить файл настроек '/x/G740Config.ini': " + reason + ".");
}

void TestIniFile::staleTemporariesRemoved()
{
    const QDir dir(m_dir->path());
    store(path(), "[s]\r\nk=1\r\n");
    // What a killed save leaves, and what only looks like it.
    for (const char *name : {"G740Config.ini.aB3xYz", "G740Config.ini.QwErTy", "G740Config.ini.bak",
                             "G740Config.ini.abcdefg", "Other.ini.aB3xYz", "G740Config.ini.a-b_cd"})
        store(dir.filePath(name), "x");
    QVERIFY(dir.mkdir("G740Config.ini.dirdir"));
    QVERIFY(QFile::link(dir.filePath("Other.ini.aB3xYz"), dir.filePath("G740Config.ini.LiNkEd")));

    QCOMPARE(removeStaleTemporaries(path()), 2);
    QCOMPARE(dir.entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden | QDir::System, QDir::Name),
             QStringList({"G740Config.ini", "G740Config.ini.LiNkEd", "G740Config.ini.a-b_cd", "G740Config.ini.abcdefg",
                          "G740Config.ini.bak", "G740Config.ini.dirdir", "Other.ini.aB3xYz"}));
    QCOMPARE(contentOf(path()), QByteArray("[s]\r\nk=1\r\n"));
}

QTEST_GUILESS_MAIN(TestIniFile)
#include "tst_inifile.moc"
