#include "platform/pathbytes.h"

#include "platform/textcodec.h"

#include <QFile>

#include <algorithm>
#include <dirent.h>
#include <memory>
#include <optional>

namespace PathBytes {

namespace {

const TextCodec &utf8()
{
    static const TextCodec *const codec = TextCodec::forName(QStringLiteral("UTF-8"));
    return *codec;
}

bool holdsEscape(QStringView text)
{
    return std::any_of(text.begin(), text.end(),
                       [](QChar c) { return TextCodec::isEscape(c.unicode()); });
}

// Escapes as "\xNN", everything else as it is.
QString withHexBytes(QStringView text)
{
    QString shown;
    for (const QChar c : text) {
        if (TextCodec::isEscape(c.unicode()))
            shown += QStringLiteral("\\x%1").arg(uchar(TextCodec::byteOf(c.unicode())), 2, 16,
                                                 QLatin1Char('0'));
        else
            shown += c;
    }
    return shown;
}

// The name in GBK's characters when its bytes are GBK through and through.
std::optional<QString> asGbk(QStringView name)
{
    const TextCodec *gbk = TextCodec::forName(QStringLiteral("GBK"));
    if (!gbk)
        return std::nullopt;
    const QByteArray bytes = utf8().encode(name);
    const QString text = gbk->decode(bytes);
    // Private-use characters stand for bytes GBK leaves unassigned.
    const auto unshown = [](QChar c) {
        return c.category() == QChar::Other_Control || c.category() == QChar::Other_PrivateUse;
    };
    if (holdsEscape(text) || gbk->encode(text) != bytes ||
        std::any_of(text.begin(), text.end(), unshown))
        return std::nullopt;
    return text;
}

// The one entry of folder whose name Qt shows as shown.
std::optional<QString> entryShownAs(const QString &folder, const QString &shown)
{
    const std::unique_ptr<DIR, int (*)(DIR *)> listing(::opendir(toBytes(folder).constData()),
                                                       ::closedir);
    if (!listing)
        return std::nullopt;
    QByteArray found;
    int matches = 0;
    while (const dirent *entry = ::readdir(listing.get())) {
        if (QFile::decodeName(entry->d_name) == shown) {
            found = entry->d_name;
            ++matches;
        }
    }
    if (matches != 1)
        return std::nullopt;
    return fromBytes(found);
}

} // namespace

QString fromBytes(QByteArrayView bytes)
{
    return utf8().decode(bytes);
}

QByteArray toBytes(const QString &path)
{
    return utf8().encode(path);
}

QString readable(const QString &path)
{
    if (!holdsEscape(path))
        return path;
    // Each folder's name and the file's name are read on their own.
    QStringList shown;
    for (const QStringView name : QStringView(path).split(u'/')) {
        const std::optional<QString> gbkName = holdsEscape(name) ? asGbk(name) : std::nullopt;
        shown << (gbkName ? *gbkName : withHexBytes(name));
    }
    return shown.join(u'/');
}

QString fromQt(const QString &path)
{
    struct stat info = {};
    if (!path.contains(QChar::ReplacementCharacter) || stat(path, info))
        return path;
    // Each folder's name as well as the file's may have lost its bytes.
    QStringList names = path.split(u'/');
    for (qsizetype i = 0; i < names.size(); ++i) {
        if (!names.at(i).contains(QChar::ReplacementCharacter))
            continue;
        const QString folder = i == 0 ? QStringLiteral(".") : names.first(i).join(u'/');
        const std::optional<QString> name =
            entryShownAs(folder.isEmpty() ? QStringLiteral("/") : folder, names.at(i));
        if (!name)
            return path;
        names[i] = *name;
    }
    return names.join(u'/');
}

bool stat(const QString &path, struct stat &info)
{
    return ::stat(toBytes(path).constData(), &info) == 0;
}

} // namespace PathBytes
