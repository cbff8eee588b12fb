#include "platform/folderlisting.h"

#include "platform/pathbytes.h"
#include "platform/textcodec.h"

#include <QDir>
#include <QRegularExpression>

#include <algorithm>
#include <cerrno>
#include <cstring>
#include <dirent.h>
#include <memory>
#include <sys/stat.h>

namespace FolderListing {

namespace {

bool isUtf8(QStringView name)
{
    return std::none_of(name.begin(), name.end(),
                        [](QChar c) { return TextCodec::isEscape(c.unicode()); });
}

// "*" and "*.*" take every file, as "所有文件(*.*)" promises.
QList<QRegularExpression> matchersOf(const QStringList &patterns)
{
    QList<QRegularExpression> matchers;
    for (const QString &pattern : patterns) {
        if (pattern == u"*" || pattern == u"*.*")
            return {};
        matchers << QRegularExpression(QRegularExpression::wildcardToRegularExpression(pattern),
                                       QRegularExpression::CaseInsensitiveOption);
    }
    return matchers;
}

bool matches(const QList<QRegularExpression> &matchers, const QString &name)
{
    return matchers.isEmpty() ||
           std::any_of(matchers.begin(), matchers.end(),
                       [&name](const QRegularExpression &m) { return m.match(name).hasMatch(); });
}

Entry entryOf(const QString &name, const struct stat &info)
{
    Entry entry;
    entry.name = name;
    entry.shown = PathBytes::readable(name);
    entry.folder = S_ISDIR(info.st_mode);
    entry.utf8 = isUtf8(name);
    entry.size = info.st_size;
    entry.modified = QDateTime::fromSecsSinceEpoch(info.st_mtime);
    return entry;
}

} // namespace

QStringList patternsOf(const QString &nameFilter)
{
    static const QRegularExpression bracketed(QStringLiteral("\\(([^()]*)\\)\\s*$"));
    const QRegularExpressionMatch match = bracketed.match(nameFilter);
    const QString patterns = match.hasMatch() ? match.captured(1) : nameFilter;
    return patterns.split(QRegularExpression(QStringLiteral("[\\s;]+")), Qt::SkipEmptyParts);
}

QString home()
{
    const QByteArray home = qgetenv("HOME");
    return home.isEmpty() ? QDir::homePath() : PathBytes::fromBytes(home);
}

QString join(const QString &folder, const QString &name)
{
    return folder.endsWith(u'/') ? folder + name : folder + u'/' + name;
}

Listing list(const QString &folder, const QStringList &patterns)
{
    Listing listing;
    const std::unique_ptr<DIR, int (*)(DIR *)> dir(
        ::opendir(PathBytes::toBytes(folder).constData()), ::closedir);
    if (!dir) {
        listing.error = QString::fromLocal8Bit(std::strerror(errno));
        return listing;
    }
    const QList<QRegularExpression> matchers = matchersOf(patterns);
    while (const dirent *item = ::readdir(dir.get())) {
        if (item->d_name[0] == '.')
            continue; // ".", ".." and hidden names
        struct stat info = {};
        if (::fstatat(::dirfd(dir.get()), item->d_name, &info, 0) != 0)
            continue; // a broken link: nothing to open
        Entry entry = entryOf(PathBytes::fromBytes(item->d_name), info);
        // Matched as shown: a regular expression takes no lone surrogates.
        if (entry.folder || matches(matchers, entry.shown))
            listing.entries << std::move(entry);
    }
    std::sort(listing.entries.begin(), listing.entries.end(), [](const Entry &a, const Entry &b) {
        if (a.folder != b.folder)
            return a.folder;
        const int order = QString::localeAwareCompare(a.shown, b.shown);
        return order != 0 ? order < 0 : a.name < b.name;
    });
    return listing;
}

Target resolve(const QString &folder, const QString &typed, const QList<Entry> &entries)
{
    Target target;
    const QString text = typed.trimmed();
    if (text.contains(u'*') || text.contains(u'?')) {
        target.kind = Target::Patterns;
        target.patterns = patternsOf(text);
        return target;
    }
    if (text == u"~" || text.startsWith(u"~/"))
        target.path = home() + text.sliced(1);
    else if (text.startsWith(u'/'))
        target.path = text;
    else
        target.path = join(folder, text);
    target.path = QDir::cleanPath(target.path);

    struct stat info = {};
    if (PathBytes::stat(target.path, info)) {
        target.kind = S_ISDIR(info.st_mode) ? Target::Folder : Target::File;
        return target;
    }
    // A name that is no UTF-8 can be typed only as it is shown.
    QList<const Entry *> shownSo;
    for (const Entry &entry : entries) {
        if (!entry.utf8 && entry.shown == text)
            shownSo << &entry;
    }
    if (shownSo.size() > 1) {
        target.kind = Target::Ambiguous;
    } else if (shownSo.size() == 1) {
        target.kind = shownSo.constFirst()->folder ? Target::Folder : Target::File;
        target.path = join(folder, shownSo.constFirst()->name);
    }
    return target;
}

} // namespace FolderListing
