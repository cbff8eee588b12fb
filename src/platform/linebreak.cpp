#include "platform/linebreak.h"

namespace LineBreaks {

QStringView text(LineBreak kind)
{
    switch (kind) {
    case LineBreak::Lf:
        return u"\n";
    case LineBreak::Cr:
        return u"\r";
    case LineBreak::CrLf:
        break;
    }
    return u"\r\n";
}

QString name(LineBreak kind)
{
    switch (kind) {
    case LineBreak::Lf:
        return QStringLiteral("LF");
    case LineBreak::Cr:
        return QStringLiteral("CR");
    case LineBreak::CrLf:
        break;
    }
    return QStringLiteral("CRLF");
}

Split split(QString text)
{
    Split result;
    // Every break's kind, one byte a line, to find the odd ones once the
    // main kind is known.
    std::vector<LineBreak> kinds;
    std::array<qsizetype, kKinds> counts{};
    const auto found = [&](LineBreak kind) {
        kinds.push_back(kind);
        ++counts[size_t(kind)];
    };
    const qsizetype firstCr = text.indexOf(u'\r');
    // Before the first CR every break is an LF and nothing moves.
    for (qsizetype at = text.indexOf(u'\n'); at >= 0 && (firstCr < 0 || at < firstCr);
         at = text.indexOf(u'\n', at + 1))
        found(LineBreak::Lf);
    if (firstCr >= 0) {
        // One pass: CR LF and a lone CR both become LF, written over the
        // text, which never grows.
        QChar *const begin = text.data();
        const QChar *const end = begin + text.size();
        const QChar *in = begin + firstCr;
        QChar *out = begin + firstCr;
        while (in != end) {
            const QChar c = *in++;
            if (c == u'\r') {
                *out++ = u'\n';
                if (in != end && *in == u'\n') {
                    ++in;
                    found(LineBreak::CrLf);
                } else {
                    found(LineBreak::Cr);
                }
            } else {
                if (c == u'\n')
                    found(LineBreak::Lf);
                *out++ = c;
            }
        }
        text.truncate(out - begin);
    }
    for (const LineBreak kind : {LineBreak::Lf, LineBreak::Cr}) {
        if (counts[size_t(kind)] > counts[size_t(result.main)])
            result.main = kind;
    }
    for (size_t line = 0; line < kinds.size(); ++line) {
        if (kinds[line] != result.main)
            result.odd.push_back({qsizetype(line), kinds[line]});
    }
    result.text = std::move(text);
    result.breaks = qsizetype(kinds.size());
    return result;
}

QString joined(const Split &split)
{
    if (split.main == LineBreak::Lf && split.odd.empty())
        return split.text;
    QString result;
    result.reserve(split.text.size() + (split.main == LineBreak::CrLf ? split.breaks : 0) +
                   qsizetype(split.odd.size()));
    auto odd = split.odd.begin();
    qsizetype line = 0;
    qsizetype from = 0;
    for (qsizetype at = split.text.indexOf(u'\n'); at >= 0;
         at = split.text.indexOf(u'\n', from), ++line) {
        result += QStringView(split.text).sliced(from, at - from);
        LineBreak kind = split.main;
        if (odd != split.odd.end() && odd->line == line)
            kind = (odd++)->kind;
        result += text(kind);
        from = at + 1;
    }
    result += QStringView(split.text).sliced(from);
    return result;
}

std::optional<LineBreak> Split::takeFinalBreak()
{
    if (!text.endsWith(u'\n'))
        return std::nullopt;
    text.chop(1);
    --breaks;
    if (!odd.empty() && odd.back().line == breaks) {
        const LineBreak kind = odd.back().kind;
        odd.pop_back();
        return kind;
    }
    return main;
}

} // namespace LineBreaks
