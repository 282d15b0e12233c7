#pragma once
// What the three file choosers share: the drive and directory changes, which move the
// process's current directory, so each chooser opens where the last navigation in any
// chooser ended.

#include <QString>

namespace tavrelo {

class DriveList;
class DirectoryList;
class FileList;

// Shows the process's current drive, directory and its "*.txt" files, as a chooser opens,
// and wires the drive and directory lists to chooseDrive and chooseDirectory.
void openChooserLists(DriveList* drive, DirectoryList* directory, FileList* files);

// Drive change: makes the chosen drive current and shows its current directory. A drive that
// cannot be read shows Form7 and falls back to the system drive ("/", on Windows C:), whose change runs in full first.
void chooseDrive(DriveList* drive, DirectoryList* directory);

// Directory change: makes the directory the process's current one and lists its files.
void chooseDirectory(DirectoryList* directory, FileList* files);

// The current directory of a drive: the last directory visited on it during this run, its
// root at first.
QString currentDirectoryOfDrive(const QString& root);

// A path joined as the choosers join it: the directory, one separator always inserted, the name.
QString joinChooserPath(const QString& directory, const QString& name);

}  // namespace tavrelo
