#include "document/documentsession.h"

void DocumentSession::setCaption(const QString &caption)
{
    if (caption == m_caption)
        return;
    m_caption = caption;
    emit captionChanged(caption);
}

void DocumentSession::setFormat(const PageFormat &format)
{
    if (format == m_format)
        return;
    m_format = format;
    emit formatChanged(format);
}
