#include "recovery/recoveryoffer.h"

#include "document/documentsession.h"
#include "editor/richtext.h"
#include "platform/caption.h"
#include "platform/prompts.h"
#include "recovery/journalfolder.h"

#include <QFileInfo>
#include <QLocale>

namespace RecoveryOffer {

namespace {

enum Button { Recover = 0, Discard = 1, Later = 2 };

QString sizeText(qsizetype characters)
{
    return QLocale(QLocale::Chinese, QLocale::China).toString(characters) + QStringLiteral(" 字符");
}

} // namespace

QStringList rowOf(const JournalFile::Entry &entry)
{
    const QFileInfo page(entry.pagePath);
    return {entry.pagePath.isEmpty() ? QStringLiteral("未命名") : page.fileName(),
            entry.pagePath.isEmpty() ? QString() : page.absolutePath(),
            entry.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")),
            sizeText(entry.text.size())};
}

Outcome run(Prompts &prompts, WindowLock &lock,
            const std::function<void(const QString &journal)> &openElsewhere)
{
    Outcome outcome;
    QStringList journals;
    QList<JournalFile::Entry> entries;
    for (const QString &journal : JournalFolder::leftJournals()) {
        if (std::optional<JournalFile::Entry> entry = JournalFile::read(journal)) {
            journals.append(journal);
            entries.append(std::move(*entry));
        } else {
            const QString aside = JournalFolder::setAside(journal);
            outcome.setAside.append(aside.isEmpty() ? journal : aside);
        }
    }

    Prompts::ChoiceRequest request;
    request.title = QStringLiteral("恢复未保存的网页");
    request.text = QStringLiteral("上次编辑时以下网页的修改没有保存，可以恢复。\r\n"
                                  "恢复：打开选中的网页（恢复后请保存）；丢弃：删除它的恢复日志；"
                                  "以后再说：下次启动时再问。");
    request.buttons = {QStringLiteral("恢复"), QStringLiteral("丢弃"), QStringLiteral("以后再说")};
    request.columns = {QStringLiteral("网页"), QStringLiteral("文件夹"),
                       QStringLiteral("最后编辑时间"), QStringLiteral("大小")};
    while (!entries.isEmpty()) {
        request.rows.clear();
        for (const JournalFile::Entry &entry : std::as_const(entries))
            request.rows.append(rowOf(entry));
        const Prompts::Choice choice = prompts.choose(request);
        if (choice.button != Recover && choice.button != Discard)
            break;
        if (choice.row < 0 || choice.row >= entries.size())
            continue;
        const QString journal = journals.takeAt(choice.row);
        JournalFile::Entry entry = entries.takeAt(choice.row);
        if (choice.button == Discard)
            JournalFolder::discard(journal);
        else if (!outcome.entry && lock.adopt(journal))
            outcome.entry = std::move(entry);
        else
            openElsewhere(journal);
    }
    return outcome;
}

bool apply(const JournalFile::Entry &entry, RichText &richText, DocumentSession &session)
{
    // Each line with its own break, and lines typed from now on with the
    // page's main kind.
    richText.setPageText(LineBreaks::split(entry.text));
    richText.setSelStart(entry.caret);
    richText.setModified(true);
    session.CurrentFile = entry.pagePath;
    if (!entry.pagePath.isEmpty())
        session.lastFolder = QFileInfo(entry.pagePath).absolutePath();
    session.setFormat(entry.format);
    session.setCaption(CaptionFor(entry.pagePath));
    return !entry.pagePath.isEmpty() &&
           FileIdentity::compare(entry.pageNote, entry.pagePath) != FileIdentity::Change::Same;
}

} // namespace RecoveryOffer
