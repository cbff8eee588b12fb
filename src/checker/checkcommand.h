#pragma once

#include <QString>
#include <QStringList>
#include <optional>

// "zelmohtml --check [--quiet] FILE...": checks pages without a window and
// prints one line a problem in the form compilers use,
// "PATH:LINE:COLUMN: 错误: message [code]", or with --quiet one line of
// counts a page. Each page is read in its own encoding, as opening it does.
namespace CheckCommand {

struct Result {
    int exitCode = 0; // 0 no errors, 1 a page has errors, 2 a page could not be read
    QString output;   // for standard output
    QString errors;   // for standard error
};

// The check's result when the arguments (without the program's name) ask
// for one; nothing otherwise.
std::optional<Result> run(const QStringList &arguments);

} // namespace CheckCommand
