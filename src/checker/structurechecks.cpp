#include "checker/structurechecks.h"

#include "editor/tagrules.h"

#include <algorithm>

namespace Checker {

namespace {

using Names = std::initializer_list<QStringView>;

bool isOneOf(QStringView name, Names names)
{
    return std::find(names.begin(), names.end(), name) != names.end();
}

qsizetype tagLength(const Tag &tag)
{
    if (tag.namePos.line != tag.lessThan.line)
        return 1;
    return tag.namePos.column - tag.lessThan.column + tag.name.size();
}

Problem problem(TextPos pos, qsizetype length, Severity severity, const char *code,
                const QString &message)
{
    return Problem{pos, qMax<qsizetype>(length, 1), severity, QLatin1StringView(code), message, {}};
}

QString startTagText(QStringView name)
{
    return u'<' + name.toString() + u'>';
}

QString lineText(TextPos pos)
{
    return QStringLiteral("第 %1 行").arg(pos.line + 1);
}

} // namespace

void StructureChecks::tag(const Tag &tag, std::vector<Problem> &out)
{
    if (tag.endTag) {
        endTag(tag, out);
        return;
    }
    startTag(tag, out);
    m_sawTag = true;
}

void StructureChecks::doctype(TextPos pos, const QString &name, std::vector<Problem> &out)
{
    if (m_sawTag || m_sawDoctype) {
        out.push_back(problem(pos, 9, Severity::Error, "misplaced-doctype",
                              QStringLiteral("DOCTYPE 必须在页面的最前面，放在这里不起作用")));
        return;
    }
    m_sawDoctype = true;
    if (m_needs.doctype && name.compare(u"html", Qt::CaseInsensitive) != 0) {
        out.push_back(problem(
            pos, 9, Severity::Warning, "missing-doctype",
            QStringLiteral("DOCTYPE 应为“<!DOCTYPE html>”，否则浏览器会以怪异模式显示页面")));
    }
}

qsizetype StructureChecks::find(QStringView name, Names boundaries) const
{
    for (qsizetype i = qsizetype(m_open.size()) - 1; i >= 0; --i) {
        if (m_open[size_t(i)].name == name)
            return i;
        if (isOneOf(m_open[size_t(i)].name, boundaries))
            return -1;
    }
    return -1;
}

bool StructureChecks::inForeign() const
{
    return std::any_of(m_open.begin(), m_open.end(), [](const Open &open) {
        return open.name == u"svg" || open.name == u"math";
    });
}

void StructureChecks::popTo(qsizetype index, const Tag &closer, std::vector<Problem> &out)
{
    const QString closerText = closer.endTag ? QStringLiteral("</%1>").arg(closer.lowerName)
                                             : startTagText(closer.lowerName);
    while (qsizetype(m_open.size()) > index + 1) {
        const Open &open = m_open.back();
        if (!TagRules::hasOptionalEnd(open.name) && !inForeign()) {
            out.push_back(
                problem(closer.lessThan, tagLength(closer), Severity::Error, "misnested-tag",
                        QStringLiteral("%1（%2）在 %3 之前没有结束，标签交叉嵌套了")
                            .arg(startTagText(open.name), lineText(open.pos), closerText)));
            m_misnested.append(open.name);
        }
        m_open.pop_back();
    }
    m_open.pop_back();
}

void StructureChecks::closeImplied(const Tag &tag, std::vector<Problem> &out)
{
    const QString &name = tag.lowerName;
    const TextPos pos = tag.lessThan;
    const qsizetype length = tagLength(tag);
    if (TagRules::closesParagraph(name)) {
        const qsizetype p = find(u"p", {u"button", u"table", u"td", u"th", u"caption", u"object",
                                        u"marquee", u"applet", u"template"});
        if (p >= 0) {
            if (name != u"p") {
                out.push_back(
                    problem(pos, length, Severity::Warning, "block-closes-p",
                            QStringLiteral("%1 使 %2 的 <p> 自动结束：<p> 里不能放 %1")
                                .arg(startTagText(name), lineText(m_open[size_t(p)].pos))));
            }
            popTo(p, tag, out);
        }
    }
    if (name == u"li") {
        const qsizetype li = find(u"li", {u"ul", u"ol", u"menu"});
        if (li >= 0)
            popTo(li, tag, out);
        else if (find(u"ul") < 0 && find(u"ol") < 0 && find(u"menu") < 0)
            out.push_back(problem(pos, length, Severity::Error, "li-outside-list",
                                  QStringLiteral("<li> 不在 <ul>、<ol> 或 <menu> 中")));
    } else if (name == u"dt" || name == u"dd") {
        const qsizetype item = std::max(find(u"dt", {u"dl"}), find(u"dd", {u"dl"}));
        if (item >= 0)
            popTo(item, tag, out);
    } else if (name == u"option" || name == u"optgroup") {
        if (!m_open.empty() && (m_open.back().name == u"option" ||
                                (name == u"optgroup" && m_open.back().name == u"optgroup")))
            m_open.pop_back();
    } else if (isOneOf(name, {u"tr", u"td", u"th", u"thead", u"tbody", u"tfoot", u"caption",
                              u"colgroup", u"col"})) {
        if (find(u"table") < 0) {
            out.push_back(problem(
                pos, length, Severity::Error, "table-part-outside-table",
                QStringLiteral("%1 不在 <table> 中，浏览器会忽略它").arg(startTagText(name))));
            return;
        }
        QList<QStringView> closed;
        if (name == u"tr")
            closed = {u"tr", u"td", u"th"};
        else if (name == u"td" || name == u"th")
            closed = {u"td", u"th"};
        else if (isOneOf(name, {u"thead", u"tbody", u"tfoot"}))
            closed = {u"thead", u"tbody", u"tfoot", u"tr", u"td", u"th"};
        for (QStringView cell : closed) {
            const qsizetype at = find(cell, {u"table"});
            if (at >= 0)
                popTo(at, tag, out);
        }
    }
}

void StructureChecks::checkAttributes(const Tag &tag, std::vector<Problem> &out)
{
    const Attribute *id = tag.attribute(u"id");
    if (!id || !id->hasValue)
        return;
    const QString value = id->unquotedValue();
    if (value.isEmpty())
        return;
    const auto first = m_ids.constFind(value);
    if (first == m_ids.cend()) {
        m_ids.insert(value, id->valuePos);
        return;
    }
    out.push_back(problem(id->valuePos, id->value.size(), Severity::Error, "duplicate-id",
                          QStringLiteral("id “%1” 重复，%2已经用过").arg(value, lineText(*first))));
}

void StructureChecks::startTag(const Tag &tag, std::vector<Problem> &out)
{
    const QString &name = tag.lowerName;
    const TextPos pos = tag.lessThan;
    const qsizetype length = tagLength(tag);
    checkAttributes(tag, out);
    if (name == u"html") {
        if (m_needs.lang && !m_sawHtml && !tag.attribute(u"lang"))
            out.push_back(
                problem(pos, length, Severity::Warning, "missing-lang",
                        QStringLiteral("<html> 缺少 lang 属性（中文页面可写 lang=\"zh-CN\"）")));
        m_sawHtml = true;
        return;
    }
    if (name == u"head" || name == u"body") {
        bool &seen = name == u"head" ? m_sawHead : m_sawBody;
        if (seen || (name == u"head" && m_sawBody))
            out.push_back(
                problem(pos, length, Severity::Error, "second-head-or-body",
                        QStringLiteral("又一个 %1：一个页面只能有一个").arg(startTagText(name))));
        seen = true;
        return;
    }
    if (name == u"title")
        m_sawTitle = true;
    if (name == u"img" && m_needs.imgAlt && !tag.attribute(u"alt"))
        out.push_back(problem(pos, length, Severity::Warning, "missing-alt",
                              QStringLiteral("<img> 缺少 alt 属性（图片不能显示时的替代文字）")));
    if (inForeign()) {
        if (!tag.selfClosing)
            m_open.push_back({name, pos, length});
        return;
    }
    closeImplied(tag, out);
    if (TagRules::isVoid(name))
        return;
    if (tag.selfClosing && name != u"svg" && name != u"math")
        out.push_back(problem(
            pos, length, Severity::Error, "non-void-html-element-start-tag-with-trailing-solidus",
            QStringLiteral("%1 不是空元素，“/>”并不结束它").arg(startTagText(name))));
    if (tag.selfClosing && (name == u"svg" || name == u"math"))
        return;
    m_open.push_back({name, pos, length});
}

void StructureChecks::endTag(const Tag &tag, std::vector<Problem> &out)
{
    const QString &name = tag.lowerName;
    if (name == u"html" || name == u"head" || name == u"body")
        return;
    const qsizetype length = tagLength(tag);
    if (TagRules::isVoid(name) && name != u"p") {
        out.push_back(problem(tag.lessThan, length, Severity::Error, "end-tag-of-void-element",
                              QStringLiteral("%1 是空元素，没有结束标签").arg(startTagText(name))));
        return;
    }
    const qsizetype at = find(name);
    if (at >= 0) {
        popTo(at, tag, out);
        return;
    }
    if (const qsizetype early = m_misnested.indexOf(name); early >= 0) {
        m_misnested.removeAt(early);
        return;
    }
    out.push_back(
        problem(tag.lessThan, length, Severity::Error, "stray-end-tag",
                QStringLiteral("结束标签 </%1> 前没有未结束的 %2").arg(name, startTagText(name))));
}

void StructureChecks::finish(TextPos, std::vector<Problem> &out)
{
    for (const Open &open : m_open) {
        if (!TagRules::hasOptionalEnd(open.name))
            out.push_back(
                problem(open.pos, open.length, Severity::Error, "unclosed-element",
                        QStringLiteral("%1 直到文件末尾都没有结束").arg(startTagText(open.name))));
    }
    const TextPos top;
    if (m_needs.doctype && !m_sawDoctype)
        out.push_back(
            problem(top, 1, Severity::Warning, "missing-doctype",
                    QStringLiteral("页面缺少“<!DOCTYPE html>”，浏览器会以怪异模式显示它")));
    if (m_needs.title && !m_sawTitle)
        out.push_back(problem(top, 1, Severity::Warning, "missing-title",
                              QStringLiteral("页面缺少 <title>")));
    if (m_needs.lang && !m_sawHtml)
        out.push_back(problem(top, 1, Severity::Warning, "missing-lang",
                              QStringLiteral("页面缺少带 lang 属性的 <html>")));
}

} // namespace Checker
