#include "support/bigpage.h"

#include "platform/ansicodec.h"

#include <QFile>
#include <QRandomGenerator>
#include <unistd.h>

QString makeBigPageText(qsizetype targetBytes)
{
    static const char *const kTags[] = {"<p>", "<div class=\"c\">", "<td>", "<li>", "<span>"};
    QRandomGenerator random(20261207);
    QString text;
    text.reserve(targetBytes * 3 / 4);
    qsizetype bytes = 0;
    while (bytes < targetBytes) {
        const QString tag = QString::fromLatin1(kTags[random.bounded(5)]);
        text += tag;
        bytes += tag.size();
        // A line of about 78 bytes: a quarter of its characters Chinese.
        const int characters = 50 + int(random.bounded(25));
        for (int i = 0; i < characters; ++i) {
            if (random.bounded(4) == 0) {
                text += QChar(char16_t(0x4E00 + random.bounded(0x5000)));
                bytes += 2;
            } else {
                text += QChar(char16_t(random.bounded(6) == 0 ? ' ' : 'a' + random.bounded(26)));
                bytes += 1;
            }
        }
        text += QStringLiteral("\r\n");
        bytes += 2;
    }
    return text;
}

QString makeOneLinePageText(qsizetype targetBytes)
{
    return makeBigPageText(targetBytes).remove(QStringLiteral("\r\n"));
}

QByteArray makeBigPageBytes(qsizetype targetBytes)
{
    return AnsiCodec::encode(makeBigPageText(targetBytes));
}

qint64 residentBytes()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    const QList<QByteArray> fields = statm.readAll().split(' ');
    if (fields.size() < 2)
        return 0;
    return fields.at(1).toLongLong() * sysconf(_SC_PAGESIZE);
}
