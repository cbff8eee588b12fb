#pragma once

#include "editor/richtext.h"

#include <QPlainTextEdit>

// The editing area: a plain-text editor without line wrapping that offers the
// RichText model. Text positions of the model count a line break as two
// characters (CR LF); the widget's own positions count it as one. Converting
// between the two walks the document's blocks and never copies the text.
class RichTextBox : public QPlainTextEdit, public RichText {
    Q_OBJECT
public:
    explicit RichTextBox(QWidget *parent = nullptr);

    QString Text() const override;
    void setText(QString text) override;
    qsizetype textLength() const override;

    qsizetype SelStart() const override;
    void setSelStart(qsizetype start) override;
    qsizetype SelLength() const override;
    void setSelLength(qsizetype length) override;

    QString SelText() const override;
    void setSelText(const QString &text) override;

    // Position conversions between the model (CR LF = 2) and the widget
    // (line break = 1). A model position inside a CR LF maps to the end of
    // its line.
    qsizetype toModelPosition(int widgetPosition) const;
    int toWidgetPosition(qsizetype modelPosition) const;

    // Line breaks of any kind (CR LF, CR, LF) as the widget's own. Works in
    // place when the text is not shared.
    static QString normalizedLineBreaks(QString text);

signals:
    // Raised after every change of the text, typed or written by the program.
    void Change();
};
