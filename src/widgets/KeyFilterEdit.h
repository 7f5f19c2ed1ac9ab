#pragma once

#include <QLineEdit>

#include <functional>

// A single-line edit whose typed characters pass a filter first. Only
// printable characters are filtered: navigation, deletion, selection and the
// clipboard shortcuts keep working, so a text can still arrive by pasting.
class KeyFilterEdit : public QLineEdit
{
    Q_OBJECT

public:
    // Returns true when the typed character may reach the edit.
    using KeyFilter = std::function<bool(QChar)>;

    explicit KeyFilterEdit(QWidget *parent = nullptr);

    void setKeyFilter(KeyFilter filter) { m_filter = std::move(filter); }
    // Admits exactly the given characters.
    void setAdmittedCharacters(const QString &characters);

protected:
    void keyPressEvent(QKeyEvent *event) override;
    void inputMethodEvent(QInputMethodEvent *event) override;

private:
    bool admits(const QString &typed) const;

    KeyFilter m_filter;
};
