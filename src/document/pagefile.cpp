#include "document/pagefile.h"

#include "platform/encodingdetection.h"
#include "platform/pathbytes.h"
#include "platform/posixfile.h"
#include "platform/textcodec.h"

#include <cerrno>
#include <fcntl.h>

namespace PageFile {

namespace {

bool readBytes(const QString &path, QByteArray &bytes, QString &error)
{
    SafeFile::removeLeftovers(path); // what a killed save left beside the page
    struct stat info = {};
    if (!PathBytes::stat(path, info)) {
        error = errno == ENOENT ? QStringLiteral("文件不存在")
                                : QStringLiteral("无法读取文件：") + PosixFile::reason(errno);
        return false;
    }
    if (S_ISDIR(info.st_mode)) {
        error = QStringLiteral("这是一个文件夹，不是文件");
        return false;
    }
    // A pipe or a device would block the reading or never end.
    if (!S_ISREG(info.st_mode)) {
        error = QStringLiteral("这不是普通文件");
        return false;
    }
    const PosixFile::Descriptor file = PosixFile::open(PathBytes::toBytes(path), O_RDONLY);
    if (!file.isOpen()) {
        error = QStringLiteral("无法读取文件：") + PosixFile::reason(errno);
        return false;
    }
    std::optional<QByteArray> read = PosixFile::readAll(file.get());
    if (!read) {
        error = QStringLiteral("读取文件出错：") + PosixFile::reason(errno);
        return false;
    }
    bytes = std::move(*read);
    return true;
}

void decodeInto(ReadResult &result, QByteArrayView bytes, const QString &encoding, int bomLength)
{
    PageFormat &format = result.format;
    format.encoding = encoding;
    const TextCodec *codec = format.codec();
    format.encoding = codec->name();
    format.byteOrderMark = bomLength > 0;
    bytes = bytes.sliced(bomLength);
    if (codec->unitSize() == 2 && bytes.size() % 2) {
        format.trailingBytes = bytes.last(1).toByteArray();
        bytes.chop(1);
    }
    QString text = codec->decode(bytes);
    if (!codec->keepsEveryByte())
        result.bytesMayChange = codec->encode(text) != bytes;
    result.page = LineBreaks::split(std::move(text));
    format.lineBreak = result.page.main;
    const std::optional<LineBreak> finalBreak = result.page.takeFinalBreak();
    format.finalLineBreak = finalBreak.has_value();
    if (finalBreak != format.lineBreak)
        format.ownFinalBreak = finalBreak;
    result.ok = true;
}

} // namespace

ReadResult read(const QString &path)
{
    ReadResult result;
    QByteArray bytes;
    if (!readBytes(path, bytes, result.error))
        return result;
    return decode(bytes);
}

ReadResult decode(QByteArrayView bytes)
{
    ReadResult result;
    const EncodingDetection::Result detected = EncodingDetection::detect(bytes);
    decodeInto(result, bytes, detected.encoding, detected.bomLength);
    result.overruledDeclaration = detected.overruledDeclaration;
    return result;
}

ReadResult read(const QString &path, const QString &encoding)
{
    ReadResult result;
    QByteArray bytes;
    if (!readBytes(path, bytes, result.error))
        return result;
    decodeInto(result, bytes, encoding, EncodingDetection::byteOrderMarkLength(bytes, encoding));
    return result;
}

QByteArray encode(const QString &text, const PageFormat &format)
{
    const TextCodec *codec = format.codec();
    const QStringView tail =
        format.finalLineBreak ? LineBreaks::text(format.finalBreak()) : QStringView();
    QByteArray bytes = codec->encode(text, tail);
    if (format.byteOrderMark)
        bytes.prepend(codec->byteOrderMark());
    bytes += format.trailingBytes;
    return bytes;
}

SafeFile::Result write(const QString &path, const QString &text, const PageFormat &format)
{
    return SafeFile::write(path, encode(text, format));
}

} // namespace PageFile
