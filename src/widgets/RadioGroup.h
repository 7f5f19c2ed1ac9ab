#pragma once

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QGridLayout;

// A captioned group of radio buttons that acts as one control with an item
// index. Items are laid out top to bottom, filling the columns in turn.
// Only a user's click that changes the selection emits itemIndexChanged;
// setItemIndex() from the program is silent.
class RadioGroup : public QGroupBox
{
    Q_OBJECT
    Q_PROPERTY(int itemIndex READ itemIndex WRITE setItemIndex NOTIFY itemIndexChanged)
    Q_PROPERTY(QStringList items READ items WRITE setItems)
    Q_PROPERTY(int columns READ columns WRITE setColumns)

public:
    explicit RadioGroup(QWidget *parent = nullptr);
    RadioGroup(const QString &title, const QStringList &items, QWidget *parent = nullptr);

    // -1 when no item is selected.
    int itemIndex() const;
    // Any index outside the items clears the selection.
    void setItemIndex(int index);

    QStringList items() const { return m_items; }
    void setItems(const QStringList &items);

    int columns() const { return m_columns; }
    void setColumns(int columns);

signals:
    void itemIndexChanged(int index);

private:
    void rebuild();
    void buttonClicked(int id);

    QStringList m_items;
    int m_columns = 1;
    int m_index = -1;
    QButtonGroup *m_buttons;
    QGridLayout *m_layout;
};
