#include "document/pagememory.h"

#include <QFile>
#include <algorithm>
#include <sys/resource.h>
#include <unistd.h>

namespace PageMemory {

namespace {

// The many bytes of memory one byte of a page became when opened, measured
// on large pages, rounded up.
constexpr qint64 kBytesPerByte = 14;

// "MemAvailable:" of /proc/meminfo in bytes; -1 when not there.
qint64 systemAvailable()
{
    QFile info(QStringLiteral("/proc/meminfo"));
    if (!info.open(QIODevice::ReadOnly))
        return -1;
    while (!info.atEnd()) {
        const QByteArray line = info.readLine();
        if (line.startsWith("MemAvailable:"))
            return line.mid(13).trimmed().split(' ').value(0).toLongLong() * 1024;
    }
    return -1;
}

// What a limit on this process leaves of it; -1 when there is none.
qint64 leftUnder(int resource, qint64 used)
{
    rlimit limit{};
    if (::getrlimit(resource, &limit) != 0 || limit.rlim_cur == RLIM_INFINITY)
        return -1;
    return std::max<qint64>(0, qint64(limit.rlim_cur) - used);
}

// The process's address space in bytes.
qint64 addressSpaceUsed()
{
    QFile statm(QStringLiteral("/proc/self/statm"));
    if (!statm.open(QIODevice::ReadOnly))
        return 0;
    return statm.readAll().split(' ').value(0).toLongLong() * ::sysconf(_SC_PAGESIZE);
}

} // namespace

qint64 neededFor(qint64 fileBytes)
{
    return fileBytes * kBytesPerByte;
}

qint64 available()
{
    const qint64 used = addressSpaceUsed();
    qint64 least = -1;
    for (const qint64 bound :
         {systemAvailable(), leftUnder(RLIMIT_AS, used), leftUnder(RLIMIT_DATA, used)}) {
        if (bound >= 0)
            least = least < 0 ? bound : std::min(least, bound);
    }
    return least;
}

} // namespace PageMemory
