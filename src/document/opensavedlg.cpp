#include "document/opensavedlg.h"

#include "platform/prompts.h"

#include <QFileInfo>

namespace {
// The dialogs have always taken names of at most this many characters.
constexpr qsizetype kMaxFileName = 254;
} // namespace

OpenSaveDlg::OpenSaveDlg(Prompts &prompts)
    : m_prompts(prompts)
{}

bool OpenSaveDlg::ShowOpen()
{
    return show(false);
}

bool OpenSaveDlg::ShowSave()
{
    return show(true);
}

bool OpenSaveDlg::show(bool save)
{
    Prompts::FileRequest request;
    request.title = DialogTitle.isEmpty() ? (save ? QStringLiteral("保存") : QStringLiteral("打开"))
                                          : DialogTitle;
    request.filter = Filter;
    request.flags = Flags;
    request.initDir = InitDir;
    request.fileName = FileName.left(kMaxFileName);
    DialogTitle.clear();

    const std::optional<QString> chosen =
        save ? m_prompts.saveFileName(request) : m_prompts.openFileName(request);
    if (!chosen || chosen->trimmed().isEmpty())
        return false;
    FileName = chosen->trimmed();
    FileTitle = QFileInfo(FileName).fileName();
    return true;
}
