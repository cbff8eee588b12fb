#include "recovery/journalfile.h"

#include "platform/posixfile.h"

#include <QCryptographicHash>
#include <QFile>
#include <QList>

#include <cerrno>
#include <fcntl.h>
#include <unistd.h>

namespace JournalFile {

namespace {

const QByteArray kMagic = QByteArrayLiteral("ZelmoHTML journal 1");

QByteArray lineBreakName(PageFormat::LineBreak lineBreak)
{
    switch (lineBreak) {
    case PageFormat::LineBreak::Lf:
        return "lf";
    case PageFormat::LineBreak::Cr:
        return "cr";
    case PageFormat::LineBreak::CrLf:
        break;
    }
    return "crlf";
}

std::optional<PageFormat::LineBreak> lineBreakFrom(const QByteArray &name)
{
    if (name == "crlf")
        return PageFormat::LineBreak::CrLf;
    if (name == "lf")
        return PageFormat::LineBreak::Lf;
    if (name == "cr")
        return PageFormat::LineBreak::Cr;
    return std::nullopt;
}

QByteArray number(qint64 value)
{
    return QByteArray::number(value);
}

QByteArray noteText(const FileIdentity::Note &note)
{
    return QList<QByteArray>{number(note.exists),
                             QByteArray::number(quint64(note.device)),
                             QByteArray::number(quint64(note.inode)),
                             number(note.size),
                             number(note.modified.tv_sec),
                             number(note.modified.tv_nsec),
                             note.hash.toHex()}
        .join(' ');
}

std::optional<FileIdentity::Note> noteFrom(const QByteArray &text)
{
    const QList<QByteArray> parts = text.split(' ');
    if (parts.size() != 7)
        return std::nullopt;
    bool ok[6] = {};
    FileIdentity::Note note;
    note.exists = parts[0].toInt(&ok[0]) != 0;
    note.device = dev_t(parts[1].toULongLong(&ok[1]));
    note.inode = ino_t(parts[2].toULongLong(&ok[2]));
    note.size = off_t(parts[3].toLongLong(&ok[3]));
    note.modified.tv_sec = time_t(parts[4].toLongLong(&ok[4]));
    note.modified.tv_nsec = long(parts[5].toLong(&ok[5]));
    for (bool each : ok)
        if (!each)
            return std::nullopt;
    note.hash = QByteArray::fromHex(parts[6]);
    return note;
}

QByteArray bodyOf(const QString &text)
{
    QByteArray body(reinterpret_cast<const char *>(text.utf16()), text.size() * 2);
    if constexpr (QSysInfo::ByteOrder == QSysInfo::BigEndian) {
        for (qsizetype i = 0; i + 1 < body.size(); i += 2)
            std::swap(body[i], body[i + 1]);
    }
    return body;
}

QString textOf(QByteArrayView body)
{
    QString text(body.size() / 2, Qt::Uninitialized);
    auto *out = reinterpret_cast<char16_t *>(text.data());
    const auto *in = reinterpret_cast<const uchar *>(body.data());
    for (qsizetype i = 0; i < text.size(); ++i)
        out[i] = char16_t(in[2 * i] | (in[2 * i + 1] << 8));
    return text;
}

QByteArray checksum(QByteArrayView header, QByteArrayView body)
{
    QCryptographicHash hash(QCryptographicHash::Sha1);
    hash.addData(header);
    hash.addData(body);
    return hash.result().toHex();
}

} // namespace

QByteArray encode(const Entry &entry)
{
    const QByteArray body = bodyOf(entry.text);
    QByteArray header = kMagic + '\n';
    const auto field = [&header](const char *key, const QByteArray &value) {
        header += key;
        header += ' ';
        header += value;
        header += '\n';
    };
    field("path", entry.pagePath.toUtf8().toPercentEncoding());
    field("encoding", entry.format.encoding.toUtf8().toPercentEncoding());
    field("bom", number(entry.format.byteOrderMark));
    field("linebreak", lineBreakName(entry.format.lineBreak));
    field("final", number(entry.format.finalLineBreak));
    field("trailing", entry.format.trailingBytes.toHex());
    field("caret", number(entry.caret));
    field("time", number(entry.time.toMSecsSinceEpoch()));
    field("note", noteText(entry.pageNote));
    field("length", number(body.size()));
    // The checksum covers the header above it and the text.
    field("sum", checksum(header, body));
    return header + '\n' + body;
}

std::optional<Entry> decode(const QByteArray &bytes)
{
    const qsizetype end = bytes.indexOf("\n\n");
    if (end < 0 || !bytes.startsWith(kMagic + '\n'))
        return std::nullopt;
    const QByteArray header = bytes.left(end + 1);
    const QByteArrayView body = QByteArrayView(bytes).sliced(end + 2);

    QHash<QByteArray, QByteArray> fields;
    const QList<QByteArray> lines = header.split('\n');
    for (qsizetype i = 1; i < lines.size(); ++i) {
        const qsizetype blank = lines[i].indexOf(' ');
        if (blank > 0)
            fields.insert(lines[i].left(blank), lines[i].mid(blank + 1));
    }
    const qsizetype sumAt = header.lastIndexOf("sum ");
    if (sumAt < 0 || fields.value("sum") != checksum(QByteArrayView(header).first(sumAt), body) ||
        fields.value("length") != number(body.size()) || body.size() % 2 != 0)
        return std::nullopt;

    Entry entry;
    entry.pagePath = QString::fromUtf8(QByteArray::fromPercentEncoding(fields.value("path")));
    entry.format.encoding =
        QString::fromUtf8(QByteArray::fromPercentEncoding(fields.value("encoding")));
    entry.format.byteOrderMark = fields.value("bom") == "1";
    const std::optional<PageFormat::LineBreak> lineBreak = lineBreakFrom(fields.value("linebreak"));
    const std::optional<FileIdentity::Note> note = noteFrom(fields.value("note"));
    bool caretOk = false;
    bool timeOk = false;
    entry.caret = fields.value("caret").toLongLong(&caretOk);
    entry.time = QDateTime::fromMSecsSinceEpoch(fields.value("time").toLongLong(&timeOk));
    if (!lineBreak || !note || !caretOk || !timeOk || entry.format.encoding.isEmpty())
        return std::nullopt;
    entry.format.lineBreak = *lineBreak;
    entry.format.finalLineBreak = fields.value("final") == "1";
    entry.format.trailingBytes = QByteArray::fromHex(fields.value("trailing"));
    entry.pageNote = *note;
    entry.text = textOf(body);
    // The caret counts every line break as two, as the editing area does,
    // which may be more than the text's own: the area keeps it within the
    // text.
    entry.caret = qMax(qsizetype(0), entry.caret);
    return entry;
}

SafeFile::Result write(const QString &path, const QByteArray &bytes)
{
    const QByteArray target = QFile::encodeName(path);
    const QByteArray temporary = target + ".tmp";
    const auto failed = [&](int error) {
        ::unlink(temporary.constData());
        return SafeFile::Result{false, PosixFile::reason(error)};
    };
    {
        PosixFile::Descriptor fd =
            PosixFile::open(temporary, O_WRONLY | O_CREAT | O_TRUNC | O_NOFOLLOW, 0600);
        if (!fd.isOpen())
            return {false, PosixFile::reason(errno)};
        if (!PosixFile::writeAll(fd.get(), bytes) || ::fsync(fd.get()) != 0)
            return failed(errno);
        if (::close(fd.release()) != 0)
            return failed(errno);
    }
    if (::rename(temporary.constData(), target.constData()) != 0)
        return failed(errno);
    PosixFile::syncFolder(PosixFile::folderOf(target));
    return {true, {}};
}

std::optional<Entry> read(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return std::nullopt;
    return decode(file.readAll());
}

} // namespace JournalFile
