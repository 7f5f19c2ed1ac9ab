#include "components/lbutton/LButton.h"

#include <QApplication>
#include <QFontMetrics>
#include <QMouseEvent>
#include <QPainter>
#include <QPolygon>
#include <QToolButton>

#include <algorithm>

namespace {

constexpr int InitialSpeedButtonHeight = 26;
constexpr int InitialPaintBoxHeight = 19;
constexpr int InitialColorBoxWidth = 10;
constexpr int InitialTextBoxWidth = 35;
constexpr QSize InitialSize(75, InitialSpeedButtonHeight + InitialPaintBoxHeight);

// Left edge, bottom edge, right edge; the top stays open so that the box
// hangs below the speed button.
void drawOpenTopFrame(QPainter &painter, const QRect &r)
{
    const QPolygon frame{r.topLeft(), r.bottomLeft(), r.bottomRight(), r.topRight()};
    painter.drawPolyline(frame);
}

} // namespace

// The speed button: inside a group it stays down when clicked again unless
// AllowAllUp lets it go.
class LButtonSpeedButton : public QToolButton
{
public:
    explicit LButtonSpeedButton(TLButton *owner) : QToolButton(owner), m_owner(owner) {}

protected:
    void nextCheckState() override
    {
        if (isChecked() && !m_owner->AllowAllUp())
            return;
        QToolButton::nextCheckState();
    }

private:
    TLButton *m_owner;
};

// The strip below the speed button. It paints what the owner laid out and
// hands its mouse input to the owner's routing.
class LButtonPaintBox : public QWidget
{
public:
    explicit LButtonPaintBox(TLButton *owner) : QWidget(owner), m_owner(owner)
    {
        // The boxes are told apart by the last movement over the strip, so
        // movements are needed without a pressed button too.
        setMouseTracking(true);
    }

protected:
    void paintEvent(QPaintEvent *) override
    {
        QPainter painter(this);
        m_owner->paintStrip(painter);
    }

    void mousePressEvent(QMouseEvent *event) override
    {
        if (event->button() == Qt::LeftButton)
            m_pressed = true;
    }

    void mouseReleaseEvent(QMouseEvent *event) override
    {
        if (event->button() != Qt::LeftButton || !m_pressed)
            return;
        m_pressed = false;
        if (rect().contains(event->position().toPoint()))
            m_owner->OnComponentClick(this);
    }

    // The second press of a double click is not a click of its own: its
    // release raises nothing.
    void mouseDoubleClickEvent(QMouseEvent *event) override
    {
        if (event->button() != Qt::LeftButton)
            return;
        m_pressed = false;
        m_owner->OnComponentDblClick(this);
    }

    void mouseMoveEvent(QMouseEvent *event) override
    {
        const QPoint pos = event->position().toPoint();
        m_owner->OnComponentMouseMove(this, event->modifiers(), pos.x(), pos.y());
    }

private:
    TLButton *m_owner;
    bool m_pressed = false;
};

TLButton::TLButton(QWidget *parent) : QFrame(parent)
{
    Initialize();
    SetProperties();
}

TLButton::~TLButton() = default;

QSize TLButton::sizeHint() const
{
    return InitialSize;
}

void TLButton::Initialize()
{
    m_PaintBoxRoom = true;

    m_speedButton = new LButtonSpeedButton(this);
    m_speedButton->setObjectName(QStringLiteral("SpeedButton"));
    m_speedButton->setFocusPolicy(Qt::NoFocus);
    m_speedButton->setToolButtonStyle(Qt::ToolButtonTextOnly);
    connect(m_speedButton, &QToolButton::clicked, this, [this] { OnComponentClick(m_speedButton); });
    connect(m_speedButton, &QToolButton::toggled, this, [this](bool down) {
        if (down)
            releaseGroupSiblings();
    });

    m_paintBox = new LButtonPaintBox(this);
    m_paintBox->setObjectName(QStringLiteral("PaintBox"));

    setFrameStyle(QFrame::NoFrame);
    setLineWidth(0);
    setContentsMargins(0, 0, 0, 0);

    resize(InitialSize);
    placeSpeedButton(InitialSpeedButtonHeight);
}

void TLButton::SetProperties()
{
    m_SpeedButtonHeight = m_RequestedSpeedButtonHeight = InitialSpeedButtonHeight;
    m_PaintBoxHeight = m_RequestedPaintBoxHeight = InitialPaintBoxHeight;
    m_ColorBoxWidth = m_RequestedColorBoxWidth = InitialColorBoxWidth;
    m_TextBoxWidth = m_RequestedTextBoxWidth = InitialTextBoxWidth;
    m_ShowColorBox = true;
    m_ShowTextBox = true;
    m_ColorBoxBk = QApplication::palette().color(QPalette::Button);
    m_TextBoxBk = m_ColorBoxBk;
    m_TextColor = QColor(Qt::black);
    m_LabelColor = QColor(Qt::black);
    m_LabelFont = QFont();
    m_TextFont = QFont();
    m_Text.clear();
    m_Label.clear();
    m_AllowAllUp = false;
    m_ButtonDown = false;
    m_GroupIndex = 0;
    m_LastHeight = 0;
    m_MouseX = 0;
}

void TLButton::placeSpeedButton(int height)
{
    m_speedButton->setGeometry(0, 0, width(), std::clamp(height, 0, this->height()));
    placePaintBox();
}

// The strip fills whatever the speed button leaves.
void TLButton::placePaintBox()
{
    const int top = m_speedButton->height();
    m_paintBox->setGeometry(0, top, width(), height() - top);
}

void TLButton::SetHeight(int value)
{
    // LastHeight first: the resize below may deliver a resize event, which
    // must see a height that SetHeight asked for.
    m_LastHeight = value;
    resize(width(), value);
    const int clientHeight = height();
    if (clientHeight > m_RequestedSpeedButtonHeight) {
        m_PaintBoxRoom = true;
        m_SpeedButtonHeight = m_RequestedSpeedButtonHeight;
        m_PaintBoxHeight = m_RequestedPaintBoxHeight = clientHeight - m_SpeedButtonHeight;
    } else {
        m_PaintBoxRoom = false;
        m_SpeedButtonHeight = clientHeight;
        m_PaintBoxHeight = 0;
    }
    placeSpeedButton(m_SpeedButtonHeight);
    ResizePaintBox();
}

void TLButton::SetWidth(int value)
{
    resize(value, height());
    placeSpeedButton(m_speedButton->height());
    ResizePaintBox();
}

void TLButton::SetSpeedButtonHeight(int value)
{
    const int clientHeight = height();
    if (value > clientHeight) {
        value = clientHeight;
        m_PaintBoxRoom = false;
    } else {
        m_PaintBoxRoom = true;
    }
    m_SpeedButtonHeight = m_RequestedSpeedButtonHeight = value;
    placeSpeedButton(value);
    m_PaintBoxHeight = clientHeight - value;
}

void TLButton::SetPaintBoxHeight(int value)
{
    const int clientHeight = height();
    if (value > clientHeight) {
        value = clientHeight;
        m_SpeedButtonHeight = 0;
    } else {
        m_SpeedButtonHeight = clientHeight - value;
    }
    placeSpeedButton(m_SpeedButtonHeight);
    m_PaintBoxHeight = m_RequestedPaintBoxHeight = value;
    ResizeAll();
}

void TLButton::SetColorBoxWidth(int value)
{
    const int clientWidth = width();
    value = std::min(std::max(value, 1), clientWidth);
    m_ColorBoxWidth = m_RequestedColorBoxWidth = value;
    m_TextBoxWidth = m_RequestedTextBoxWidth = clientWidth - value;
    ResizeAll();
}

// No lower limit: a negative text box width pushes the division beyond the
// right edge, which the colour box then fills.
void TLButton::SetTextBoxWidth(int value)
{
    const int clientWidth = width();
    value = std::min(value, clientWidth);
    m_TextBoxWidth = m_RequestedTextBoxWidth = value;
    m_ColorBoxWidth = m_RequestedColorBoxWidth = clientWidth - value;
    ResizeAll();
}

void TLButton::SetShowColorBox(bool value)
{
    m_ShowColorBox = value;
    ShowBoxesChanged();
}

void TLButton::SetShowTextBox(bool value)
{
    m_ShowTextBox = value;
    ShowBoxesChanged();
}

// The box shown alone takes the whole width; with both shown the widths last
// asked for come back.
void TLButton::ShowBoxesChanged()
{
    m_SpeedButtonHeight = height() - m_PaintBoxHeight;
    if ((!m_ShowColorBox && !m_ShowTextBox) || !m_PaintBoxRoom) {
        m_SpeedButtonHeight = height();
    } else if (m_ShowColorBox && !m_ShowTextBox) {
        m_ColorBoxWidth = width();
        m_TextBoxWidth = 0;
    } else if (!m_ShowColorBox && m_ShowTextBox) {
        m_ColorBoxWidth = 0;
        m_TextBoxWidth = width();
    } else {
        m_ColorBoxWidth = m_RequestedColorBoxWidth;
        m_TextBoxWidth = m_RequestedTextBoxWidth;
    }
    placeSpeedButton(m_SpeedButtonHeight);
    ResizeAll();
}

void TLButton::SetColorBoxBk(const QColor &value)
{
    m_ColorBoxBk = value;
    ResizeAll();
}

void TLButton::SetTextBoxBk(const QColor &value)
{
    m_TextBoxBk = value;
    ResizeAll();
}

void TLButton::SetTextColor(const QColor &value)
{
    m_TextColor = value;
    ResizeAll();
}

void TLButton::SetLabelColor(const QColor &value)
{
    m_LabelColor = value;
    ResizeAll();
}

void TLButton::SetText(const QString &value)
{
    m_Text = value;
    ResizeAll();
}

void TLButton::SetLabel(const QString &value)
{
    m_Label = value;
    m_speedButton->setText(value);
}

void TLButton::SetTextFont(const QFont &value)
{
    m_TextFont = value;
    ResizeAll();
}

void TLButton::SetLabelFont(const QFont &value)
{
    m_LabelFont = value;
    applyLabelFont();
}

void TLButton::SetAllowAllUp(bool value)
{
    m_AllowAllUp = value;
}

// Only a button in a group stays down; outside a group it is down only while
// pressed.
void TLButton::SetButtonDown(bool value)
{
    m_ButtonDown = value;
    if (m_GroupIndex != 0)
        m_speedButton->setChecked(value);
}

bool TLButton::GetButtonDown() const
{
    m_ButtonDown = m_GroupIndex != 0 ? m_speedButton->isChecked() : m_speedButton->isDown();
    return m_ButtonDown;
}

void TLButton::SetGroupIndex(int value)
{
    m_GroupIndex = value;
    if (value == 0) {
        m_speedButton->setChecked(false);
        m_speedButton->setCheckable(false);
        return;
    }
    m_speedButton->setCheckable(true);
    // A button that is down when it joins a group pushes the others up.
    if (m_speedButton->isChecked())
        releaseGroupSiblings();
}

// The group is made of the TLButtons with the same parent and the same
// non-zero GroupIndex: one of them down at a time.
void TLButton::releaseGroupSiblings()
{
    if (m_GroupIndex == 0 || !parentWidget())
        return;
    const auto siblings = parentWidget()->findChildren<TLButton *>(Qt::FindDirectChildrenOnly);
    for (TLButton *sibling : siblings) {
        if (sibling != this && sibling->m_GroupIndex == m_GroupIndex)
            sibling->m_speedButton->setChecked(false);
    }
}

void TLButton::applyLabelFont()
{
    if (m_speedButton->font() != m_LabelFont)
        m_speedButton->setFont(m_LabelFont);
    if (m_speedButton->palette().color(QPalette::ButtonText) != m_LabelColor) {
        QPalette palette = m_speedButton->palette();
        palette.setColor(QPalette::ButtonText, m_LabelColor);
        m_speedButton->setPalette(palette);
    }
}

void TLButton::ResizeAll()
{
    applyLabelFont();
    if (m_LastHeight != height()) {
        SetSpeedButtonHeight(m_RequestedSpeedButtonHeight);
        SetHeight(height());
        return;
    }
    if ((m_ShowColorBox || m_ShowTextBox) && m_PaintBoxRoom)
        ResizePaintBox();
}

void TLButton::ResizePaintBox()
{
    layoutStrip();
    if (!m_inPaint)
        m_paintBox->update();
}

void TLButton::layoutStrip()
{
    const int clientWidth = width();
    const int bottom = m_paintBox->height() - 1;
    const int colorRight = m_ShowTextBox ? m_ColorBoxWidth : clientWidth;
    const int textLeft = m_ShowColorBox ? m_ColorBoxWidth : 0;

    if (m_ShowColorBox)
        m_colorBoxRect = QRect(QPoint(0, 0), QPoint(colorRight - 1, bottom));
    if (m_ShowTextBox) {
        // One pixel to the left when both are shown: the boxes share the
        // frame line between them.
        const int left = m_ShowColorBox ? textLeft - 1 : textLeft;
        m_textBoxRect = QRect(QPoint(left, 0), QPoint(clientWidth - 1, bottom));
        const QFontMetrics metrics(effectiveTextFont());
        // Truncated toward zero, also when the text is wider or taller than
        // its box.
        const int x = static_cast<int>((m_TextBoxWidth - metrics.horizontalAdvance(m_Text)) * 0.5 + m_ColorBoxWidth);
        const int y = static_cast<int>((m_PaintBoxHeight - metrics.height()) * 0.5);
        m_textOrigin = QPoint(x, y);
    }
}

// What TextFont leaves unset comes from the control's own font, as it does
// for the label on the speed button. The text is measured and drawn in this
// one font, so that it stays centred inside a form with a font of its own.
QFont TLButton::effectiveTextFont() const
{
    return m_TextFont.resolve(font());
}

void TLButton::paintStrip(QPainter &painter)
{
    if ((!m_ShowColorBox && !m_ShowTextBox) || !m_PaintBoxRoom)
        return;
    // Laid out afresh: the strip may be exposed after a change that did not
    // redraw it (SetSpeedButtonHeight does not).
    layoutStrip();
    const QPen framePen(Qt::black, 0);
    if (m_ShowColorBox) {
        if (m_colorBoxRect.isValid())
            painter.fillRect(m_colorBoxRect, m_ColorBoxBk);
        painter.setPen(framePen);
        drawOpenTopFrame(painter, m_colorBoxRect);
    }
    if (m_ShowTextBox) {
        // A box of no or negative width gets its frame lines but no fill.
        if (m_textBoxRect.isValid())
            painter.fillRect(m_textBoxRect, m_TextBoxBk);
        const QFont textFont = effectiveTextFont();
        painter.setFont(textFont);
        painter.setPen(m_TextColor);
        painter.setBackgroundMode(Qt::OpaqueMode);
        painter.setBackground(m_TextBoxBk);
        painter.drawText(m_textOrigin + QPoint(0, QFontMetrics(textFont).ascent()), m_Text);
        painter.setBackgroundMode(Qt::TransparentMode);
        painter.setPen(framePen);
        drawOpenTopFrame(painter, m_textBoxRect);
    }
}

void TLButton::OnComponentClick(QObject *sender)
{
    emit OnClick(this);
    if (sender == m_speedButton) {
        emit OnButtonClick(this);
    } else if (sender == m_paintBox) {
        if (m_MouseX < m_ColorBoxWidth)
            emit OnColorBoxClick(this);
        else
            emit OnTextBoxClick(this);
    }
}

void TLButton::OnComponentDblClick(QObject *sender)
{
    if (sender != m_paintBox)
        return;
    if (m_MouseX < m_ColorBoxWidth)
        emit OnColorBoxDblClick(this);
    else
        emit OnTextBoxDblClick(this);
}

void TLButton::OnComponentMouseMove(QObject *, Qt::KeyboardModifiers, int x, int)
{
    m_MouseX = x;
}

void TLButton::paintEvent(QPaintEvent *)
{
    m_inPaint = true;
    ResizeAll();
    m_inPaint = false;
}

void TLButton::resizeEvent(QResizeEvent *event)
{
    QFrame::resizeEvent(event);
    placeSpeedButton(m_speedButton->height());
    ResizeAll();
}
