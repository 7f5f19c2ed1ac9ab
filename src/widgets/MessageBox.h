#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// The program's modal message box: a real QMessageBox (so tests find it as the
// active modal widget), information icon and one OK button unless told
// otherwise. Returns the button pressed. While boxes are unattended (below)
// no box opens: the message goes to standard error and the box's safe answer
// comes back at once.
QMessageBox::StandardButton showMessageBox(QWidget *parent, const QString &text, const QString &caption,
                                           QMessageBox::Icon icon = QMessageBox::Information,
                                           QMessageBox::StandardButtons buttons = QMessageBox::Ok,
                                           QMessageBox::StandardButton defaultButton = QMessageBox::NoButton);

// The answer that commits the operator to nothing: No or Cancel where a box
// offers one, otherwise OK or the box's first button.
QMessageBox::StandardButton safeAnswer(QMessageBox::StandardButtons buttons);

// When the program is ended from outside (a signal, the end of the session)
// nobody may be there to answer a box. Switching this on answers every box
// and dialog open now (message boxes with their safe answer, other dialogs
// as by Escape), and turns every later message into a line on standard error.
void setMessageBoxesUnattended(bool unattended);
