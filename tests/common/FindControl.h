#pragma once

#include <QObject>
#include <QString>
#include <QtGlobal>

// A control of a window by its object name; a missing one ends the test run,
// as every later step would only fail for the same reason.
template <typename T>
T *findControl(const QObject *Window, const char *Name)
{
    T *found = Window->findChild<T *>(QString::fromLatin1(Name));
    if (!found)
        qFatal("no control %s", Name);
    return found;
}
