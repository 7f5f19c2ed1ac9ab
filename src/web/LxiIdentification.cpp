#include "web/LxiIdentification.h"

#include "runtime/ProgramIdentity.h"

#include <QXmlStreamWriter>

namespace LxiIdentification {

QByteArray document(const Facts &facts)
{
    QByteArray out;
    QXmlStreamWriter xml(&out);
    xml.setAutoFormatting(true);
    xml.writeStartDocument();
    xml.writeDefaultNamespace(QString::fromLatin1(Namespace));
    xml.writeNamespace(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"), QStringLiteral("xsi"));
    xml.writeStartElement(QString::fromLatin1(Namespace), QStringLiteral("LXIDevice"));
    xml.writeAttribute(QStringLiteral("http://www.w3.org/2001/XMLSchema-instance"), QStringLiteral("schemaLocation"),
                       QString::fromLatin1(Namespace) + QStringLiteral(" http://www.lxistandard.org/InstrumentIdentification/1.0/LXIIdentification.xsd"));
    // The schema fixes this order.
    xml.writeTextElement(QStringLiteral("Manufacturer"), ProgramIdentity::maker());
    xml.writeTextElement(QStringLiteral("Model"), ProgramIdentity::model());
    xml.writeTextElement(QStringLiteral("SerialNumber"), facts.serialNumber);
    xml.writeTextElement(QStringLiteral("FirmwareRevision"), ProgramIdentity::version());
    xml.writeTextElement(QStringLiteral("ManufacturerDescription"),
                         ProgramIdentity::maker() + QLatin1Char(' ') + ProgramIdentity::model()
                             + QStringLiteral(" USB frequency-sweep signal generator"));
    xml.writeTextElement(QStringLiteral("HomepageURL"), facts.homePageUrl);
    xml.writeTextElement(QStringLiteral("DriverURL"), ProgramIdentity::homePage());
    xml.writeTextElement(QStringLiteral("UserDescription"), facts.description);
    xml.writeTextElement(QStringLiteral("IdentificationURL"), facts.identificationUrl);
    xml.writeStartElement(QStringLiteral("Interface"));
    xml.writeAttribute(QStringLiteral("InterfaceType"), QStringLiteral("LXI"));
    xml.writeAttribute(QStringLiteral("InterfaceName"), QStringLiteral("eth0"));
    for (const QString &address : facts.addressStrings)
        xml.writeTextElement(QStringLiteral("InstrumentAddressString"), address);
    xml.writeEndElement();
    xml.writeTextElement(QStringLiteral("Domain"), QStringLiteral("0"));
    xml.writeTextElement(QStringLiteral("LXIVersion"), QStringLiteral("1.5"));
    xml.writeEndElement();
    xml.writeEndDocument();
    return out;
}

} // namespace LxiIdentification
