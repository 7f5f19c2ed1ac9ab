#pragma once

#include <QDialog>

class QRadioButton;
class QSpinBox;

// The port of the window's remote control: a number the operator picks, or
// any port that is free when remote control opens (so that a second window
// on the same computer is never refused). Modal.
class RemotePortDialog : public QDialog
{
    Q_OBJECT

public:
    // port 0 stands for any free port.
    explicit RemotePortDialog(quint16 port, QWidget *parent = nullptr);

    // The choice: 0 for any free port.
    quint16 port() const;

private:
    QRadioButton *m_fixed;
    QRadioButton *m_anyFree;
    QSpinBox *m_number;
};
