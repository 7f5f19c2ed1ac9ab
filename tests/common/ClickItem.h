#pragma once

#include "widgets/RadioGroup.h"

#include <QRadioButton>
#include <QTest>

// As the operator chooses: a click on the item of a radio group.
inline void clickItem(RadioGroup *group, int index)
{
    for (QRadioButton *button : group->findChildren<QRadioButton *>()) {
        if (button->text() == group->items().value(index)) {
            QTest::mouseClick(button, Qt::LeftButton, {}, QPoint(8, button->height() / 2));
            return;
        }
    }
    qFatal("no item %d in %s", index, qPrintable(group->objectName()));
}
