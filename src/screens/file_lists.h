#pragma once
// The three list controls of the file choosers: drives, directories and "*.txt" files.

#include <QComboBox>
#include <QListView>
#include <QTreeView>

class QFileSystemModel;

namespace tavrelo {

class DriveRootFilter;

// The mounted volumes that hold user files, "/" first. Its value is the chosen volume's root
// path; choosing an entry, or setting the value from code, raises changed().
class DriveList : public QComboBox {
    Q_OBJECT
public:
    explicit DriveList(QWidget* parent = nullptr);

    QString drive() const;
    void setDrive(const QString& root);
    // Shows `root` as the value without raising changed(), as the list starts.
    void showDrive(const QString& root);

    // The root paths of the mounted, ready volumes that hold user files, "/" first.
    static QStringList availableDrives();

signals:
    void changed();

private:
    int entryOf(const QString& root);
};

// A directory with its subdirectories, on the tree of its volume. Its value is the directory;
// opening another one (double click or Enter), or setting the value from code, raises
// changed().
class DirectoryList : public QTreeView {
    Q_OBJECT
public:
    explicit DirectoryList(QWidget* parent = nullptr);

    QString path() const { return path_; }
    void setPath(const QString& path);
    void showPath(const QString& path);

signals:
    void changed();

private:
    void revealPath();

    QFileSystemModel* model_;
    DriveRootFilter* filter_;
    QString path_;
};

// The names of the files of one directory that match "*.txt". A click on a name selects it
// and raises fileClicked(); pointing the list at another directory leaves nothing selected.
class FileList : public QListView {
    Q_OBJECT
public:
    explicit FileList(QWidget* parent = nullptr);

    QString path() const { return path_; }
    void setPath(const QString& path);
    // The selected file's name (without path); empty while nothing is selected.
    QString fileName() const;
    // The names listed, in order (once the directory has been read).
    QStringList fileNames() const;

signals:
    void fileClicked();

private:
    QFileSystemModel* model_;
    QString path_;
};

// The root path of the volume that holds `path`.
QString driveOf(const QString& path);

}  // namespace tavrelo
