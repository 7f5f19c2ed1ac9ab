#pragma once

#include <QPushButton>

// A push button whose caption wraps onto further lines when it is wider than
// the button, centred both ways. QPushButton itself draws one line only.
class WrapPushButton : public QPushButton
{
    Q_OBJECT

public:
    explicit WrapPushButton(const QString &text, QWidget *parent = nullptr);

protected:
    void paintEvent(QPaintEvent *event) override;
};
