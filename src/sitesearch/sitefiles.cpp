#include "sitesearch/sitefiles.h"

#include "platform/encodingdetection.h"

#include <QDir>
#include <QDirIterator>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <QSet>

#include <atomic>

namespace SiteFiles {

namespace {

constexpr qsizetype kBinaryProbe = 8 * 1024;
std::atomic<qint64> gBytesRead = 0;

QStringList sortedFiles(const QString &folder, const QStringList &patterns, bool subfolders)
{
    QDir::Filters filters = QDir::Files | QDir::NoDotAndDotDot;
    QDirIterator::IteratorFlags flags =
        subfolders ? QDirIterator::Subdirectories : QDirIterator::NoIteratorFlags;
    QDir dir(folder, QString(), QDir::NoSort, filters);
    dir.setNameFilters(patterns);
    QStringList files;
    QDirIterator it(dir, flags);
    while (it.hasNext())
        files << it.next();
    files.sort();
    return files;
}

} // namespace

qint64 bytesRead()
{
    return gBytesRead;
}

QString defaultPatterns()
{
    return QStringLiteral("*.htm;*.html;*.shtml;*.asp;*.php;*.css;*.js");
}

QStringList splitPatterns(const QString &patterns)
{
    static const QRegularExpression separators(QStringLiteral("[;,\\s]+"));
    return patterns.split(separators, Qt::SkipEmptyParts);
}

QStringList list(const QStringList &paths, const QStringList &patterns, bool subfolders)
{
    QStringList files;
    QSet<QString> seen;
    for (const QString &path : paths) {
        const QFileInfo info(path);
        const QStringList found =
            info.isDir() ? sortedFiles(path, patterns, subfolders) : QStringList{path};
        for (const QString &file : found) {
            const QString key = QFileInfo(file).absoluteFilePath();
            if (!seen.contains(key)) {
                seen.insert(key);
                files << file;
            }
        }
    }
    return files;
}

Loaded load(const QString &path, qint64 sizeLimit)
{
    Loaded loaded;
    const QFileInfo info(path);
    if (!info.exists()) {
        loaded.reason = QStringLiteral("文件不存在");
        return loaded;
    }
    if (!info.isFile()) {
        loaded.reason = QStringLiteral("不是普通文件");
        return loaded;
    }
    if (info.size() > sizeLimit) {
        loaded.status = Loaded::Status::TooLarge;
        loaded.reason = QStringLiteral("文件大于 %1 MB").arg(double(sizeLimit) / (1024 * 1024));
        return loaded;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        loaded.reason = QStringLiteral("无法读取：") + file.errorString();
        return loaded;
    }
    loaded.bytes = file.readAll();
    gBytesRead += loaded.bytes.size();
    if (file.error() != QFileDevice::NoError) {
        loaded.reason = QStringLiteral("读取出错：") + file.errorString();
        loaded.bytes.clear();
        return loaded;
    }
    const bool utf16 =
        EncodingDetection::byteOrderMarkLength(loaded.bytes, QStringLiteral("UTF-16LE")) ||
        EncodingDetection::byteOrderMarkLength(loaded.bytes, QStringLiteral("UTF-16BE"));
    if (!utf16 && QByteArrayView(loaded.bytes)
                      .first(qMin(loaded.bytes.size(), kBinaryProbe))
                      .contains('\0')) {
        loaded.status = Loaded::Status::Binary;
        loaded.reason = QStringLiteral("二进制文件（前 8 KB 中有 NUL 字节）");
        loaded.bytes.clear();
        return loaded;
    }
    loaded.page = PageFile::decode(loaded.bytes);
    loaded.text = std::move(loaded.page.text); // held once, with its end
    loaded.text += loaded.page.finalLineBreakText;
    loaded.status = Loaded::Status::Ok;
    return loaded;
}

} // namespace SiteFiles
