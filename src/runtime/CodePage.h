#pragma once

#include <QByteArray>
#include <QByteArrayView>
#include <QString>
#include <QStringView>

// Windows-1251, the code page of the settings file and of every text the
// program shares with its Windows users. Conversions never fail: a byte or a
// character that has no counterpart becomes "?".
QString fromCp1251(QByteArrayView bytes);
QByteArray toCp1251(QStringView text);
