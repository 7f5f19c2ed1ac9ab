#pragma once

#include <QString>

// The widget box group that holds the component set.
inline QString vektraGroup()
{
    return QStringLiteral("Vektra");
}
