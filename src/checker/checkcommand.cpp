#include "checker/checkcommand.h"

#include "checker/pagechecker.h"
#include "document/pagefile.h"

namespace CheckCommand {

std::optional<Result> run(const QStringList &arguments)
{
    if (arguments.value(0) != QLatin1String("--check"))
        return std::nullopt;
    Result result;
    bool quiet = false;
    bool optionsOver = false;
    QStringList paths;
    for (const QString &argument : arguments.mid(1)) {
        if (!optionsOver && argument == QLatin1String("--quiet"))
            quiet = true;
        else if (!optionsOver && argument == QLatin1String("--"))
            optionsOver = true;
        else
            paths << argument;
    }
    if (paths.isEmpty()) {
        result.errors = QStringLiteral("用法：zelmohtml --check [--quiet] 网页文件...\n");
        result.exitCode = 2;
        return result;
    }
    bool unreadable = false;
    bool errors = false;
    for (const QString &path : paths) {
        const PageFile::ReadResult page = PageFile::read(path);
        if (!page.ok) {
            result.errors += QStringLiteral("%1: 无法读取：%2\n").arg(path, page.error);
            unreadable = true;
            continue;
        }
        int errorCount = 0;
        int warningCount = 0;
        for (const Checker::Problem &problem :
             Checker::checkPage(page.text, page.format.encoding)) {
            const bool error = problem.severity == Checker::Severity::Error;
            ++(error ? errorCount : warningCount);
            if (!quiet) {
                result.output += QStringLiteral("%1:%2:%3: %4: %5 [%6]\n")
                                     .arg(path)
                                     .arg(problem.pos.line + 1)
                                     .arg(problem.pos.column + 1)
                                     .arg(Checker::severityText(problem.severity), problem.message,
                                          problem.code);
            }
        }
        errors = errors || errorCount > 0;
        if (quiet)
            result.output +=
                QStringLiteral("%1: %2 错误 %3 警告\n").arg(path).arg(errorCount).arg(warningCount);
    }
    result.exitCode = unreadable ? 2 : errors ? 1 : 0;
    return result;
}

} // namespace CheckCommand
