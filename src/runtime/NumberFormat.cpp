#include "runtime/NumberFormat.h"

ConversionError::ConversionError(const QString &text)
    : std::runtime_error(QStringLiteral("'%1' is not a valid number").arg(text).toStdString())
    , m_text(text)
{
}
