#include "editor/drophandler.h"

#include "document/filecommands.h"
#include "editor/richtext.h"
#include "platform/pathbytes.h"
#include "platform/prompts.h"
#include "platform/settingsfile.h"
#include "platform/statusline.h"
#include "platform/virtualkey.h"

#include <QDropEvent>
#include <QMimeData>

namespace {

// The first dropped file, "" when the data holds no local file.
QString firstDroppedFile(const QMimeData *data)
{
    if (!data->hasUrls())
        return QString();
    const QList<QUrl> urls = data->urls();
    if (urls.isEmpty() || !urls.constFirst().isLocalFile())
        return QString();
    const QUrl &url = urls.constFirst();
    const QString file = url.toLocalFile();
    // Bytes of the name that are no UTF-8 stay percent-encoded in the URL.
    if (!file.contains(QChar::ReplacementCharacter) || !url.host().isEmpty())
        return file;
    return PathBytes::fromBytes(
        QByteArray::fromPercentEncoding(url.path(QUrl::FullyEncoded).toLatin1()));
}

} // namespace

DropHandler::DropHandler(RichText &richText, FileCommands &fileCommands, StatusLine &status,
                         Prompts &prompts, OpenUrl openUrl)
    : m_richText(richText)
    , m_fileCommands(fileCommands)
    , m_status(status)
    , m_prompts(prompts)
    , m_openUrl(std::move(openUrl))
{}

QString DropHandler::searchAddress(const QString &words)
{
    return ReadSetting(QStringLiteral("main"), QStringLiteral("serch"),
                       QStringLiteral("https://www.baidu.com/s?wd=")) +
           words;
}

void DropHandler::RichText_OLEDragOver(QDragMoveEvent *event)
{
    if (event->possibleActions() == (Qt::MoveAction | Qt::LinkAction)) {
        event->setDropAction(Qt::IgnoreAction);
        event->ignore();
        return;
    }
    event->accept();
}

void DropHandler::RichText_OLEDragDrop(QDropEvent *event)
{
    // The source never deletes what was dropped here.
    event->setDropAction(Qt::CopyAction);
    if (drop(event->mimeData(), event->modifiers()))
        event->accept();
    else
        event->ignore();
}

bool DropHandler::drop(const QMimeData *data, Qt::KeyboardModifiers modifiers)
{
    const QString file = firstDroppedFile(data);
    if (!file.isEmpty()) {
        // Unsaved changes are saved, let go or kept, as the user says.
        if (!m_fileCommands.MayReplaceModifiedPage())
            return false;
        // A file that cannot be read leaves the document and its path alone.
        QString error;
        if (m_fileCommands.LoadNamedFile(file, &error))
            return true;
        if (!error.isEmpty())
            refuse(error + QStringLiteral(" --") + file);
        return false;
    }
    if (data->hasText()) {
        const QString text = data->text();
        m_richText.setSelText(text);
        if (VirtualKey::shiftState(modifiers) == VirtualKey::AltMask) {
            // The address goes to the desktop's URL handler as one argument:
            // no shell ever sees the dropped words.
            m_openUrl(QUrl(searchAddress(text)));
        }
        return true;
    }
    refuse();
    return false;
}

void DropHandler::refuse(const QString &why)
{
    m_status.setText2(why.isEmpty() ? QStringLiteral("加载失败")
                                    : QStringLiteral("加载失败：") + why);
    m_prompts.messageBox(QStringLiteral("不是文件！"), Prompts::Exclamation,
                         QStringLiteral("错误"));
}
