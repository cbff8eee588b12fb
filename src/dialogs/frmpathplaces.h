#pragma once

#include <QList>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>

// What the folder chooser offers in place of drives: the file system's root
// and every mounted volume, removable media included.
struct FolderDrive {
    QString root;  // the mount point, e.g. "/" or "/media/usb"
    QString label; // what the drive list shows
};

namespace FolderPlaces {

// The root first, then the mount points in name order, each once.
QList<FolderDrive> drives();

// The drive of a folder: the longest mount point among drives that holds
// it ("/" when none does).
QString driveOf(const QString &folder, const QList<FolderDrive> &drives);

// A folder path as the chooser shows and returns it: absolute, cleaned,
// without a trailing separator except for the root itself.
QString normalPath(const QString &folder);

// Whether the folder exists and can be opened and listed.
bool canEnter(const QString &folder);

// Where the chooser goes when it is centred over its owner: each offset is
// half the size difference without its sign.
QPoint centredOver(const QRect &owner, const QSize &chooser);

} // namespace FolderPlaces

// The path as the chooser's path label shows it; file systems here have no
// short names, so this is the path itself, or "" when it does not exist.
QString GetShortFileName(const QString &path);
