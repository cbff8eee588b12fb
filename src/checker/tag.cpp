#include "checker/tag.h"

namespace Checker {

QString Attribute::unquotedValue() const
{
    if (!quoted())
        return value;
    const bool closed = value.size() > 1 && value.back() == value.front();
    return value.mid(1, value.size() - (closed ? 2 : 1));
}

const Attribute *Tag::attribute(QStringView name) const
{
    for (const Attribute &attribute : attributes) {
        if (attribute.name.compare(name, Qt::CaseInsensitive) == 0)
            return &attribute;
    }
    return nullptr;
}

TextPos advance(TextPos start, QStringView text, qsizetype index)
{
    TextPos pos = start;
    for (qsizetype i = 0; i < index && i < text.size(); ++i) {
        if (text[i] == u'\n') {
            ++pos.line;
            pos.column = 0;
        } else {
            ++pos.column;
        }
    }
    return pos;
}

} // namespace Checker
