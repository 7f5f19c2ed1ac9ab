#include "widgets/KeyFilterEdit.h"

#include <QInputMethodEvent>
#include <QKeyEvent>

KeyFilterEdit::KeyFilterEdit(QWidget *parent)
    : QLineEdit(parent)
{
}

void KeyFilterEdit::setAdmittedCharacters(const QString &characters)
{
    m_filter = [characters](QChar c) { return characters.contains(c); };
}

bool KeyFilterEdit::admits(const QString &typed) const
{
    if (!m_filter)
        return true;
    for (QChar c : typed) {
        if (c.isPrint() && !m_filter(c))
            return false;
    }
    return true;
}

void KeyFilterEdit::keyPressEvent(QKeyEvent *event)
{
    // Ctrl and Meta combinations (Ctrl+V, Ctrl+A, ...) are shortcuts, not
    // typing, whatever text they carry. Alt is no such guard: a key press
    // with Alt that reaches the edit carries its letter into the text (menu
    // accelerators and the application's key hook take theirs before the
    // edit sees the key). Ctrl and Alt together are AltGr on some systems:
    // typing again.
    const Qt::KeyboardModifiers modifiers = event->modifiers();
    const bool altGr = (modifiers & Qt::ControlModifier) && (modifiers & Qt::AltModifier);
    const bool shortcut = (modifiers & (Qt::ControlModifier | Qt::MetaModifier)) && !altGr;
    if (!shortcut && !admits(event->text())) {
        // With Alt the key is passed on, so that the window may still treat
        // it as a shortcut of its own.
        if (modifiers & Qt::AltModifier)
            event->ignore();
        else
            event->accept();
        return;
    }
    QLineEdit::keyPressEvent(event);
}

void KeyFilterEdit::inputMethodEvent(QInputMethodEvent *event)
{
    // Text committed by an input method counts as typed.
    if (!admits(event->commitString())) {
        QInputMethodEvent filtered(event->preeditString(), event->attributes());
        filtered.setCommitString(QString(), event->replacementStart(), event->replacementLength());
        QLineEdit::inputMethodEvent(&filtered);
        event->accept();
        return;
    }
    QLineEdit::inputMethodEvent(event);
}
