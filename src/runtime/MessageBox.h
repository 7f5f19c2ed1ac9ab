#pragma once

#include <QMessageBox>
#include <QString>

class QWidget;

// The program's modal message box: a real QMessageBox (so tests find it as the
// active modal widget), information icon and one OK button unless told
// otherwise. Returns the button pressed.
QMessageBox::StandardButton showMessageBox(QWidget *parent, const QString &text, const QString &caption,
                                           QMessageBox::Icon icon = QMessageBox::Information,
                                           QMessageBox::StandardButtons buttons = QMessageBox::Ok);
