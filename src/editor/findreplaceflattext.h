#pragma once

#include <QObject>
#include <QPointer>
#include <QString>

class QTextDocument;
class RichTextBox;

// The editing area's text as its document holds it, one paragraph separator
// (U+2029) per line break, the pieces of a long line joined (LinePieces
// converts its positions to the widget's).
// Built on first use and kept until the document changes, so that repeated
// searches do not copy the page each time.
class FindReplaceFlatText : public QObject {
public:
    explicit FindReplaceFlatText(RichTextBox &edit);

    // The text; a shallow copy that stays valid across later edits.
    QString text();

private:
    void attach(QTextDocument *document);
    void invalidate();

    RichTextBox &m_edit;
    QPointer<QTextDocument> m_document;
    QString m_text;
    bool m_valid = false;
};
