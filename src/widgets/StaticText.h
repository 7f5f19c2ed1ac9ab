#pragma once

#include <QLabel>

// A read-only text: a caption, a unit or a value display. A display has a
// sunken frame; its text colour holds while enabled and greys out when
// disabled.
class StaticText : public QLabel
{
    Q_OBJECT

public:
    enum class Kind { Caption, Display };

    explicit StaticText(const QString &text = QString(), QWidget *parent = nullptr, Kind kind = Kind::Caption);

    void setTextColor(const QColor &color);
};
