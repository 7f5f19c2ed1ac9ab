#include "runtime/ProgramIdentity.h"

// The build states each of these once (the top CMakeLists.txt), for the
// program and its package alike.
namespace ProgramIdentity {

QString maker()
{
    return QStringLiteral(G740_MAKER);
}

QString model()
{
    return QStringLiteral(G740_MODEL);
}

QString programName()
{
    return QStringLiteral(G740_PROGRAM);
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
    return QStringLiteral(G740_HOMEPAGE);
}

} // namespace ProgramIdentity
