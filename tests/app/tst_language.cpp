// The English interface: the language choice (command line, settings file)
// and an English window whose texts fit their controls.

#include "BoxWatcher.h"

#include "window/AboutProgramPanel.h"
#include "front/Language.h"
#include "window/MainForm.h"
#include "window/G740GeneratorFrame.h"
#include "window/InitDevicesThread.h"
#include "settings/SettingsFilePath.h"

#include <QAbstractButton>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QMenu>
#include <QPushButton>
#include <QRadioButton>
#include <QStyleOptionButton>
#include <QTemporaryDir>
#include <QTextDocument>
#include <QtTest>

namespace {

QString plain(QString text)
{
    return text.remove(QRegularExpression(QStringLiteral("&(?!&)")));
}

int widestLine(const QFontMetrics &metrics, const QString &text)
{
    int widest = 0;
    for (const QString &line : text.split(QLatin1Char('\n')))
        widest = std::max(widest, metrics.horizontalAdvance(plain(line)));
    return widest;
}

// Every caption under root that does not fit its control, as "name: text".
QStringList clippedTexts(QWidget *root)
{
    QStringList clipped;
    auto report = [&clipped](QWidget *widget, const QString &text, int need, int room) {
        if (need > room)
            clipped << QStringLiteral("%1: '%2' needs %3 px, has %4").arg(widget->objectName(), text).arg(need).arg(room);
    };
    for (QLabel *label : root->findChildren<QLabel *>()) {
        if (label->text().isEmpty() || !label->isVisibleTo(root))
            continue;
        if (label->wordWrap() || Qt::mightBeRichText(label->text())) {
            // Wrapped text must fit in height at the label's width.
            const int need = label->heightForWidth(label->width());
            if (need > 0)
                report(label, label->text(), need, label->height());
            continue;
        }
        report(label, label->text(), widestLine(label->fontMetrics(), label->text()), label->contentsRect().width());
    }
    for (QAbstractButton *button : root->findChildren<QAbstractButton *>()) {
        if (button->text().isEmpty() || !button->isVisibleTo(root))
            continue;
        QStyleOptionButton option;
        option.initFrom(button);
        int room = button->contentsRect().width();
        if (qobject_cast<QCheckBox *>(button))
            room = button->style()->subElementRect(QStyle::SE_CheckBoxContents, &option, button).width();
        else if (qobject_cast<QRadioButton *>(button))
            room = button->style()->subElementRect(QStyle::SE_RadioButtonContents, &option, button).width();
        else if (qobject_cast<QPushButton *>(button) && !button->inherits("WrapPushButton"))
            room -= 2 * button->style()->pixelMetric(QStyle::PM_ButtonMargin, &option, button);
        report(button, button->text(), widestLine(button->fontMetrics(), button->text()), room);
    }
    for (QGroupBox *box : root->findChildren<QGroupBox *>()) {
        if (box->title().isEmpty() || !box->isVisibleTo(root))
            continue;
        // The title sits inside the frame, a few pixels in from either side.
        report(box, box->title(), box->fontMetrics().horizontalAdvance(plain(box->title())) + 16, box->width());
    }
    return clipped;
}

} // namespace

class TestLanguage : public QObject
{
    Q_OBJECT

private slots:
    void initTestCase();
    void cleanup();
    void languageFromArguments_data();
    void languageFromArguments();
    void choiceIsKeptUnderItsOwnKey();
    void measureFindsAClippedText();
    void englishTextsFitTheMainWindow();
    void englishTextsFitTheAboutDialog();
    void menuItemKeepsTheChoice();

private:
    QTemporaryDir m_directory;
};

void TestLanguage::initTestCase()
{
    QVERIFY(m_directory.isValid());
    setSettingsFilePathOverride(m_directory.filePath(QStringLiteral("G740Config.ini")));
    QCOMPARE(Language::current(), Language::Russian);
    QVERIFY(Language::install(Language::English));
    QCOMPARE(Language::current(), Language::English);
}

void TestLanguage::cleanup()
{
    QTRY_COMPARE(TInitDevicesThread::liveCount(), 0);
}

void TestLanguage::languageFromArguments_data()
{
    QTest::addColumn<QStringList>("arguments");
    QTest::addColumn<QString>("language");
    QTest::newRow("none") << QStringList{"g740demo", "--headless"} << QString();
    QTest::newRow("separate") << QStringList{"g740demo", "--lang", "en"} << QStringLiteral("en");
    QTest::newRow("joined") << QStringList{"g740demo", "--lang=ru"} << QStringLiteral("ru");
    QTest::newRow("single dash") << QStringList{"g740demo", "-lang", "en"} << QStringLiteral("en");
    QTest::newRow("last wins") << QStringList{"g740demo", "--lang", "en", "--lang", "ru"} << QStringLiteral("ru");
    QTest::newRow("unknown") << QStringList{"g740demo", "--lang", "de"} << QString();
    QTest::newRow("missing value") << QStringList{"g740demo", "--lang"} << QString();
    QTest::newRow("a file named so") << QStringList{"g740demo", "--settings", "--lang"} << QString();
}

void TestLanguage::languageFromArguments()
{
    QFETCH(QStringList, arguments);
    QFETCH(QString, language);
    QCOMPARE(Language::fromArguments(arguments), language);
}

void TestLanguage::choiceIsKeptUnderItsOwnKey()
{
    const QString path = m_directory.filePath(QStringLiteral("choice.ini"));
    QCOMPARE(Language::saved(path), QString()); // no file yet
    Language::save(path, Language::English);
    QCOMPARE(Language::saved(path), Language::English);
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray text = file.readAll();
    QVERIFY2(text.contains("[Interface]") && text.contains("Language=en"), text.constData());
    file.close();
    Language::save(path, QStringLiteral("klingon"));
    QCOMPARE(Language::saved(path), QString()); // an unknown value is no choice
}

void TestLanguage::measureFindsAClippedText()
{
    QWidget root;
    auto *label = new QLabel(QStringLiteral("Start generator"), &root);
    label->setObjectName(QStringLiteral("narrow"));
    label->setGeometry(0, 0, 20, 20);
    auto *box = new QGroupBox(QStringLiteral("Frequency parameters"), &root);
    box->setGeometry(0, 30, 40, 40);
    auto *check = new QCheckBox(QStringLiteral("Auto save"), &root);
    check->setGeometry(0, 80, 30, 20);
    auto *wide = new QLabel(QStringLiteral("Save"), &root);
    wide->setGeometry(0, 110, 200, 20);
    QCOMPARE(clippedTexts(&root).size(), 3);
}

void TestLanguage::englishTextsFitTheMainWindow()
{
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTRY_VERIFY_WITH_TIMEOUT(!form.FirstDetection && !form.DetectionRunning, 10000);
    // Really in English, not the source texts.
    QCOMPARE(form.FindModuleLMDButton->text(), QStringLiteral("Detect G-740"));
    QCOMPARE(form.SaveSettingsButton->text(), QStringLiteral("Save"));
    const QStringList clipped = clippedTexts(&form);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char('\n'))));
}

void TestLanguage::englishTextsFitTheAboutDialog()
{
    TAboutProgramPanel panel(nullptr);
    panel.show();
    QVERIFY(QTest::qWaitForWindowExposed(&panel));
    QCOMPARE(panel.VersionsLMDGroupBox->title(), QStringLiteral("Versions"));
    const QStringList clipped = clippedTexts(&panel);
    QVERIFY2(clipped.isEmpty(), qPrintable(clipped.join(QLatin1Char('\n'))));
}

void TestLanguage::menuItemKeepsTheChoice()
{
    TMainForm form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTRY_VERIFY_WITH_TIMEOUT(!form.FirstDetection && !form.DetectionRunning, 10000);
    QAction *russian = form.LanguageMenu->findChild<QAction *>(QStringLiteral("LanguageMenuItem_ru"));
    QAction *english = form.LanguageMenu->findChild<QAction *>(QStringLiteral("LanguageMenuItem_en"));
    QVERIFY(russian && english);
    QVERIFY(english->isChecked()); // the language in use
    BoxWatcher watcher;
    russian->trigger();
    QTRY_COMPARE(watcher.boxes().size(), 1);
    QVERIFY(watcher.boxes().first().text.contains(QStringLiteral("next start")));
    QCOMPARE(Language::saved(SettingsFilePath()), Language::Russian);
    english->trigger();
    QTRY_COMPARE(watcher.boxes().size(), 2);
    QCOMPARE(Language::saved(SettingsFilePath()), Language::English);
}

QTEST_MAIN(TestLanguage)
#include "tst_language.moc"
