#include "screens/file_lists.h"

#include <QDir>
#include <QFileInfo>
#include <QFileSystemModel>
#include <QHeaderView>
#include <QSortFilterProxyModel>
#include <QStorageInfo>
#include <QTimer>

#include <algorithm>

namespace tavrelo {

namespace {

// File systems of the kernel and the runtime, which hold no user files.
bool isPseudoVolume(const QStorageInfo& volume)
{
    static const QStringList types = {"proc", "sysfs", "devtmpfs", "devpts", "cgroup", "cgroup2", "securityfs",
                                      "pstore", "bpf", "debugfs", "tracefs", "mqueue", "hugetlbfs", "configfs",
                                      "fusectl", "autofs", "binfmt_misc", "efivarfs", "nsfs", "ramfs", "squashfs"};
    const QString type = QString::fromLatin1(volume.fileSystemType());
    const QString root = volume.rootPath();
    if (types.contains(type))
        return true;
    for (const char* runtime : {"/proc", "/sys", "/dev", "/run", "/snap"})
        if (root == QLatin1String(runtime) || root.startsWith(QLatin1String(runtime) + QLatin1Char('/')))
            return true;
    return !QFileInfo(root).isDir();  // a single file bound into the tree
}

// How a drive shows in the list: its root path; on Windows the drive letter with the
// volume's label, "c: [SYSTEM]", as Windows' own drive lists show it.
QString driveLabel(const QString& root)
{
#ifdef Q_OS_WIN
    const QString letter = root.left(2).toLower();
    const QString name = QStorageInfo(root).name();
    return name.isEmpty() ? letter : letter + QStringLiteral(" [") + name + QLatin1Char(']');
#else
    return root;
#endif
}

}  // namespace

QString driveOf(const QString& path)
{
    const QStorageInfo volume(path);
    return volume.isValid() ? volume.rootPath() : QDir::rootPath();
}

DriveList::DriveList(QWidget* parent) : QComboBox(parent)
{
    for (const QString& root : availableDrives())
        addItem(driveLabel(root), root);
    setCurrentIndex(-1);
    connect(this, &QComboBox::activated, this, [this](int index) { setDrive(itemData(index).toString()); });
}

QStringList DriveList::availableDrives()
{
    QStringList others;
    for (const QStorageInfo& volume : QStorageInfo::mountedVolumes())
        if (volume.isValid() && volume.isReady() && !isPseudoVolume(volume) && volume.rootPath() != QDir::rootPath())
            others << volume.rootPath();
    others.removeDuplicates();
    std::sort(others.begin(), others.end());
    return QStringList{QDir::rootPath()} + others;
}

int DriveList::entryOf(const QString& root)
{
    int index = findData(root);
    if (index < 0) {
        addItem(driveLabel(root), root);
        index = count() - 1;
    }
    return index;
}

QString DriveList::drive() const
{
    return currentData().toString();
}

void DriveList::showDrive(const QString& root)
{
    setCurrentIndex(entryOf(root));
}

void DriveList::setDrive(const QString& root)
{
    showDrive(root);
    emit changed();
}

// Shows one volume's tree: the volume's root and what lies below it.
class DriveRootFilter : public QSortFilterProxyModel {
public:
    using QSortFilterProxyModel::QSortFilterProxyModel;
    void setRoot(const QString& root)
    {
        root_ = root;
        invalidateFilter();
    }

protected:
    bool filterAcceptsRow(int row, const QModelIndex& parent) const override
    {
        const auto* files = static_cast<const QFileSystemModel*>(sourceModel());
        const QString path = files->filePath(files->index(row, 0, parent));
        return path == root_ || path.startsWith(root_.endsWith(QLatin1Char('/')) ? root_ : root_ + QLatin1Char('/'));
    }

private:
    QString root_ = QDir::rootPath();
};

DirectoryList::DirectoryList(QWidget* parent)
    : QTreeView(parent), model_(new QFileSystemModel(this)), filter_(new DriveRootFilter(this))
{
    model_->setFilter(QDir::AllDirs | QDir::NoDotAndDotDot | QDir::Drives);
    filter_->setSourceModel(model_);
    setModel(filter_);
    for (int column = 1; column < model_->columnCount(); ++column)
        hideColumn(column);
    header()->hide();
    setUniformRowHeights(true);
    setExpandsOnDoubleClick(false);
    // The folders are read in the background: once a folder on the way down has been read,
    // show the way again.
    connect(model_, &QFileSystemModel::directoryLoaded, this, [this](const QString& loaded) {
        if (path_ == loaded || path_.startsWith(loaded.endsWith(QLatin1Char('/')) ? loaded : loaded + QLatin1Char('/')))
            revealPath();
    });
    connect(this, &QTreeView::activated, this, [this](const QModelIndex& index) {
        setPath(model_->filePath(filter_->mapToSource(index)));
    });
}

void DirectoryList::showPath(const QString& path)
{
    path_ = QDir::cleanPath(QDir(path).absolutePath());
    const QString root = driveOf(path_);
    model_->setRootPath(root);
    filter_->setRoot(root);
    const QModelIndex rootIndex = model_->index(root);
    setRootIndex(filter_->mapFromSource(rootIndex.parent()));
    revealPath();
}

void DirectoryList::revealPath()
{
    // The way down from the volume's root to the directory is open, the directory current.
    const QModelIndex current = filter_->mapFromSource(model_->index(path_));
    for (QModelIndex up = current.parent(); up.isValid(); up = up.parent())
        expand(up);
    setCurrentIndex(current);
    // After the tree has laid out what the expansions opened.
    QTimer::singleShot(0, this, [this] { scrollTo(currentIndex()); });
}

void DirectoryList::setPath(const QString& path)
{
    showPath(path);
    emit changed();
}

FileList::FileList(QWidget* parent) : QListView(parent), model_(new QFileSystemModel(this))
{
    model_->setFilter(QDir::Files | QDir::NoDotAndDotDot);
    model_->setNameFilters({QStringLiteral("*.txt")});
    model_->setNameFilterDisables(false);
    setModel(model_);
    setSelectionMode(QAbstractItemView::SingleSelection);
    connect(this, &QAbstractItemView::clicked, this, [this](const QModelIndex& index) {
        if (index.isValid())
            emit fileClicked();
    });
    // Moving through the names with the keyboard selects as a click does.
    connect(selectionModel(), &QItemSelectionModel::currentChanged, this, [this](const QModelIndex& index) {
        if (index.isValid() && selectionModel()->isSelected(index) && !fileName().isEmpty())
            emit fileClicked();
    });
}

void FileList::setPath(const QString& path)
{
    path_ = path;
    model_->setRootPath(path);
    setRootIndex(model_->index(path));
    model_->sort(0, Qt::AscendingOrder);
    clearSelection();
    selectionModel()->setCurrentIndex(QModelIndex(), QItemSelectionModel::Clear);
}

QString FileList::fileName() const
{
    const QModelIndexList selected = selectionModel()->selectedIndexes();
    return selected.isEmpty() ? QString() : model_->fileName(selected.first());
}

QStringList FileList::fileNames() const
{
    QStringList names;
    const QModelIndex root = rootIndex();
    for (int row = 0; row < model_->rowCount(root); ++row)
        names << model_->fileName(model_->index(row, 0, root));
    return names;
}

}  // namespace tavrelo
