#include "platform/filefilter.h"
#include "platform/openfiledialog.h"
#include "platform/prompts.h"
#include "platform/wincolor.h"

#include <QColorDialog>
#include <QInputDialog>
#include <QMessageBox>

namespace {

QMessageBox::StandardButtons buttonsOf(int style)
{
    switch (style & 7) {
    case 1:
        return QMessageBox::Ok | QMessageBox::Cancel;
    case 3:
        return QMessageBox::Yes | QMessageBox::No | QMessageBox::Cancel;
    case 4:
        return QMessageBox::Yes | QMessageBox::No;
    default:
        return QMessageBox::Ok;
    }
}

QMessageBox::Icon iconOf(int style)
{
    switch (style & 0x70) {
    case 16:
        return QMessageBox::Critical;
    case 32:
        return QMessageBox::Question;
    case 48:
        return QMessageBox::Warning;
    case 64:
        return QMessageBox::Information;
    default:
        return QMessageBox::NoIcon;
    }
}

int answerOf(int button)
{
    switch (button) {
    case QMessageBox::Yes:
        return Prompts::AnswerYes;
    case QMessageBox::No:
        return Prompts::AnswerNo;
    case QMessageBox::Cancel:
        return Prompts::AnswerCancel;
    default:
        return Prompts::AnswerOk;
    }
}

// Message texts break lines the Windows way (CR LF, or a lone CR); labels
// break at LF.
QString withLabelLineBreaks(QString text)
{
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    text.replace(u'\r', u'\n');
    return text;
}

// A suggested name that is a pattern ("*.htm") only narrows the listing.
bool isPattern(const QString &name)
{
    return name.contains(u'*') || name.contains(u'?');
}

// Runs the file dialog of mode set up from request; the chosen path (in
// PathBytes form), or nothing. A dialog of our own, which lists names that are
// no UTF-8 as well.
std::optional<QString> chosenFile(QWidget *owner, OpenFileDialog::Mode mode,
                                  const Prompts::FileRequest &request)
{
    const bool save = mode == OpenFileDialog::Save;
    const QString title = request.title.isEmpty()
                              ? (save ? QStringLiteral("保存") : QStringLiteral("打开"))
                              : request.title;
    OpenFileDialog dialog(owner, title, qtNameFilters(request.filter), mode);
    dialog.setMustExist(request.flags & Prompts::FileMustExist);
    dialog.setAskBeforeReplacing(save && (request.flags & Prompts::OverwritePrompt));
    dialog.setFolder(request.initDir);
    if (!isPattern(request.fileName))
        dialog.setFileName(request.fileName);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.chosenPath();
}

} // namespace

QtPrompts::QtPrompts(QWidget *owner)
    : m_owner(owner)
{}

int QtPrompts::messageBox(const QString &text, int style, const QString &title)
{
    QMessageBox box(iconOf(style), title, withLabelLineBreaks(text), buttonsOf(style), m_owner);
    return answerOf(box.exec());
}

std::optional<QString> QtPrompts::inputBox(const InputRequest &request)
{
    QInputDialog dialog(m_owner);
    dialog.setWindowTitle(request.title);
    dialog.setLabelText(withLabelLineBreaks(request.prompt));
    dialog.setTextValue(request.defaultText);
    if (request.position)
        dialog.move(*request.position);
    if (dialog.exec() != QDialog::Accepted)
        return std::nullopt;
    return dialog.textValue();
}

std::optional<QString> QtPrompts::openFileName(const FileRequest &request)
{
    return chosenFile(m_owner, OpenFileDialog::Open, request);
}

std::optional<QString> QtPrompts::saveFileName(const FileRequest &request)
{
    return chosenFile(m_owner, OpenFileDialog::Save, request);
}

std::optional<quint32> QtPrompts::chooseColor(quint32 initial)
{
    const QColor start = WinColor::toColor(initial);
    const QColor chosen =
        QColorDialog::getColor(start, m_owner, QString(), QColorDialog::DontUseNativeDialog);
    if (!chosen.isValid())
        return std::nullopt;
    return WinColor::fromColor(chosen);
}
