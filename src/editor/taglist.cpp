#include "editor/taglist.h"

#include "platform/ansicodec.h"

#include <QFile>

namespace TagList {

namespace {

bool isBlank(QChar c)
{
    return c == u' ' || c == u'\t';
}

bool isLineEnd(QChar c)
{
    return c == u'\r' || c == u'\n';
}

// Steps over the line end at i (CR LF counts as one).
qsizetype skipLineEnd(QStringView text, qsizetype i)
{
    if (text[i] == u'\r' && i + 1 < text.size() && text[i + 1] == u'\n')
        return i + 2;
    return i + 1;
}

} // namespace

QStringList readItems(QStringView text)
{
    QStringList items;
    const qsizetype size = text.size();
    qsizetype i = 0;
    while (i < size) {
        while (i < size && isBlank(text[i]))
            ++i;
        QString item;
        if (i < size && text[i] == u'"') {
            const qsizetype start = ++i;
            while (i < size && text[i] != u'"' && !isLineEnd(text[i]))
                ++i;
            item = text.sliced(start, i - start).toString();
            if (i < size && text[i] == u'"')
                ++i;
            // Whatever follows the closing quote belongs to no item.
            while (i < size && text[i] != u',' && !isLineEnd(text[i]))
                ++i;
        } else {
            const qsizetype start = i;
            while (i < size && text[i] != u',' && !isLineEnd(text[i]))
                ++i;
            qsizetype end = i;
            while (end > start && isBlank(text[end - 1]))
                --end;
            item = text.sliced(start, end - start).toString();
        }
        items.append(item);
        if (i < size) {
            // The delimiter: a comma, or the line end that closes the line.
            i = text[i] == u',' ? i + 1 : skipLineEnd(text, i);
        }
    }
    return items;
}

QStringList entries(QStringView text)
{
    QStringList result;
    for (const QString &item : readItems(text)) {
        if (item.startsWith(u'<'))
            result.append(item);
    }
    return result;
}

bool load(const QString &path, QStringList &result)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return false;
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError)
        return false;
    result = entries(AnsiCodec::decode(bytes));
    return true;
}

} // namespace TagList
