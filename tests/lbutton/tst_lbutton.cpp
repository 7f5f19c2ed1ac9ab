#include "components/lbutton/LButton.h"

#include <QSignalSpy>
#include <QTest>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWindow>

#include <cmath>
#include <memory>

namespace {

QWidget *strip(TLButton &button)
{
    return button.findChild<QWidget *>(QStringLiteral("PaintBox"));
}

QToolButton *speedButton(TLButton &button)
{
    return button.findChild<QToolButton *>(QStringLiteral("SpeedButton"));
}

// Moves over the strip first: the boxes are told apart by the last movement.
void clickStrip(TLButton &button, int x)
{
    QWidget *paintBox = strip(button);
    const QPoint pos(x, paintBox->height() / 2);
    QTest::mouseMove(paintBox, pos);
    QTest::mouseClick(paintBox, Qt::LeftButton, {}, pos);
}

} // namespace

class TestLButton : public QObject
{
    Q_OBJECT

private slots:
    void firstPaintComputesLayout();
    void setHeight_data();
    void setHeight();
    void setColorBoxWidth_data();
    void setColorBoxWidth();
    void setTextBoxWidth_data();
    void setTextBoxWidth();
    void widthChangeKeepsBoxWidths();
    void hideAndShowRestoreWidths();
    void hidingBothGivesButtonWholeHeight();
    void layoutHeightChangeRelaysOut_data();
    void layoutHeightChangeRelaysOut();
    void stripClicks_data();
    void stripClicks();
    void doubleClicks();
    void speedButtonClick();
    void textTallerThanStrip();
    void stripPixels();
    void stripPixelsTextBoxOnly();
    void textCentredInFormFont();
    void groupIsExclusive();
    void allowAllUpReleasesDownButton();
    void buttonOutsideGroupDoesNotStayDown();
    void labelReachesSpeedButton();
};

void TestLButton::firstPaintComputesLayout()
{
    TLButton button;
    button.SetText(QStringLiteral("1.5"));
    QCOMPARE(button.LastHeight(), button.height());
    QCOMPARE(button.SpeedButtonHeight() + button.PaintBoxHeight(), button.height());
    QCOMPARE(speedButton(button)->height(), button.SpeedButtonHeight());
    QCOMPARE(strip(button)->geometry(), QRect(0, button.SpeedButtonHeight(), button.width(), button.PaintBoxHeight()));
}

void TestLButton::setHeight_data()
{
    QTest::addColumn<int>("height");
    QTest::addColumn<int>("speedButtonHeight");
    QTest::addColumn<int>("paintBoxHeight");
    QTest::addColumn<bool>("room");

    QTest::newRow("room for the strip") << 60 << 26 << 34 << true;
    QTest::newRow("one pixel of strip") << 27 << 26 << 1 << true;
    QTest::newRow("equal to the speed button") << 26 << 26 << 0 << false;
    QTest::newRow("lower than the speed button") << 20 << 20 << 0 << false;
}

void TestLButton::setHeight()
{
    QFETCH(int, height);
    QFETCH(int, speedButtonHeight);
    QFETCH(int, paintBoxHeight);
    QFETCH(bool, room);

    TLButton button;
    button.SetHeight(height);
    QCOMPARE(button.height(), height);
    QCOMPARE(button.LastHeight(), height);
    QCOMPARE(button.SpeedButtonHeight(), speedButtonHeight);
    QCOMPARE(button.PaintBoxHeight(), paintBoxHeight);
    QCOMPARE(button.PaintBoxRoom(), room);
    QCOMPARE(speedButton(button)->height(), speedButtonHeight);
    QCOMPARE(strip(button)->height(), paintBoxHeight);
    // The requested button height survives a squeeze.
    QCOMPARE(button.RequestedSpeedButtonHeight(), 26);
    button.SetHeight(70);
    QCOMPARE(button.SpeedButtonHeight(), 26);
    QCOMPARE(button.PaintBoxHeight(), 44);
    QVERIFY(button.PaintBoxRoom());
}

void TestLButton::setColorBoxWidth_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("colorBoxWidth");
    QTest::addColumn<int>("textBoxWidth");

    QTest::newRow("inside") << 40 << 40 << 60;
    QTest::newRow("zero") << 0 << 1 << 99;
    QTest::newRow("negative") << -7 << 1 << 99;
    QTest::newRow("whole width") << 100 << 100 << 0;
    QTest::newRow("beyond the width") << 150 << 100 << 0;
}

void TestLButton::setColorBoxWidth()
{
    QFETCH(int, value);
    QFETCH(int, colorBoxWidth);
    QFETCH(int, textBoxWidth);

    TLButton button;
    button.SetWidth(100);
    button.SetColorBoxWidth(value);
    QCOMPARE(button.ColorBoxWidth(), colorBoxWidth);
    QCOMPARE(button.TextBoxWidth(), textBoxWidth);
    QCOMPARE(button.RequestedColorBoxWidth(), colorBoxWidth);
    QCOMPARE(button.RequestedTextBoxWidth(), textBoxWidth);
}

void TestLButton::setTextBoxWidth_data()
{
    QTest::addColumn<int>("value");
    QTest::addColumn<int>("colorBoxWidth");
    QTest::addColumn<int>("textBoxWidth");

    QTest::newRow("inside") << 70 << 30 << 70;
    QTest::newRow("zero is taken") << 0 << 100 << 0;
    QTest::newRow("negative is taken") << -5 << 105 << -5;
    QTest::newRow("beyond the width") << 120 << 0 << 100;
}

void TestLButton::setTextBoxWidth()
{
    QFETCH(int, value);
    QFETCH(int, colorBoxWidth);
    QFETCH(int, textBoxWidth);

    TLButton button;
    button.SetWidth(100);
    button.SetTextBoxWidth(value);
    QCOMPARE(button.ColorBoxWidth(), colorBoxWidth);
    QCOMPARE(button.TextBoxWidth(), textBoxWidth);
    QCOMPARE(button.RequestedColorBoxWidth(), colorBoxWidth);
    QCOMPARE(button.RequestedTextBoxWidth(), textBoxWidth);
    // A text box of no or negative width leaves the strip to the colour box.
    if (textBoxWidth <= 0) {
        button.SetColorBoxBk(QColor(Qt::red));
        button.SetTextBoxBk(QColor(Qt::green));
        const QImage image = button.grab().toImage();
        QCOMPARE(QColor(image.pixel(97, 35)), QColor(Qt::red));
    }
}

void TestLButton::widthChangeKeepsBoxWidths()
{
    TLButton button;
    button.SetWidth(100);
    button.SetColorBoxWidth(30);
    button.SetWidth(160);
    QCOMPARE(button.ColorBoxWidth(), 30);
    QCOMPARE(button.TextBoxWidth(), 70);
    // The text box still reaches the new right edge.
    QCOMPARE(button.textBoxRect().right(), 159);
    QCOMPARE(strip(button)->width(), 160);
    QCOMPARE(speedButton(button)->width(), 160);
}

void TestLButton::hideAndShowRestoreWidths()
{
    TLButton button;
    button.SetWidth(100);
    button.SetColorBoxWidth(30);

    button.SetShowColorBox(false);
    QCOMPARE(button.ColorBoxWidth(), 0);
    QCOMPARE(button.TextBoxWidth(), 100);
    button.SetShowColorBox(true);
    QCOMPARE(button.ColorBoxWidth(), 30);
    QCOMPARE(button.TextBoxWidth(), 70);

    button.SetShowTextBox(false);
    QCOMPARE(button.ColorBoxWidth(), 100);
    QCOMPARE(button.TextBoxWidth(), 0);
    button.SetShowTextBox(true);
    QCOMPARE(button.ColorBoxWidth(), 30);
    QCOMPARE(button.TextBoxWidth(), 70);
    QCOMPARE(button.SpeedButtonHeight(), 26);
}

void TestLButton::hidingBothGivesButtonWholeHeight()
{
    TLButton button;
    button.SetHeight(45);
    button.SetShowColorBox(false);
    button.SetShowTextBox(false);
    QCOMPARE(button.SpeedButtonHeight(), 45);
    QCOMPARE(speedButton(button)->height(), 45);
    QCOMPARE(strip(button)->height(), 0);
    // The strip keeps its height for when a box comes back.
    QCOMPARE(button.PaintBoxHeight(), 19);
    button.SetShowTextBox(true);
    QCOMPARE(button.SpeedButtonHeight(), 26);
    QCOMPARE(strip(button)->height(), 19);
}

void TestLButton::layoutHeightChangeRelaysOut_data()
{
    QTest::addColumn<int>("requestedButtonHeight");
    QTest::addColumn<int>("newHeight");
    QTest::addColumn<int>("speedButtonHeight");
    QTest::addColumn<bool>("room");

    QTest::newRow("taller") << 26 << 80 << 26 << true;
    QTest::newRow("taller, own button height") << 30 << 80 << 30 << true;
    QTest::newRow("squeezed to the button") << 26 << 26 << 26 << false;
    QTest::newRow("squeezed below the button") << 30 << 22 << 22 << false;
}

void TestLButton::layoutHeightChangeRelaysOut()
{
    QFETCH(int, requestedButtonHeight);
    QFETCH(int, newHeight);
    QFETCH(int, speedButtonHeight);
    QFETCH(bool, room);

    QWidget form;
    auto *layout = new QVBoxLayout(&form);
    layout->setContentsMargins(0, 0, 0, 0);
    auto *button = new TLButton;
    layout->addWidget(button);
    button->SetSpeedButtonHeight(requestedButtonHeight);
    form.resize(120, 45);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    form.resize(120, newHeight);
    QTRY_COMPARE(button->height(), newHeight);
    form.grab(); // the next paint
    QCOMPARE(button->LastHeight(), newHeight);
    QCOMPARE(button->SpeedButtonHeight(), speedButtonHeight);
    QCOMPARE(button->PaintBoxHeight(), newHeight - speedButtonHeight);
    QCOMPARE(button->PaintBoxRoom(), room);
    QCOMPARE(speedButton(*button)->geometry(), QRect(0, 0, 120, speedButtonHeight));
    QCOMPARE(strip(*button)->height(), newHeight - speedButtonHeight);
}

void TestLButton::stripClicks_data()
{
    QTest::addColumn<bool>("showColorBox");
    QTest::addColumn<bool>("showTextBox");
    QTest::addColumn<int>("x");
    QTest::addColumn<int>("colorClicks");
    QTest::addColumn<int>("textClicks");

    QTest::newRow("both, colour side") << true << true << 5 << 1 << 0;
    QTest::newRow("both, on the division") << true << true << 30 << 0 << 1;
    QTest::newRow("both, text side") << true << true << 80 << 0 << 1;
    QTest::newRow("text only, left end") << false << true << 2 << 0 << 1;
    QTest::newRow("text only, right end") << false << true << 95 << 0 << 1;
    QTest::newRow("colour only, left end") << true << false << 2 << 1 << 0;
    QTest::newRow("colour only, right end") << true << false << 95 << 1 << 0;
}

void TestLButton::stripClicks()
{
    QFETCH(bool, showColorBox);
    QFETCH(bool, showTextBox);
    QFETCH(int, x);
    QFETCH(int, colorClicks);
    QFETCH(int, textClicks);

    TLButton button;
    button.SetWidth(100);
    button.SetColorBoxWidth(30);
    button.SetShowColorBox(showColorBox);
    button.SetShowTextBox(showTextBox);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));

    QSignalSpy any(&button, &TLButton::OnClick);
    QSignalSpy onButton(&button, &TLButton::OnButtonClick);
    QSignalSpy onColor(&button, &TLButton::OnColorBoxClick);
    QSignalSpy onText(&button, &TLButton::OnTextBoxClick);
    clickStrip(button, x);
    QCOMPARE(button.MouseX(), x);
    QCOMPARE(any.count(), 1);
    QCOMPARE(any.at(0).at(0).value<TLButton *>(), &button);
    QCOMPARE(onButton.count(), 0);
    QCOMPARE(onColor.count(), colorClicks);
    QCOMPARE(onText.count(), textClicks);
}

void TestLButton::doubleClicks()
{
    TLButton button;
    button.SetWidth(100);
    button.SetColorBoxWidth(30);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));

    QSignalSpy any(&button, &TLButton::OnClick);
    QSignalSpy colorDouble(&button, &TLButton::OnColorBoxDblClick);
    QSignalSpy textDouble(&button, &TLButton::OnTextBoxDblClick);
    // Through the window, so that the platform sequence (press, release,
    // press, double click, release) reaches the strip.
    QWindow *window = button.windowHandle();
    const auto doubleClick = [&](int x) {
        const QPoint pos = strip(button)->mapTo(&button, QPoint(x, 5));
        QTest::mouseMove(window, pos);
        QTest::mouseDClick(window, Qt::LeftButton, {}, pos);
    };
    doubleClick(60);
    QCOMPARE(textDouble.count(), 1);
    QCOMPARE(textDouble.at(0).at(0).value<TLButton *>(), &button);
    QCOMPARE(colorDouble.count(), 0);
    // The first press and release make the one click; the second press is
    // the double click.
    QCOMPARE(any.count(), 1);

    doubleClick(3);
    QCOMPARE(colorDouble.count(), 1);
    QCOMPARE(any.count(), 2);

    // A double click on the speed button is two clicks and nothing else.
    QSignalSpy onButton(&button, &TLButton::OnButtonClick);
    QTest::mouseDClick(window, Qt::LeftButton, {}, QPoint(10, 10));
    QCOMPARE(onButton.count(), 2);
    QCOMPARE(colorDouble.count() + textDouble.count(), 2);
}

void TestLButton::speedButtonClick()
{
    TLButton button;
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QSignalSpy any(&button, &TLButton::OnClick);
    QSignalSpy onButton(&button, &TLButton::OnButtonClick);
    QSignalSpy onColor(&button, &TLButton::OnColorBoxClick);
    QSignalSpy onText(&button, &TLButton::OnTextBoxClick);
    QTest::mouseClick(speedButton(button), Qt::LeftButton);
    QCOMPARE(any.count(), 1);
    QCOMPARE(onButton.count(), 1);
    QCOMPARE(onButton.at(0).at(0).value<TLButton *>(), &button);
    QCOMPARE(onColor.count() + onText.count(), 0);
}

void TestLButton::textTallerThanStrip()
{
    TLButton button;
    button.SetHeight(45);
    QFont big;
    big.setPixelSize(40);
    button.SetTextFont(big);
    button.SetText(QStringLiteral("Xg"));
    const int textHeight = QFontMetrics(big).height();
    QVERIFY(textHeight > button.PaintBoxHeight());
    const int y = button.textOrigin().y();
    QVERIFY(y < 0);
    // Toward zero, not down.
    QCOMPARE(y, static_cast<int>(std::trunc((button.PaintBoxHeight() - textHeight) / 2.0)));
    QVERIFY(!button.grab().isNull());
}

void TestLButton::stripPixels()
{
    TLButton button;
    button.SetHeight(45);
    button.SetWidth(100);
    button.SetColorBoxWidth(30);
    button.SetColorBoxBk(QColor(Qt::red));
    button.SetTextBoxBk(QColor(Qt::green));
    const QImage image = button.grab().toImage();
    const int top = 26;
    const int mid = top + 9;
    const auto pixel = [&](int x, int y) { return QColor(image.pixel(x, y)); };

    QCOMPARE(pixel(0, mid), QColor(Qt::black));   // left frame
    QCOMPARE(pixel(15, mid), QColor(Qt::red));
    QCOMPARE(pixel(28, mid), QColor(Qt::red));
    QCOMPARE(pixel(29, mid), QColor(Qt::black));  // the shared line
    QCOMPARE(pixel(30, mid), QColor(Qt::green));
    QCOMPARE(pixel(98, mid), QColor(Qt::green));
    QCOMPARE(pixel(99, mid), QColor(Qt::black));  // right frame
    QCOMPARE(pixel(15, 44), QColor(Qt::black));   // bottom edge
    QCOMPARE(pixel(60, 44), QColor(Qt::black));
    QCOMPARE(pixel(15, top), QColor(Qt::red));    // open top
    QCOMPARE(pixel(60, top), QColor(Qt::green));
}

void TestLButton::stripPixelsTextBoxOnly()
{
    TLButton button;
    button.SetHeight(45);
    button.SetWidth(100);
    button.SetColorBoxWidth(30);
    button.SetTextBoxBk(QColor(Qt::green));
    button.SetTextColor(QColor(Qt::blue));
    button.SetText(QStringLiteral("\u2588\u2588"));
    button.SetShowColorBox(false);
    const QImage image = button.grab().toImage();
    const int mid = 26 + 9;
    QCOMPARE(QColor(image.pixel(0, mid)), QColor(Qt::black));
    QCOMPARE(QColor(image.pixel(3, mid)), QColor(Qt::green));
    QCOMPARE(QColor(image.pixel(99, mid)), QColor(Qt::black));
    // The text sits in the middle of the whole width.
    const QPoint origin = button.textOrigin();
    const int textWidth = QFontMetrics(button.TextFont()).horizontalAdvance(button.Text());
    QCOMPARE(origin.x(), (100 - textWidth) / 2);
    bool blueFound = false;
    for (int x = 40; x < 60 && !blueFound; ++x)
        blueFound = QColor(image.pixel(x, mid)) == QColor(Qt::blue);
    QVERIFY(blueFound);
}

// A form with a font of its own: the text is drawn in the font it inherits,
// so it must be measured in that font too to sit in the middle.
void TestLButton::textCentredInFormFont()
{
    QWidget form;
    QFont formFont;
    formFont.setPixelSize(30);
    form.setFont(formFont);
    auto *button = new TLButton(&form);
    button->SetWidth(200);
    button->SetHeight(70);
    button->SetTextBoxBk(QColor(Qt::white));
    button->SetText(QStringLiteral("\u2588\u2588\u2588"));
    button->SetShowColorBox(false);
    const QImage image = button->grab().toImage();
    const int y = 26 + 22;
    int first = -1;
    int last = -1;
    for (int x = 1; x < 199; ++x) {
        if (QColor(image.pixel(x, y)) == QColor(Qt::black)) {
            if (first < 0)
                first = x;
            last = x;
        }
    }
    QVERIFY(first > 0);
    QCOMPARE(button->textOrigin().x(), first);
    QVERIFY2(qAbs(first + last - 199) <= 2, qPrintable(QStringLiteral("%1..%2").arg(first).arg(last)));
}

void TestLButton::groupIsExclusive()
{
    QWidget form;
    auto *a = new TLButton(&form);
    auto *b = new TLButton(&form);
    auto *other = new TLButton(&form);
    b->move(80, 0);
    other->move(160, 0);
    a->SetGroupIndex(1);
    b->SetGroupIndex(1);
    other->SetGroupIndex(2);
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QTest::mouseClick(speedButton(*other), Qt::LeftButton);
    QTest::mouseClick(speedButton(*a), Qt::LeftButton);
    QVERIFY(a->GetButtonDown());
    QTest::mouseClick(speedButton(*b), Qt::LeftButton);
    QVERIFY(b->GetButtonDown());
    QVERIFY(!a->GetButtonDown());
    QVERIFY(other->GetButtonDown());

    // Without AllowAllUp a second click leaves it down.
    QTest::mouseClick(speedButton(*b), Qt::LeftButton);
    QVERIFY(b->GetButtonDown());

    a->SetButtonDown(true);
    QVERIFY(a->GetButtonDown());
    QVERIFY(!b->GetButtonDown());

    // Joining a group while down pushes the member that is down up.
    other->SetGroupIndex(1);
    QVERIFY(other->GetButtonDown());
    QVERIFY(!a->GetButtonDown());
}

void TestLButton::allowAllUpReleasesDownButton()
{
    TLButton button;
    button.SetGroupIndex(3);
    button.SetAllowAllUp(true);
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    QSignalSpy onButton(&button, &TLButton::OnButtonClick);
    QTest::mouseClick(speedButton(button), Qt::LeftButton);
    QVERIFY(button.GetButtonDown());
    QTest::mouseClick(speedButton(button), Qt::LeftButton);
    QVERIFY(!button.GetButtonDown());
    QCOMPARE(onButton.count(), 2);
}

void TestLButton::buttonOutsideGroupDoesNotStayDown()
{
    TLButton button;
    button.show();
    QVERIFY(QTest::qWaitForWindowExposed(&button));
    button.SetButtonDown(true);
    QVERIFY(!button.GetButtonDown());
    QTest::mouseClick(speedButton(button), Qt::LeftButton);
    QVERIFY(!button.GetButtonDown());

    // Leaving a group releases it.
    button.SetGroupIndex(1);
    button.SetButtonDown(true);
    QVERIFY(button.GetButtonDown());
    button.SetGroupIndex(0);
    QVERIFY(!button.GetButtonDown());
}

void TestLButton::labelReachesSpeedButton()
{
    TLButton button;
    QFont font;
    font.setPixelSize(17);
    font.setBold(true);
    button.SetLabel(QStringLiteral("Пуск"));
    button.SetLabelFont(font);
    button.SetLabelColor(QColor(Qt::darkRed));
    QToolButton *speed = speedButton(button);
    QCOMPARE(speed->text(), QStringLiteral("Пуск"));
    QCOMPARE(speed->font().pixelSize(), 17);
    QVERIFY(speed->font().bold());
    QCOMPARE(speed->palette().color(QPalette::ButtonText), QColor(Qt::darkRed));
}

QTEST_MAIN(TestLButton)
#include "tst_lbutton.moc"
