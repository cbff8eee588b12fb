#pragma once

#include "document/pageformat.h"

#include <QObject>
#include <QString>

// Program-wide state of the one open document: the file it belongs to, the
// name last chosen in a file dialog, and the main window's caption. The main
// window owns the one instance and shows its caption; the document commands
// change it.
class DocumentSession : public QObject {
    Q_OBJECT
public:
    using QObject::QObject;

    // Full path of the document's file; "" while it has none.
    QString CurrentFile;
    // Bare name of the file last chosen in an Open or Save dialog.
    QString CurrentFileTitle;
    // Folder of the page last opened or saved, or last chosen in a dialog;
    // the file dialogs start there when the page has no file.
    QString lastFolder;

    QString caption() const { return m_caption; }
    void setCaption(const QString &caption);

    // The form the document's file is kept in (a new page's for a document
    // without file).
    const PageFormat &format() const { return m_format; }
    void setFormat(const PageFormat &format);

signals:
    void captionChanged(const QString &caption);
    void formatChanged(const PageFormat &format);

private:
    QString m_caption;
    PageFormat m_format;
};
