#include "runtime/KeyFilterEdit.h"

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
    // Shortcuts (Ctrl+V, Ctrl+A, ...) are not typing, whatever text they carry.
    const bool shortcut = event->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier);
    if (!shortcut && !admits(event->text())) {
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
