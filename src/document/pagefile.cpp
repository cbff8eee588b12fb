#include "document/pagefile.h"

#include "platform/ansicodec.h"

#include <QFile>
#include <QFileInfo>

namespace PageFile {

namespace {

QString withoutFinalLineBreak(QString text)
{
    if (text.endsWith(QLatin1String("\r\n")))
        text.chop(2);
    else if (text.endsWith(u'\n') || text.endsWith(u'\r'))
        text.chop(1);
    return text;
}

} // namespace

ReadResult read(const QString &path)
{
    SafeFile::removeLeftovers(path); // what a killed save left beside the page
    ReadResult result;
    const QFileInfo info(path);
    if (info.isDir()) {
        result.error = QStringLiteral("这是一个文件夹，不是文件");
        return result;
    }
    if (!info.exists()) {
        result.error = QStringLiteral("文件不存在");
        return result;
    }
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        result.error = QStringLiteral("无法读取文件：") + file.errorString();
        return result;
    }
    const QByteArray bytes = file.readAll();
    if (file.error() != QFileDevice::NoError) {
        result.error = QStringLiteral("读取文件出错：") + file.errorString();
        return result;
    }
    result.text = withoutFinalLineBreak(AnsiCodec::decode(bytes));
    result.ok = true;
    return result;
}

SafeFile::Result write(const QString &path, const QString &text)
{
    return SafeFile::write(path, AnsiCodec::encode(text, QByteArrayView("\r\n", 2)));
}

} // namespace PageFile
