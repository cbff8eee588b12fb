#include "programfolder.h"

#include "platform/places.h"
#include "testfiles.h"

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
    return readBytes(filePath(name));
}

void TestProgramFolder::writeFile(const QString &name, const QByteArray &bytes) const
{
    writeBytes(filePath(name), bytes);
}
