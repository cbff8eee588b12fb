#pragma once

#include <QByteArray>
#include <QString>

// Whole files for tests. readBytes gives "<missing>" for a file that cannot
// be read, so that a missing file never equals expected bytes.
QByteArray readBytes(const QString &path);
// Writes the bytes, failing the running test when that is not possible.
void writeBytes(const QString &path, const QByteArray &bytes);
