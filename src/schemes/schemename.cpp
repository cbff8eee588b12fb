#include "schemes/schemename.h"

#include "platform/settingsfile.h"

namespace SchemeName {

QString stored()
{
    return ReadSetting(QStringLiteral("Scheme"), QStringLiteral("name"), QStringLiteral("自定义"));
}

QString cut(const QString &name)
{
    QString cut = name.left(kLength);
    if (!cut.isEmpty() && cut.back().isHighSurrogate() && name.size() > cut.size())
        cut.chop(1);
    return cut;
}

} // namespace SchemeName
