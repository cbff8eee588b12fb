#include "document/standarddocument.h"

#include <QStringList>

QString HomePageAddress()
{
    return QStringLiteral("http://www.zelmohtml.com/");
}

QString StandardDocument()
{
    const QStringList lines = {
        QStringLiteral("<html>"),
        QStringLiteral("<head>"),
        QStringLiteral("<Meta http-equiv=Content-Type content=text/html charset=gb2312>"),
        QStringLiteral(
            "<Meta name=\"keywords\" content=\"ZelmoHTML编辑器,Torvin,博客,软件,Torvin软件"
            "屋,Marrow,Quillwork,源代码,控件,Marrow文摘\">"),
        QStringLiteral("<title>标题</title>"),
        QStringLiteral("<style>"),
        QStringLiteral("body{font-size:11pt;}"),
        QStringLiteral("a{text-decoration:none;}"),
        QStringLiteral("</style>"),
        QString(),
        QStringLiteral("</head>"),
        QStringLiteral("<body topmargin=2 leftmargin=2 bgcolor=#ffffff>"),
        QStringLiteral("<base target=_blank>"),
        QStringLiteral(
            "<!--work by ZelmoHTML编辑器 ! html以下至/body为正文编辑区,请你编辑HTML-->") +
            QStringLiteral("<!-- work by ") + HomePageAddress() + QStringLiteral(" -->"),
        QString(),
        QString(),
        QStringLiteral("</body>"),
        QStringLiteral("</html>"),
    };
    return lines.join(u'\r');
}
