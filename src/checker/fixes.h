#pragma once

#include "checker/problem.h"

#include <QString>
#include <functional>
#include <vector>

namespace Checker {

// One replacement in a text: length characters at from become text.
struct TextEdit {
    qsizetype from = 0;
    qsizetype length = 0;
    QString text;
};

// The replacements of the fixes of problems, with offsetOf giving where a
// line and column stand in the text: from the last to the first, so that
// each can be made in turn without moving the others; replacements that
// overlap one already taken are left out.
std::vector<TextEdit> fixEdits(const std::vector<const Problem *> &problems,
                               const std::function<qsizetype(TextPos)> &offsetOf);

// text (line breaks "\n") with every fix of problems made.
QString applyFixes(QString text, const std::vector<Problem> &problems);

} // namespace Checker
