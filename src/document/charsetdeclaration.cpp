#include "document/charsetdeclaration.h"

namespace CharsetDeclaration {

namespace {

bool isChinese(const QString &encoding)
{
    return encoding == QLatin1String("GBK") || encoding == QLatin1String("gb18030");
}

} // namespace

bool disagrees(const QString &declared, const QString &encoding)
{
    if (declared.isEmpty() || encoding.startsWith(QLatin1String("UTF-16")))
        return false;
    if (isChinese(declared) && isChinese(encoding))
        return false;
    return declared != encoding;
}

QString labelFor(const QString &encoding)
{
    return encoding.toLower();
}

} // namespace CharsetDeclaration
