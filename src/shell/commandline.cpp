#include "shell/commandline.h"

#include "dialogs/fraaboutinfo.h"
#include "sitesearch/sitesearchcommand.h"

QString CommandLinePath(const QStringList &arguments)
{
    QString path = arguments.join(u' ');
    path.remove(u'"');
    return path;
}

std::optional<QString> CommandLineAnswer(const QStringList &arguments)
{
    if (arguments.size() != 1)
        return std::nullopt;
    const QString &option = arguments.first();
    if (option == QLatin1String("--version"))
        return VersionLine() + u'\n';
    if (option != QLatin1String("--help") && option != QLatin1String("-h"))
        return std::nullopt;
    return QStringLiteral(
               "用法：zelmohtml [网页文件]\n"
               "      zelmohtml --goto 行[:列] 网页文件\n"
               "      zelmohtml --find 文本 [--regex] [--word] [--case] [--include 类型]\n"
               "                [--replace 文本 [--dry-run]] 路径...\n"
               "      zelmohtml --check [--quiet] 网页文件...\n"
               "ZelmoHTML编辑器：编辑网页的 HTML 源代码。\n"
               "\n"
               "不含 --find 或 --check 时，整个命令行就是启动时要打开的一个文件的路径，\n"
               "其中的双引号会被去掉。\n"
               "\n"
               "  --goto 行[:列]  须在最前，后接网页：打开后光标在该行该列，\n"
               "                 从 1 数起，与状态栏的数法相同\n"
               "  -h, --help   显示本帮助并退出（须是唯一的参数）\n"
               "  --version    显示版本并退出（须是唯一的参数）\n"
               "  --check      不开窗口，检查各网页的错误，每个问题一行：\n"
               "               路径:行:列: 错误|警告: 说明 [代码]\n"
               "               加 --quiet 只显示各网页的错误和警告数。\n"
               "               退出码：没有错误为 0，有错误为 1，有网页无法读取为 2\n"
               "\n") +
           SiteSearchCommand::usage() +
           QStringLiteral("\n"
                          "名为“--help”等的网页请这样打开：zelmohtml ./--help\n"
                          "设置、预览和自动保存文件的位置见 zelmohtml(1)。\n");
}
