#include "checker/fixes.h"

#include <algorithm>

namespace Checker {

std::vector<TextEdit> fixEdits(const std::vector<const Problem *> &problems,
                               const std::function<qsizetype(TextPos)> &offsetOf)
{
    std::vector<TextEdit> edits;
    for (const Problem *problem : problems) {
        for (const FixEdit &edit : problem->fix)
            edits.push_back({offsetOf(edit.pos), edit.length, edit.text});
    }
    std::sort(edits.begin(), edits.end(),
              [](const TextEdit &a, const TextEdit &b) { return a.from > b.from; });
    std::vector<TextEdit> kept;
    for (TextEdit &edit : edits) {
        if (edit.from < 0 || (!kept.empty() && edit.from + edit.length > kept.back().from))
            continue;
        kept.push_back(std::move(edit));
    }
    return kept;
}

QString applyFixes(QString text, const std::vector<Problem> &problems)
{
    std::vector<qsizetype> lineStarts{0};
    for (qsizetype i = 0; i < text.size(); ++i) {
        if (text[i] == u'\n')
            lineStarts.push_back(i + 1);
    }
    std::vector<const Problem *> all;
    for (const Problem &problem : problems)
        all.push_back(&problem);
    const auto offsetOf = [&](TextPos pos) -> qsizetype {
        return pos.line < int(lineStarts.size()) ? lineStarts[size_t(pos.line)] + pos.column : -1;
    };
    for (const TextEdit &edit : fixEdits(all, offsetOf))
        text.replace(edit.from, edit.length, edit.text);
    return text;
}

} // namespace Checker
