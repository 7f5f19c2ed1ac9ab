#pragma once

#include <QByteArray>
#include <QString>
#include <QStringList>

// The LXI identification document (/lxi/identification): who the
// instrument is and the address strings it answers on, in the elements and
// order of the identification schema, version 1.0.
namespace LxiIdentification {

inline constexpr const char *Namespace = "http://www.lxistandard.org/InstrumentIdentification/1.0";

struct Facts
{
    QString serialNumber;      // the module's slot, or "NONE"
    QString description;       // the user's description of this instrument
    QString homePageUrl;       // the instrument's own page
    QString identificationUrl; // this document's address
    QStringList addressStrings; // VISA resource strings
};

// Facts beyond the program's identity (maker, model, version) are given.
QByteArray document(const Facts &facts);

} // namespace LxiIdentification
