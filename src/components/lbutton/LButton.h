#pragma once

#include <QColor>
#include <QFont>
#include <QFrame>
#include <QRect>
#include <QString>

class LButtonPaintBox;
class LButtonSpeedButton;

// A labelled button: a speed button on top and, below it, a strip that the
// control draws itself, holding a colour box at the left and a text box at the
// right with centred text. Clicks on the button and on either box raise their
// own signals; every signal carries the control itself, so one slot can serve
// many buttons without QObject::sender().
//
// Sizes follow two rules: the height setters keep SpeedButtonHeight +
// PaintBoxHeight equal to the height, and the box-width setters keep
// ColorBoxWidth + TextBoxWidth equal to the width at the moment they run.
// The values last asked for are remembered and restored when a box is shown
// again or the height changes. A height changed from outside SetHeight (a
// layout, a plain resize(), a form designer) is noticed through LastHeight at
// the next resize or paint, and the control is laid out again.
class TLButton : public QFrame
{
    Q_OBJECT

    // Height and Width are stored beside the geometry and come first: a form
    // loader applies them before the sizes below, so LastHeight is set when
    // those run and the first paint keeps the sizes loaded.
    Q_PROPERTY(int Height READ Height WRITE SetHeight)
    Q_PROPERTY(int Width READ Width WRITE SetWidth)
    Q_PROPERTY(int SpeedButtonHeight READ SpeedButtonHeight WRITE SetSpeedButtonHeight)
    Q_PROPERTY(int PaintBoxHeight READ PaintBoxHeight WRITE SetPaintBoxHeight)
    Q_PROPERTY(int ColorBoxWidth READ ColorBoxWidth WRITE SetColorBoxWidth)
    Q_PROPERTY(int TextBoxWidth READ TextBoxWidth WRITE SetTextBoxWidth)
    Q_PROPERTY(bool ShowColorBox READ ShowColorBox WRITE SetShowColorBox)
    Q_PROPERTY(bool ShowTextBox READ ShowTextBox WRITE SetShowTextBox)
    Q_PROPERTY(QColor ColorBoxBk READ ColorBoxBk WRITE SetColorBoxBk)
    Q_PROPERTY(QColor TextBoxBk READ TextBoxBk WRITE SetTextBoxBk)
    Q_PROPERTY(QString Text READ Text WRITE SetText)
    Q_PROPERTY(QString Label READ Label WRITE SetLabel)
    Q_PROPERTY(QColor TextColor READ TextColor WRITE SetTextColor)
    Q_PROPERTY(QColor LabelColor READ LabelColor WRITE SetLabelColor)
    Q_PROPERTY(QFont LabelFont READ LabelFont WRITE SetLabelFont)
    Q_PROPERTY(QFont TextFont READ TextFont WRITE SetTextFont)
    // GroupIndex precedes ButtonDown so that a form loader, which applies
    // properties in this order, has the group before the pressed state: a
    // button outside a group cannot stay down.
    Q_PROPERTY(int GroupIndex READ GroupIndex WRITE SetGroupIndex)
    Q_PROPERTY(bool AllowAllUp READ AllowAllUp WRITE SetAllowAllUp)
    Q_PROPERTY(bool ButtonDown READ GetButtonDown WRITE SetButtonDown)

public:
    explicit TLButton(QWidget *parent = nullptr);
    ~TLButton() override;

    QSize sizeHint() const override;

    int Height() const { return height(); }
    int Width() const { return width(); }
    int SpeedButtonHeight() const { return m_SpeedButtonHeight; }
    int PaintBoxHeight() const { return m_PaintBoxHeight; }
    int ColorBoxWidth() const { return m_ColorBoxWidth; }
    int TextBoxWidth() const { return m_TextBoxWidth; }
    bool ShowColorBox() const { return m_ShowColorBox; }
    bool ShowTextBox() const { return m_ShowTextBox; }
    QColor ColorBoxBk() const { return m_ColorBoxBk; }
    QColor TextBoxBk() const { return m_TextBoxBk; }
    QString Text() const { return m_Text; }
    QString Label() const { return m_Label; }
    QColor TextColor() const { return m_TextColor; }
    QColor LabelColor() const { return m_LabelColor; }
    QFont LabelFont() const { return m_LabelFont; }
    QFont TextFont() const { return m_TextFont; }
    bool AllowAllUp() const { return m_AllowAllUp; }
    int GroupIndex() const { return m_GroupIndex; }
    // Takes the speed button's current state and remembers it.
    bool GetButtonDown() const;

    int RequestedSpeedButtonHeight() const { return m_RequestedSpeedButtonHeight; }
    int RequestedPaintBoxHeight() const { return m_RequestedPaintBoxHeight; }
    int RequestedColorBoxWidth() const { return m_RequestedColorBoxWidth; }
    int RequestedTextBoxWidth() const { return m_RequestedTextBoxWidth; }
    int LastHeight() const { return m_LastHeight; }
    bool PaintBoxRoom() const { return m_PaintBoxRoom; }
    int MouseX() const { return m_MouseX; }

    // The boxes and the text origin as last laid out for drawing, in the
    // strip's coordinates (inclusive QRect corners).
    QRect colorBoxRect() const { return m_colorBoxRect; }
    QRect textBoxRect() const { return m_textBoxRect; }
    QPoint textOrigin() const { return m_textOrigin; }

    virtual void SetHeight(int value);
    virtual void SetWidth(int value);
    virtual void SetSpeedButtonHeight(int value);
    virtual void SetPaintBoxHeight(int value);
    virtual void SetColorBoxWidth(int value);
    virtual void SetTextBoxWidth(int value);
    virtual void SetShowColorBox(bool value);
    virtual void SetShowTextBox(bool value);
    virtual void SetColorBoxBk(const QColor &value);
    virtual void SetTextBoxBk(const QColor &value);
    virtual void SetTextColor(const QColor &value);
    virtual void SetLabelColor(const QColor &value);
    virtual void SetText(const QString &value);
    virtual void SetLabel(const QString &value);
    virtual void SetTextFont(const QFont &value);
    virtual void SetLabelFont(const QFont &value);
    virtual void SetAllowAllUp(bool value);
    virtual void SetButtonDown(bool value);
    virtual void SetGroupIndex(int value);

    // The setter names that code generated from a form (uic) calls.
    void setHeight(int value) { SetHeight(value); }
    void setWidth(int value) { SetWidth(value); }
    void setSpeedButtonHeight(int value) { SetSpeedButtonHeight(value); }
    void setPaintBoxHeight(int value) { SetPaintBoxHeight(value); }
    void setColorBoxWidth(int value) { SetColorBoxWidth(value); }
    void setTextBoxWidth(int value) { SetTextBoxWidth(value); }
    void setShowColorBox(bool value) { SetShowColorBox(value); }
    void setShowTextBox(bool value) { SetShowTextBox(value); }
    void setColorBoxBk(const QColor &value) { SetColorBoxBk(value); }
    void setTextBoxBk(const QColor &value) { SetTextBoxBk(value); }
    void setTextColor(const QColor &value) { SetTextColor(value); }
    void setLabelColor(const QColor &value) { SetLabelColor(value); }
    void setText(const QString &value) { SetText(value); }
    void setLabel(const QString &value) { SetLabel(value); }
    void setTextFont(const QFont &value) { SetTextFont(value); }
    void setLabelFont(const QFont &value) { SetLabelFont(value); }
    void setAllowAllUp(bool value) { SetAllowAllUp(value); }
    void setButtonDown(bool value) { SetButtonDown(value); }
    void setGroupIndex(int value) { SetGroupIndex(value); }

    // Lays the control out again if its height changed behind SetHeight's
    // back, otherwise redraws the strip when it has something to show.
    void ResizeAll();
    // Computes the boxes and the text origin and has the strip repainted.
    void ResizePaintBox();

signals:
    void OnClick(TLButton *sender);
    void OnButtonClick(TLButton *sender);
    void OnColorBoxClick(TLButton *sender);
    void OnTextBoxClick(TLButton *sender);
    void OnColorBoxDblClick(TLButton *sender);
    void OnTextBoxDblClick(TLButton *sender);

protected:
    // Routing of the children's mouse input; sender is the speed button or
    // the strip.
    virtual void OnComponentClick(QObject *sender);
    virtual void OnComponentDblClick(QObject *sender);
    virtual void OnComponentMouseMove(QObject *sender, Qt::KeyboardModifiers modifiers, int x, int y);

    void paintEvent(QPaintEvent *event) override;
    void resizeEvent(QResizeEvent *event) override;

private:
    friend class LButtonPaintBox;

    void Initialize();
    void SetProperties();
    void ShowBoxesChanged();
    void placeSpeedButton(int height);
    void placePaintBox();
    void applyLabelFont();
    void releaseGroupSiblings();
    void layoutStrip();
    QFont effectiveTextFont() const;
    void paintStrip(QPainter &painter);

    LButtonSpeedButton *m_speedButton = nullptr;
    LButtonPaintBox *m_paintBox = nullptr;

    QFont m_LabelFont;
    QFont m_TextFont;
    QRect m_colorBoxRect;
    QRect m_textBoxRect;
    QPoint m_textOrigin;
    QString m_Text;
    QString m_Label;

    int m_SpeedButtonHeight = 0;
    int m_PaintBoxHeight = 0;
    int m_ColorBoxWidth = 0;
    int m_TextBoxWidth = 0;
    bool m_ShowColorBox = true;
    bool m_ShowTextBox = true;
    QColor m_ColorBoxBk;
    QColor m_TextBoxBk;
    QColor m_TextColor;
    QColor m_LabelColor;
    bool m_AllowAllUp = false;
    mutable bool m_ButtonDown = false;
    int m_GroupIndex = 0;

    int m_RequestedSpeedButtonHeight = 0;
    int m_RequestedPaintBoxHeight = 0;
    int m_RequestedColorBoxWidth = 0;
    int m_RequestedTextBoxWidth = 0;
    int m_LastHeight = 0;
    bool m_PaintBoxRoom = true;
    int m_MouseX = 0;

    // Set while our own paint event runs: the strip is painted in the same
    // pass, so asking for another repaint would only loop.
    bool m_inPaint = false;
};
