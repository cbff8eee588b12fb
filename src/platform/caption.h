#pragma once

#include <QString>

// The product name, which is also the caption of the main window while the
// document has no file and the caption of the program's message boxes.
inline const QString &ProductName()
{
    static const QString name = QStringLiteral("ZelmoHTML编辑器");
    return name;
}

// The main window's caption for a document stored at path ("" for none).
inline QString CaptionFor(const QString &path)
{
    return path.isEmpty() ? ProductName() : ProductName() + QStringLiteral("--") + path;
}
