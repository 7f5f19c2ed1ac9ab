#include "runtime/ProgramIdentity.h"

namespace ProgramIdentity {

QString maker()
{
    return QStringLiteral("Vektra");
}

QString model()
{
    return QStringLiteral("G-740");
}

QString programName()
{
    return QStringLiteral("g740demo");
}

QString version()
{
    return QStringLiteral(G740_VERSION);
}

QString deviceLibraryName()
{
    return QStringLiteral("Modlink");
}

QString homePage()
{
    return QStringLiteral("https://g740demo.example.org/");
}

} // namespace ProgramIdentity
