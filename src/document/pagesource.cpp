#include "document/pagesource.h"

#include "platform/download.h"
#include "platform/downloadprogressdialog.h"
#include "platform/encodingdetection.h"
#include "platform/launcher.h"
#include "platform/places.h"
#include "platform/privatefiles.h"
#include "platform/prompts.h"
#include "platform/safefile.h"
#include "platform/statusline.h"
#include "platform/textcodec.h"
#include "platform/twips.h"

#include <QFile>
#include <QWidget>

namespace {

// Writes the source at path again in UTF-8 when it came in another encoding.
void makeReadable(const QString &path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return;
    const QByteArray bytes = file.readAll();
    file.close();
    const QByteArray readable = ReadableSource(bytes);
    if (readable != bytes)
        SafeFile::write(path, readable);
}

} // namespace

QByteArray ReadableSource(const QByteArray &bytes)
{
    const EncodingDetection::Result detected = EncodingDetection::detect(bytes);
    const TextCodec *codec = TextCodec::forName(detected.encoding);
    if (!codec || detected.encoding == QLatin1String("UTF-8"))
        return bytes;
    QString text = codec->decode(QByteArrayView(bytes).sliced(detected.bomLength));
    // Bytes that are no character show as what they are.
    for (QChar &c : text) {
        if (TextCodec::isEscape(c.unicode()))
            c = QChar::ReplacementCharacter;
    }
    return text.toUtf8();
}

QPoint AddressBoxPosition(const QRect &frameGeometry, int innerHeight)
{
    return {frameGeometry.left() + Twips::toPixels(100),
            frameGeometry.top() + (frameGeometry.height() - innerHeight)};
}

PageSource::PageSource(StatusLine &status, Prompts &prompts, Launcher &launcher, QWidget *window)
    : m_status(status)
    , m_prompts(prompts)
    , m_launcher(launcher)
    , m_window(window)
    , m_download([this](const QString &address, const QString &target, QString *reason) {
        DownloadProgressDialog progress(m_window.data());
        return DownloadToFile(address, target, &progress, reason);
    })
{}

QString PageSource::TargetPath()
{
    return Places::pageSourceFile();
}

void PageSource::stolen_Click()
{
    Prompts::InputRequest request;
    request.title = QStringLiteral("看窥一下源文件");
    request.prompt = QStringLiteral("\r\n\r\n输入你要查看源文件的网页地址\r\n\r\n"
                                    "速度要快点哦，不然被发现就遭了 ^_^");
    if (m_window)
        request.position = AddressBoxPosition(m_window->frameGeometry(), m_window->height());
    // A cancelled box is an empty address, which fails like any bad one.
    const QString address = m_prompts.inputBox(request).value_or(QString());

    const QString target = TargetPath();
    QString reason;
    // The page's source is the user's business alone.
    const bool downloaded = [&] {
        const PrivateFiles privately;
        if (!m_download(address, target, &reason))
            return false;
        makeReadable(target);
        return true;
    }();
    if (!downloaded) {
        // The address is not always to blame: the reason says what went wrong.
        QString message = QStringLiteral("想学习人家的东西,就要把正确的网页地址告诉我...");
        if (!reason.isEmpty())
            message += QStringLiteral("\r\n\r\n原因：") + reason;
        m_prompts.messageBox(message, Prompts::OkOnly, QStringLiteral("看窥不成功"));
        return;
    }
    openOrSay(m_launcher, m_prompts, QUrl::fromLocalFile(target));
}

void PageSource::stolen_MouseMove()
{
    m_status.setText(QStringLiteral("查看其他网页源文件"));
}
