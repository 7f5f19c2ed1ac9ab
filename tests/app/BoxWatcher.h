#pragma once

#include <QAbstractButton>
#include <algorithm>
#include <QApplication>
#include <QList>
#include <QMessageBox>
#include <QTimer>

// Records every modal message box that appears while it exists and answers
// it with the given button.
class BoxWatcher
{
public:
    struct Box
    {
        QString text;
        QString caption;
        QMessageBox::Icon icon;
        QMessageBox::StandardButtons buttons;
    };

    explicit BoxWatcher(QMessageBox::StandardButton answer = QMessageBox::Ok)
        : m_answer(answer)
    {
        QObject::connect(&m_timer, &QTimer::timeout, [this] { poll(); });
        m_timer.start(5);
    }

    void setAnswer(QMessageBox::StandardButton answer) { m_answer = answer; }
    const QList<Box> &boxes() const { return m_boxes; }
    void clear() { m_boxes.clear(); }
    qsizetype count(const QString &caption) const
    {
        return std::count_if(m_boxes.begin(), m_boxes.end(), [&](const Box &box) { return box.caption == caption; });
    }

private:
    void poll()
    {
        auto *box = qobject_cast<QMessageBox *>(QApplication::activeModalWidget());
        if (!box || !box->isVisible())
            return;
        m_boxes.append({box->text(), box->windowTitle(), box->icon(), box->standardButtons()});
        QAbstractButton *button = box->button(m_answer);
        if (!button)
            button = box->buttons().value(0);
        button->click();
    }

    QMessageBox::StandardButton m_answer;
    QTimer m_timer;
    QList<Box> m_boxes;
};
