#include "checker/encodingchecks.h"

#include "checker/tag.h"
#include "platform/encodinglabels.h"
#include "platform/htmlprescan.h"
#include "platform/textcodec.h"

#include <QRegularExpression>

using Checker::Problem;
using Checker::Severity;
using Checker::TextPos;

namespace EncodingChecks {

namespace {

// Browsers look for the declaration in the first 1024 bytes only.
constexpr qsizetype kPrescanBytes = 1024;

QString canonical(const QString &encoding)
{
    const QString name = EncodingLabels::nameForLabel(encoding);
    return name.isEmpty() ? encoding : name;
}

// The label at labelStart names the encoding declared.
void compare(QStringView head, qsizetype labelStart, qsizetype labelLength, const QString &declared,
             const QString &encoding, std::vector<Problem> &out)
{
    const TextPos pos = Checker::advance({}, head, labelStart);
    if (declared.compare(canonical(encoding), Qt::CaseInsensitive) != 0) {
        out.push_back(Problem{pos,
                              qMax<qsizetype>(labelLength, 1),
                              Severity::Error,
                              QLatin1StringView("charset-mismatch"),
                              QStringLiteral("页面声明的编码是 %1，但它实际是 %2 编码")
                                  .arg(head.mid(labelStart, labelLength).toString(), encoding),
                              {}});
    }
    const TextCodec *codec = TextCodec::forName(encoding);
    const qsizetype bytes = codec ? codec->encode(head.left(labelStart)).size() : labelStart;
    if (bytes >= kPrescanBytes) {
        out.push_back(Problem{pos,
                              qMax<qsizetype>(labelLength, 1),
                              Severity::Warning,
                              QLatin1StringView("late-charset"),
                              QStringLiteral("编码声明在页面的第 %1 字节，浏览器只在前 1024 "
                                             "字节中寻找它：请移到 <head> 的最前面")
                                  .arg(bytes + 1),
                              {}});
    }
}

} // namespace

void check(QStringView head, bool nonAscii, const QString &encoding, std::vector<Problem> &out)
{
    static const QRegularExpression xmlDeclaration(
        QStringLiteral(R"(^\s*<\?xml[^>]*?\bencoding\s*=\s*["']([^"']*)["'])"));
    bool declared = false;
    const QRegularExpressionMatch xml =
        xmlDeclaration.match(head.left(kPrescanBytes * 4).toString());
    if (xml.hasMatch()) {
        declared = true;
        compare(head, xml.capturedStart(1), xml.capturedLength(1), canonical(xml.captured(1)),
                encoding, out);
    }
    if (const auto declaration = HtmlPrescan::find(head)) {
        declared = true;
        compare(head, declaration->labelStart, declaration->labelLength, declaration->encoding,
                encoding, out);
    }
    if (!declared && nonAscii) {
        out.push_back(Problem{TextPos{},
                              1,
                              Severity::Warning,
                              QLatin1StringView("missing-charset"),
                              QStringLiteral("页面含有非 ASCII 的文字，却没有声明编码（可在 <head> "
                                             "中加上 <meta charset=\"%1\">）")
                                  .arg(encoding),
                              {}});
    }
}

} // namespace EncodingChecks
