#include "document/filecommands.h"

#include "document/charsetdeclaration.h"
#include "document/documentsession.h"
#include "document/opensavedlg.h"
#include "document/pagememory.h"
#include "document/standarddocument.h"
#include "document/unencodablechoice.h"
#include "editor/richtext.h"
#include "platform/caption.h"
#include "platform/htmlprescan.h"
#include "platform/pathbytes.h"
#include "platform/prompts.h"
#include "platform/settingsfile.h"
#include "platform/statusline.h"

#include <QDir>
#include <QFileInfo>
#include <iterator>

namespace {

bool storedSaveMessageWanted()
{
    return ReadSetting(QStringLiteral("save"), QStringLiteral("saveflagd"), QStringLiteral("0")) ==
           QLatin1String("1");
}

// Documents this short are emptied without asking.
constexpr qsizetype kAskBeforeNewFrom = 6;

QString folderOf(const QString &path)
{
    return QFileInfo(path).absolutePath();
}

} // namespace

FileCommands::FileCommands(RichText &richText, DocumentSession &session, StatusLine &status,
                           Prompts &prompts)
    : m_richText(richText)
    , m_session(session)
    , m_status(status)
    , m_prompts(prompts)
    , m_saveMessageWanted(storedSaveMessageWanted)
    , m_availableMemory(PageMemory::available)
{}

void FileCommands::func_Click(int index)
{
    switch (index) {
    case 0:
        NewDocument();
        break;
    case 1:
        Save();
        break;
    case 2:
        InsertStandardDocument();
        break;
    default:
        break;
    }
}

void FileCommands::func_RightPress(int index)
{
    if (index == 0)
        Open();
    else if (index == 1)
        SaveAs();
}

void FileCommands::func_MouseMove(int index)
{
    static const QString kHints[] = {
        QStringLiteral("新建空白问挡,拖放你要编辑的网页进工作区    右键打开文件"),
        QStringLiteral("保存文档 Ctrl + S    右键另存为 Ctrl +Shift + S"),
        QStringLiteral("插入标准HTML文档")};
    if (index >= 0 && index < int(std::size(kHints)))
        m_status.setText(kHints[index]);
}

void FileCommands::NewDocument()
{
    const qsizetype length = m_richText.textLength();
    if (length == 0) {
        m_prompts.messageBox(QStringLiteral("已经是空白状态了,不需要再次建立,请你编辑吧!"),
                             Prompts::Exclamation, QStringLiteral("确认"));
        return;
    }
    if (m_richText.isModified()) {
        // One question is enough: the one that can save the changes.
        if (!MayReplaceModifiedPage())
            return;
    } else if (length >= kAskBeforeNewFrom) {
        const int answer =
            m_prompts.messageBox(QStringLiteral("建议新建之前保存文挡,你真的要新建文挡吗?"),
                                 Prompts::Exclamation + Prompts::YesNo, QStringLiteral("确认"));
        if (answer != Prompts::AnswerYes) {
            if (m_richText.SelLength() > 0)
                m_richText.setSelText(QString());
            return;
        }
    }
    // Emptied as an edit, so that Undo brings the page back.
    m_richText.setSelStart(0);
    m_richText.setSelLength(length);
    m_richText.setSelText(QString());
    m_richText.unifyLineBreaks(PageFormat().lineBreak);
    m_richText.setModified(false);
    m_session.CurrentFile.clear();
    m_session.setFormat(PageFormat());
    m_session.setCaption(CaptionFor(QString()));
}

void FileCommands::InsertStandardDocument()
{
    m_richText.setSelText(StandardDocument());
}

void FileCommands::Open()
{
    if (!MayReplaceModifiedPage()) {
        m_status.setText2(QStringLiteral("打开取消"));
        return;
    }
    OpenSaveDlg dialog(m_prompts);
    dialog.Flags = Prompts::HideReadOnly + Prompts::PathMustExist + Prompts::FileMustExist;
    dialog.DialogTitle = QStringLiteral("打开网页文件");
    dialog.Filter = QStringLiteral(
        "网页文件(*.htm;*.html)|*.htm;*.html|文本文件(*.TXT)|*.TXT|所有文件(*.*)|*.*|");
    dialog.InitDir = dialogFolder();
    if (!dialog.ShowOpen()) {
        m_status.setText2(QStringLiteral("打开取消"));
        return;
    }
    // The open dialog gives a name's own bytes; a path as Qt shows it (U+FFFD
    // for bytes that are no UTF-8) is taken back to them all the same.
    const QString path = PathBytes::fromQt(dialog.FileName);
    m_session.lastFolder = folderOf(path);
    if (LoadNamedFileOrSay(path))
        m_session.CurrentFileTitle = path.sliced(path.lastIndexOf(u'/') + 1);
}

bool FileCommands::CheckPageSize(const QString &path, QString *error)
{
    const auto refuse = [error](const QString &reason) {
        if (error)
            *error = reason;
        return false;
    };
    struct stat info = {};
    const qint64 size = PathBytes::stat(path, info) ? qint64(info.st_size) : 0;
    const qint64 needed = PageMemory::neededFor(size);
    const qint64 available = m_availableMemory();
    constexpr qint64 kMegabyte = 1 << 20;
    if (available >= 0 && needed > available) {
        return refuse(QStringLiteral("网页太大：打开它大约要 %1 MB 内存，现在只有 %2 MB 可用")
                          .arg(needed / kMegabyte)
                          .arg(available / kMegabyte));
    }
    if (size > PageMemory::kAskAbove &&
        m_prompts.messageBox(QStringLiteral("这个网页有 %1 MB，打开它要用很多内存和时间。\r\n"
                                            "你真的要打开吗?")
                                 .arg(size / kMegabyte),
                             Prompts::Exclamation + Prompts::YesNo,
                             QStringLiteral("确认")) != Prompts::AnswerYes) {
        return refuse(QString());
    }
    return true;
}

bool FileCommands::LoadNamedFileOrSay(const QString &path, const QString &encoding)
{
    QString error;
    if (LoadNamedFile(path, &error, encoding))
        return true;
    if (error.isEmpty())
        return false;
    m_prompts.messageBox(QStringLiteral("文件打开失败：") + PathBytes::readable(path) +
                             QStringLiteral("\r\n") + error,
                         Prompts::Exclamation, QStringLiteral("错误"));
    return false;
}

bool FileCommands::LoadNamedFile(const QString &path, QString *error, const QString &encoding)
{
    if (!CheckPageSize(path, error))
        return false;
    PageFile::ReadResult result =
        encoding.isEmpty() ? PageFile::read(path) : PageFile::read(path, encoding);
    if (!result.ok) {
        if (error)
            *error = result.error;
        return false;
    }
    m_richText.setPageText(std::move(result.page));
    m_richText.setModified(false);
    AdoptOpenedPage(path, result);
    return true;
}

void FileCommands::AdoptOpenedFile(const QString &path)
{
    m_session.CurrentFile = path;
    m_session.lastFolder = folderOf(path);
    m_session.setCaption(CaptionFor(PathBytes::readable(path)));
    m_status.setText2(QStringLiteral("打开成功 --") + PathBytes::readable(path));
}

QString FileCommands::dialogFolder() const
{
    if (!m_session.CurrentFile.isEmpty())
        return folderOf(m_session.CurrentFile);
    // Never the folder the program happened to be started in.
    return m_session.lastFolder.isEmpty() ? QDir::homePath() : m_session.lastFolder;
}

void FileCommands::AdoptOpenedPage(const QString &path, const PageFile::ReadResult &page)
{
    m_session.setFormat(page.format);
    AdoptOpenedFile(path);
    if (m_pageHooks.read)
        m_pageHooks.read(path);
    if (!page.overruledDeclaration.isEmpty()) {
        m_status.setText(
            QStringLiteral("注意：网页声明的编码是 %1，但内容是 UTF-8，已按 UTF-8 打开")
                .arg(page.overruledDeclaration));
    }
    if (page.bytesMayChange) {
        m_prompts.messageBox(
            QStringLiteral("这个网页的字节按 %1 读出后不能原样写回：保存时会按标准的 %1 "
                           "重新写出，文字不变。")
                .arg(page.format.encoding),
            Prompts::Exclamation, QStringLiteral("编码"));
    }
}

bool FileCommands::ensureFileName()
{
    if (!m_session.CurrentFile.isEmpty())
        return true;
    OpenSaveDlg dialog(m_prompts);
    dialog.Flags = Prompts::OverwritePrompt + Prompts::HideReadOnly + Prompts::PathMustExist;
    // Pages named ".html", and any other name, can be saved under their own name.
    dialog.Filter =
        QStringLiteral("html Files(*.htm)|*.htm|html Files(*.html)|*.html|所有文件 (*)|*");
    dialog.FileName =
        m_session.CurrentFileTitle.isEmpty() ? QStringLiteral("*.htm") : m_session.CurrentFileTitle;
    dialog.DialogTitle = QStringLiteral("保存网页文件");
    dialog.InitDir = dialogFolder();
    if (!dialog.ShowSave())
        return false;
    m_session.CurrentFile = dialog.FileName;
    m_session.CurrentFileTitle = dialog.FileTitle;
    m_session.lastFolder = folderOf(dialog.FileName);
    return true;
}

bool FileCommands::settleUnencodable(const QString &text, PageFormat &format)
{
    const TextCodec::Unencodable found = format.codec()->unencodable(text);
    if (found.count == 0)
        return true;
    switch (UnencodableChoice::ask(m_prompts, text, format.encoding, found)) {
    case UnencodableChoice::SaveAsUtf8:
        format = format.inEncoding(QStringLiteral("UTF-8"), false);
        return true;
    case UnencodableChoice::WriteReferences:
        return true;
    case UnencodableChoice::Cancel:
        break;
    }
    return false;
}

bool FileCommands::offerDeclarationUpdate(const QString &text, const QString &encoding)
{
    // The XML declaration at the start, then the first <meta> one.
    QList<HtmlPrescan::Declaration> wrong;
    for (const auto &found : {CharsetDeclaration::findXml(text), HtmlPrescan::find(text)}) {
        if (found && CharsetDeclaration::disagrees(found->encoding, encoding))
            wrong.append(*found);
    }
    if (wrong.isEmpty())
        return false;
    const QString label = CharsetDeclaration::labelFor(encoding);
    const QString question =
        QStringLiteral("网页里声明的编码是“%1”，而网页将按 %2 保存，浏览器会认错编码。\r\n"
                       "要把声明改为“%3”吗？")
            .arg(text.mid(wrong.first().labelStart, wrong.first().labelLength), encoding, label);
    if (m_prompts.messageBox(question, Prompts::Exclamation + Prompts::YesNo,
                             QStringLiteral("编码")) != Prompts::AnswerYes) {
        return false;
    }
    // One edit from the first label to the last, undone in one step; the
    // caret stays where it was.
    const qsizetype from = wrong.first().labelStart;
    const qsizetype to = wrong.last().labelStart + wrong.last().labelLength;
    QString replacement = text.mid(from, to - from);
    for (auto it = wrong.crbegin(); it != wrong.crend(); ++it)
        replacement.replace(it->labelStart - from, it->labelLength, label);
    const qsizetype caret = m_richText.SelStart();
    const qsizetype selected = m_richText.SelLength();
    m_richText.setSelStart(from);
    m_richText.setSelLength(to - from);
    m_richText.setSelText(replacement);
    const qsizetype shift = caret >= to ? replacement.size() - (to - from) : 0;
    m_richText.setSelStart(caret + shift);
    m_richText.setSelLength(selected);
    return true;
}

bool FileCommands::Save()
{
    return SaveInFormat(m_session.format());
}

bool FileCommands::SaveInFormat(PageFormat format)
{
    if (!ensureFileName()) {
        m_status.setText2(QStringLiteral("保存取消"));
        return false;
    }
    if (m_pageHooks.mayWrite && !m_pageHooks.mayWrite(m_session.CurrentFile)) {
        m_status.setText2(QStringLiteral("保存取消"));
        return false;
    }
    QString text = m_richText.pageText();
    if (!settleUnencodable(text, format)) {
        m_status.setText2(QStringLiteral("保存取消"));
        return false;
    }
    // The declaration is found in the text as the editing area counts it.
    if (format.encoding != m_session.format().encoding &&
        offerDeclarationUpdate(m_richText.Text(), format.encoding)) {
        text = m_richText.pageText();
    }
    // Typed line breaks are written as the page's main kind.
    format.lineBreak = m_richText.mainLineBreak();

    const QString &file = m_session.CurrentFile;
    const SafeFile::Result written = PageFile::write(file, text, format);
    const QString path = PathBytes::readable(file);
    if (!written.ok) {
        m_prompts.messageBox(QStringLiteral("文件保存失败：") + path + QStringLiteral("\r\n") +
                                 written.error,
                             Prompts::Exclamation, QStringLiteral("错误"));
        return false;
    }
    m_richText.setModified(false);
    m_session.setFormat(format);
    m_session.setCaption(CaptionFor(path));
    if (m_pageHooks.written)
        m_pageHooks.written(path);
    m_status.setText2(QStringLiteral("保存成功--") + path);
    if (m_saveMessageWanted())
        m_prompts.messageBox(QStringLiteral("文件已经保存\r\n") + path, Prompts::OkOnly,
                             QStringLiteral("恭喜"));
    return true;
}

bool FileCommands::MayReplaceModifiedPage()
{
    return offerToSave(QStringLiteral("文档已经修改,换成别的网页之前要保存吗?"));
}

bool FileCommands::MayCloseModifiedPage()
{
    return offerToSave(QStringLiteral("文档已经修改,关闭之前要保存吗?"));
}

bool FileCommands::offerToSave(const QString &question)
{
    if (!m_richText.isModified())
        return true;
    const int answer =
        m_prompts.messageBox(question, Prompts::Exclamation + Prompts::YesNoCancel, ProductName());
    if (answer == Prompts::AnswerYes)
        return Save();
    return answer == Prompts::AnswerNo;
}

void FileCommands::UnifyLineBreaks(LineBreak to)
{
    m_richText.unifyLineBreaks(to);
    m_session.setFormat(m_session.format().withLineBreaks(to));
    m_status.setText2(QStringLiteral("换行已经全部改为 ") + LineBreaks::name(to) +
                      QStringLiteral("，保存后写入文件"));
}

bool FileCommands::SaveAs()
{
    m_session.CurrentFile.clear();
    return Save();
}
