#include "programfolder.h"

#include "platform/places.h"

#include <QFile>

TestProgramFolder::TestProgramFolder()
{
    Places::setProgramFolder(m_dir.path());
}

TestProgramFolder::~TestProgramFolder()
{
    Places::setProgramFolder(QString());
}

QByteArray TestProgramFolder::readFile(const QString &name) const
{
    QFile file(filePath(name));
    if (!file.open(QIODevice::ReadOnly))
        return QByteArray();
    return file.readAll();
}

void TestProgramFolder::writeFile(const QString &name, const QByteArray &bytes) const
{
    QFile file(filePath(name));
    if (file.open(QIODevice::WriteOnly))
        file.write(bytes);
}
