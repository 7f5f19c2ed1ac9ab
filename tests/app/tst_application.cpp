#include "window/Application.h"

#include <QKeyEvent>
#include <QLineEdit>
#include <QAbstractButton>
#include <QMessageBox>
#include <QTimer>
#include <QtTest>

#include <stdexcept>

class ThrowingWidget : public QWidget
{
protected:
    void mousePressEvent(QMouseEvent *) override { throw std::runtime_error("handler failed"); }
};

class TestApplication : public QObject
{
    Q_OBJECT

private slots:
    void keyHookSeesEachKeyOnceBeforeTheWidget();
    void keyHookConsumesHandledKeys();
    void setKeyHookReturnsThePreviousHook();
    void exceptionInHandlerIsShownAndLoopGoesOn();
    void standardButtonsSpeakRussian();
};

void TestApplication::keyHookSeesEachKeyOnceBeforeTheWidget()
{
    auto *app = Application::instance();
    QWidget window;
    auto *edit = new QLineEdit(&window);
    window.show();
    edit->setFocus();
    int calls = 0;
    QString textWhenCalled;
    app->setKeyHook([&](QKeyEvent *key) {
        ++calls;
        textWhenCalled = edit->text();
        return key->key() == Qt::Key_Escape;
    });
    QTest::keyClick(edit, Qt::Key_A);
    QCOMPARE(calls, 1);
    QCOMPARE(textWhenCalled, QString());
    QCOMPARE(edit->text(), QStringLiteral("a"));
    app->setKeyHook({});
}

void TestApplication::keyHookConsumesHandledKeys()
{
    auto *app = Application::instance();
    QLineEdit edit;
    edit.show();
    app->setKeyHook([](QKeyEvent *key) { return key->key() == Qt::Key_B; });
    QTest::keyClicks(&edit, QStringLiteral("abc"));
    QCOMPARE(edit.text(), QStringLiteral("ac"));
    app->setKeyHook({});
}

void TestApplication::setKeyHookReturnsThePreviousHook()
{
    auto *app = Application::instance();
    int first = 0;
    app->setKeyHook([&](QKeyEvent *) { ++first; return false; });
    Application::KeyHook previous = app->setKeyHook([](QKeyEvent *) { return false; });
    QVERIFY(previous);
    QKeyEvent key(QEvent::KeyPress, Qt::Key_Escape, Qt::NoModifier);
    previous(&key);
    QCOMPARE(first, 1);
    app->setKeyHook({});
}

void TestApplication::exceptionInHandlerIsShownAndLoopGoesOn()
{
    ThrowingWidget widget;
    widget.show();
    QString shown;
    QTimer::singleShot(0, [&] {
        if (auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget())) {
            shown = box->text();
            box->accept();
        }
    });
    QTest::mouseClick(&widget, Qt::LeftButton);
    QCOMPARE(shown, QStringLiteral("handler failed"));
    // The event loop still works after the exception.
    bool ran = false;
    QTimer::singleShot(0, [&] { ran = true; });
    QTRY_VERIFY(ran);
}

void TestApplication::standardButtonsSpeakRussian()
{
    QVERIFY(Application::installQtTranslation());
    QMessageBox box(QMessageBox::Question, QStringLiteral("Подтвердите завершение!"),
                    QStringLiteral("Действительно хотите завершить работу?"), QMessageBox::Yes | QMessageBox::No);
    QCOMPARE(box.button(QMessageBox::Yes)->text().remove(QLatin1Char('&')), QStringLiteral("Да"));
    QCOMPARE(box.button(QMessageBox::No)->text().remove(QLatin1Char('&')), QStringLiteral("Нет"));
    QMessageBox ok(QMessageBox::Information, QString(), QStringLiteral("Текст"), QMessageBox::Ok | QMessageBox::Cancel);
    QCOMPARE(ok.button(QMessageBox::Cancel)->text().remove(QLatin1Char('&')), QStringLiteral("Отмена"));
    if (!qEnvironmentVariableIsEmpty("G740_SCREENSHOT_DIR")) {
        box.show();
        QVERIFY(box.grab().save(qEnvironmentVariable("G740_SCREENSHOT_DIR") + QStringLiteral("/yes-no-box.png")));
    }
}

int main(int argc, char *argv[])
{
    Application app(argc, argv);
    TestApplication test;
    return QTest::qExec(&test, argc, argv);
}

#include "tst_application.moc"
