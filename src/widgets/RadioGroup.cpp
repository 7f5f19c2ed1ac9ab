#include "widgets/RadioGroup.h"

#include <QButtonGroup>
#include <QGridLayout>
#include <QRadioButton>

RadioGroup::RadioGroup(QWidget *parent)
    : QGroupBox(parent)
    , m_buttons(new QButtonGroup(this))
    , m_layout(new QGridLayout(this))
{
    m_layout->setContentsMargins(6, 0, 4, 2);
    m_layout->setVerticalSpacing(0);
    m_layout->setHorizontalSpacing(8);
    connect(m_buttons, &QButtonGroup::idClicked, this, &RadioGroup::buttonClicked);
}

RadioGroup::RadioGroup(const QString &title, const QStringList &items, QWidget *parent)
    : RadioGroup(parent)
{
    setTitle(title);
    setItems(items);
}

int RadioGroup::itemIndex() const
{
    return m_index;
}

void RadioGroup::setItemIndex(int index)
{
    if (index < 0 || index >= m_items.size())
        index = -1;
    m_index = index;
    // An exclusive group cannot drop its last checked button.
    m_buttons->setExclusive(false);
    const QList<QAbstractButton *> buttons = m_buttons->buttons();
    for (QAbstractButton *button : buttons)
        button->setChecked(m_buttons->id(button) == index);
    m_buttons->setExclusive(true);
}

void RadioGroup::setItems(const QStringList &items)
{
    m_items = items;
    rebuild();
}

void RadioGroup::setColumns(int columns)
{
    m_columns = qMax(1, columns);
    rebuild();
}

void RadioGroup::rebuild()
{
    const QList<QAbstractButton *> old = m_buttons->buttons();
    for (QAbstractButton *button : old) {
        m_buttons->removeButton(button);
        delete button;
    }
    const int rows = (m_items.size() + m_columns - 1) / m_columns;
    for (int i = 0; i < m_items.size(); ++i) {
        auto *button = new QRadioButton(m_items.at(i), this);
        m_buttons->addButton(button, i);
        m_layout->addWidget(button, rows ? i % rows : 0, rows ? i / rows : 0);
    }
    setItemIndex(m_index);
}

void RadioGroup::buttonClicked(int id)
{
    if (id == m_index)
        return;
    m_index = id;
    emit itemIndexChanged(id);
}
