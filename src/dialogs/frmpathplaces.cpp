#include "dialogs/frmpathplaces.h"

#include <QDir>
#include <QFileInfo>
#include <QStorageInfo>
#include <algorithm>
#include <cstdlib>

namespace FolderPlaces {

QList<FolderDrive> drives()
{
    QList<FolderDrive> list;
    const QString root = QDir::rootPath();
    list.append({root, root});
    QList<QStorageInfo> volumes = QStorageInfo::mountedVolumes();
    std::sort(volumes.begin(), volumes.end(), [](const QStorageInfo &a, const QStorageInfo &b) {
        return a.rootPath() < b.rootPath();
    });
    for (const QStorageInfo &volume : volumes) {
        const QString path = normalPath(volume.rootPath());
        if (path.isEmpty() || path == root)
            continue;
        const bool known = std::any_of(list.cbegin(), list.cend(),
                                       [&](const FolderDrive &d) { return d.root == path; });
        if (known)
            continue;
        const QString name = volume.name();
        list.append({path, name.isEmpty() ? path : path + QStringLiteral(" [") + name + u']'});
    }
    return list;
}

QString normalPath(const QString &folder)
{
    if (folder.isEmpty())
        return QString();
    return QDir::cleanPath(QFileInfo(folder).absoluteFilePath());
}

QString driveOf(const QString &folder, const QList<FolderDrive> &drives)
{
    const QString path = normalPath(folder);
    QString best = QDir::rootPath();
    for (const FolderDrive &drive : drives) {
        const QString &root = drive.root;
        const bool holds =
            path == root || root == QDir::rootPath() || path.startsWith(root + QLatin1Char('/'));
        if (holds && root.size() > best.size())
            best = root;
    }
    return best;
}

bool canEnter(const QString &folder)
{
    if (folder.isEmpty() || folder.contains(QChar(u'\0')))
        return false;
    const QFileInfo info(folder);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

QPoint centredOver(const QRect &owner, const QSize &chooser)
{
    return QPoint(owner.left() + std::abs(owner.width() - chooser.width()) / 2,
                  owner.top() + std::abs(owner.height() - chooser.height()) / 2);
}

} // namespace FolderPlaces

QString GetShortFileName(const QString &path)
{
    if (path.isEmpty() || path.contains(QChar(u'\0')) || !QFileInfo::exists(path))
        return QString();
    return path;
}
