#include "widgets/MessageBox.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDialog>
#include <QPointer>

#include <cstdio>

namespace {

bool s_unattended = false;

void writeToStandardError(const QString &caption, const QString &text)
{
    const QByteArray line = (caption + QStringLiteral(": ") + text + QLatin1Char('\n')).toLocal8Bit();
    std::fputs(line.constData(), stderr);
    std::fflush(stderr);
}

// Every dialog open now gets its answer. Answering one may close another, so
// each is looked at again just before its turn.
void answerOpenDialogs()
{
    QList<QPointer<QDialog>> open;
    for (QWidget *window : QApplication::topLevelWidgets()) {
        if (auto *dialog = qobject_cast<QDialog *>(window); dialog && dialog->isVisible())
            open.append(dialog);
    }
    for (const QPointer<QDialog> &dialog : std::as_const(open)) {
        if (!dialog || !dialog->isVisible())
            continue; // closed by the answer to another one
        if (auto *box = qobject_cast<QMessageBox *>(dialog.data())) {
            if (QAbstractButton *button = box->button(safeAnswer(box->standardButtons()))) {
                button->click();
                continue;
            }
        }
        dialog->reject();
    }
}

} // namespace

QMessageBox::StandardButton showMessageBox(QWidget *parent, const QString &text, const QString &caption,
                                           QMessageBox::Icon icon, QMessageBox::StandardButtons buttons,
                                           QMessageBox::StandardButton defaultButton)
{
    if (s_unattended) {
        writeToStandardError(caption, text);
        return safeAnswer(buttons);
    }
    QMessageBox box(icon, caption, text, buttons, parent);
    if (defaultButton != QMessageBox::NoButton)
        box.setDefaultButton(defaultButton);
    return static_cast<QMessageBox::StandardButton>(box.exec());
}

QMessageBox::StandardButton safeAnswer(QMessageBox::StandardButtons buttons)
{
    for (const auto button : {QMessageBox::No, QMessageBox::Cancel, QMessageBox::Ok}) {
        if (buttons.testFlag(button))
            return button;
    }
    // The lowest button the box has; none at all gives NoButton.
    for (unsigned bit = QMessageBox::FirstButton; bit <= QMessageBox::LastButton; bit <<= 1) {
        if (buttons.testFlag(QMessageBox::StandardButton(bit)))
            return QMessageBox::StandardButton(bit);
    }
    return QMessageBox::NoButton;
}

void setMessageBoxesUnattended(bool unattended)
{
    s_unattended = unattended;
    if (unattended && qobject_cast<QApplication *>(QCoreApplication::instance()))
        answerOpenDialogs();
}
