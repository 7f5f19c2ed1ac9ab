#include "runtime/MessageBox.h"

QMessageBox::StandardButton showMessageBox(QWidget *parent, const QString &text, const QString &caption,
                                           QMessageBox::Icon icon, QMessageBox::StandardButtons buttons)
{
    QMessageBox box(icon, caption, text, buttons, parent);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}
