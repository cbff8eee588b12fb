#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

// A fresh, empty TEMP folder for one test: Places::autosaveFolder() and the
// page source's folder name it while it lives, and TEMP is set back
// afterwards.
class TestTempFolder {
public:
    TestTempFolder() { qputenv("TEMP", m_dir.path().toLocal8Bit()); }
    ~TestTempFolder() { qputenv("TEMP", m_savedTemp); }

    QString path() const { return m_dir.path(); }
    QString filePath(const QString &name) const { return m_dir.filePath(name); }

private:
    QByteArray m_savedTemp = qgetenv("TEMP");
    QTemporaryDir m_dir;
};
