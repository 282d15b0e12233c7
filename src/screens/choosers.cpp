#include "screens/choosers.h"

#include "screens/file_lists.h"
#include "screens/message_dialogs.h"
#include "screens/screen_mechanics.h"
#include "text/failure.h"

#include <QDir>
#include <QFileInfo>
#include <QHash>

namespace tavrelo {

namespace {

QHash<QString, QString>& lastDirectories()
{
    static QHash<QString, QString> directories;
    return directories;
}

bool canList(const QString& directory)
{
    const QFileInfo info(directory);
    return info.isDir() && info.isReadable() && info.isExecutable();
}

}  // namespace

QString currentDirectoryOfDrive(const QString& root)
{
    const QString remembered = lastDirectories().value(root);
    if (!remembered.isEmpty() && canList(remembered))
        return remembered;
    const QString current = QDir::currentPath();
    if (driveOf(current) == root && canList(current))
        return current;
    return root;
}

QString joinChooserPath(const QString& directory, const QString& name)
{
    return QDir::toNativeSeparators(directory) + QDir::separator() + name;
}

void openChooserLists(DriveList* drive, DirectoryList* directory, FileList* files)
{
    const QString current = QDir::currentPath();
    drive->showDrive(driveOf(current));
    directory->showPath(current);
    files->setPath(current);
    QObject::connect(drive, &DriveList::changed, drive, [drive, directory] {
        runHandler([&] { chooseDrive(drive, directory); });
    });
    QObject::connect(directory, &DirectoryList::changed, directory, [directory, files] {
        runHandler([&] { chooseDirectory(directory, files); });
    });
}

void chooseDrive(DriveList* drive, DirectoryList* directory)
{
    const QString root = drive->drive();
    auto driveFailed = [&] {
        // The error shows without waiting; the drive list goes back to the system drive, and that
        // change runs in full before this one goes on.
        showScreen<Form7>();
        if (root != QDir::rootPath())
            drive->setDrive(QDir::rootPath());
    };

    // 1. Make the drive current.
    if (!canList(root) || !QDir::setCurrent(currentDirectoryOfDrive(root)))
        driveFailed();
    // 2. Show the drive's current directory (a directory change of its own).
    const QString shown = currentDirectoryOfDrive(drive->drive());
    if (!canList(shown)) {
        driveFailed();
        return;
    }
    directory->setPath(shown);
}

void chooseDirectory(DirectoryList* directory, FileList* files)
{
    const QString path = directory->path();
    if (!canList(path) || !QDir::setCurrent(path))
        throw Failure("Δεν ανοίγει ο φάκελος " + inQuotes(path.toStdString()) + ".");
    lastDirectories().insert(driveOf(path), path);
    files->setPath(path);
}

}  // namespace tavrelo
