#pragma once

#include "instrument/RecordRules.h"

#include <QJsonObject>
#include <QString>
#include <QStringList>

// Every text the web page shows, in the program's language: the page is
// plain HTML that gets its words from here, so it speaks whatever the
// translation machinery installed (Russian unless --lang en).
namespace WebTexts {

// The page's language code for <html lang>: "ru", or the translation's.
QString languageCode();
// The field's caption and unit (empty: none) as the page labels it.
QString fieldLabel(RecordRules::Field field);
QString fieldUnit(RecordRules::Field field);
// The captions of an enumerated field's values, index = value; empty for a
// number field; two entries for an on/off switch.
QStringList fieldChoices(RecordRules::Field field);
// The words of the page itself, by key.
QJsonObject pageTexts();

// The answers of the API.
QString readOnlyBeyondLoopback(); // no password set
QString loginNeeded();
QString wrongPassword();
QString tooManyLogins();
QString crossSiteRefused();
QString badRequest();
QString unknownField(const QString &name);
QString listeningText(quint16 port);
QString failureText(quint16 port, const QString &reason);

} // namespace WebTexts
