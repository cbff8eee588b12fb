#include "sitesearch/sitesearchcommand.h"

#include "sitesearch/sitefiles.h"
#include "sitesearch/sitesearch.h"
#include "sitesearch/sitesearchrun.h"

#include <QFileInfo>

namespace SiteSearchCommand {

namespace {

using Outcome = SiteSearch::FileReport::Outcome;

struct Command {
    QString findText;
    QString replacement;
    bool replace = false;
    bool dryRun = false;
    SearchOptions options;
    QString include = SiteFiles::defaultPatterns();
    QStringList paths;
};

void print(std::FILE *stream, const QString &text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, size_t(bytes.size()), stream);
}

// The command, or the reason it is not one.
std::optional<Command> parse(const QStringList &arguments, QString &error)
{
    Command command;
    bool hasFind = false;
    bool options = true;
    for (qsizetype i = 0; i < arguments.size(); ++i) {
        const QString &argument = arguments[i];
        const auto value = [&](QString &target) {
            if (i + 1 >= arguments.size()) {
                error = QStringLiteral("%1 后面缺少参数").arg(argument);
                return false;
            }
            target = arguments[++i];
            return true;
        };
        if (!options || !argument.startsWith(QLatin1String("--"))) {
            command.paths << argument;
        } else if (argument == QLatin1String("--")) {
            options = false;
        } else if (argument == QLatin1String("--find")) {
            if (!value(command.findText))
                return std::nullopt;
            hasFind = true;
        } else if (argument == QLatin1String("--replace")) {
            if (!value(command.replacement))
                return std::nullopt;
            command.replace = true;
        } else if (argument == QLatin1String("--include")) {
            if (!value(command.include))
                return std::nullopt;
        } else if (argument == QLatin1String("--regex")) {
            command.options.regex = true;
        } else if (argument == QLatin1String("--word")) {
            command.options.wholeWord = true;
        } else if (argument == QLatin1String("--case")) {
            command.options.cs = Qt::CaseSensitive;
        } else if (argument == QLatin1String("--dry-run")) {
            command.dryRun = true;
        } else {
            error = QStringLiteral("不认识的选项：%1").arg(argument);
            return std::nullopt;
        }
    }
    if (!hasFind)
        error = QStringLiteral("缺少 --find");
    else if (command.dryRun && !command.replace)
        error = QStringLiteral("--dry-run 只能与 --replace 一起使用");
    else if (command.paths.isEmpty())
        error = QStringLiteral("请给出要查找的网页或文件夹");
    else if (SiteFiles::splitPatterns(command.include).isEmpty())
        error = QStringLiteral("--include 没有给出文件类型");
    if (!error.isEmpty())
        return std::nullopt;
    for (const QString &path : command.paths) {
        if (!QFileInfo::exists(path)) {
            error = QStringLiteral("%1：文件或文件夹不存在").arg(path);
            return std::nullopt;
        }
    }
    return command;
}

} // namespace

std::optional<int> run(const QStringList &arguments, std::FILE *out, std::FILE *err)
{
    if (!arguments.contains(QLatin1String("--find")))
        return std::nullopt;
    QString error;
    const std::optional<Command> command = parse(arguments, error);
    const SearchPattern pattern(command ? command->findText : QString(),
                                command ? command->options : SearchOptions());
    if (command && !pattern.isValid())
        error = pattern.error();
    if (!error.isEmpty()) {
        print(err, QStringLiteral("zelmohtml：%1\n").arg(error));
        return 2;
    }

    SiteSearchRun::Request request;
    request.kind = command->replace ? SiteSearchRun::Kind::Replace : SiteSearchRun::Kind::Find;
    request.dryRun = command->dryRun;
    request.paths = command->paths;
    request.patterns = SiteFiles::splitPatterns(command->include);
    request.options = command->options;
    request.findText = command->findText;
    request.replacement = command->replacement;
    SiteSearchRun run(std::move(request));
    bool found = false;
    bool failed = false;
    // Printed by the run's thread, in the order of the files.
    QObject::connect(
        &run, &SiteSearchRun::fileDone, &run,
        [&](const SiteSearch::FileReport &report) {
            const QString &path = report.path;
            switch (report.outcome) {
            case Outcome::Searched:
                found = found || !report.matches.empty();
                print(out, SiteSearch::matchLines(report));
                break;
            case Outcome::Changed:
                found = true;
                print(out, QStringLiteral("%1：%2 %3 处\n")
                               .arg(path, command->dryRun ? QStringLiteral("将替换")
                                                          : QStringLiteral("已替换"))
                               .arg(report.replaced));
                break;
            case Outcome::Skipped:
                print(err, QStringLiteral("%1：已跳过，%2\n").arg(path, report.reason));
                break;
            case Outcome::Unreadable:
            case Outcome::LeftAlone:
                found = found || report.replaced > 0;
                failed = true;
                print(err, QStringLiteral("%1：未修改，%2\n").arg(path, report.reason));
                break;
            }
            std::fflush(out);
        },
        Qt::DirectConnection);
    run.start();
    run.wait();
    return failed ? 2 : found ? 0 : 1;
}

QString usage()
{
    return QStringLiteral(
        "站点查找替换（--find）：在网页和文件夹（含子文件夹）中查找，每个网页按它自己的编码读取；\n"
        "每处匹配输出一行“路径:行:列: 该行文字”（UTF-8）。\n"
        "  --regex        查找文本是正则表达式（替换文本中 $0…$9 代表分组）\n"
        "  --word         全字匹配\n"
        "  --case         区分大小写\n"
        "  --include 类型 文件夹中要查找的文件，默认\n"
        "                 “*.htm;*.html;*.shtml;*.asp;*.php;*.css;*.js”\n"
        "  --replace 文本 全部替换，按各文件自己的编码、字节顺序标记和换行写回，\n"
        "                 每个修改的文件输出一行及替换的处数；未能修改的文件及原因\n"
        "                 输出到标准错误\n"
        "  --dry-run      只显示将要修改什么，不写入任何文件\n"
        "退出状态：找到了为 0，没找到为 1，出错（含有文件未能读取或修改）为 2。\n");
}

} // namespace SiteSearchCommand
