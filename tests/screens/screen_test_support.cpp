#include "screen_test_support.h"

#include "data/file_io.h"
#include "screens/error_box.h"
#include "text/codepage.h"

#include <QAbstractItemView>
#include <QDir>
#include <QElapsedTimer>
#include <QLocale>

#ifdef _WIN32
#include <windows.h>
#endif

namespace tavrelo::test {

void pick(QComboBox* list, int row)
{
    list->showPopup();
    QAbstractItemView* view = list->view();
    const QRect item = view->visualRect(list->model()->index(row, 0));
    QTest::mouseClick(view->viewport(), Qt::LeftButton, {}, item.center());
    settle();
}

void click(QAbstractButton* button)
{
    QTest::mouseClick(button, Qt::LeftButton);
    settle();
}

void type(QWidget* box, const QString& text)
{
    box->setFocus();
    QTest::keyClicks(box, text);
}

bool waitUntil(const std::function<bool()>& done, int ms)
{
    QElapsedTimer timer;
    timer.start();
    while (!done()) {
        if (timer.elapsed() > ms)
            return false;
        QTest::qWait(10);
    }
    return true;
}

void settle()
{
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    QCoreApplication::processEvents();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
}

void closeAllScreens()
{
    for (QWidget* window : QApplication::topLevelWidgets())
        window->close();
    settle();
}

QString errorMessage()
{
    ErrorBox* box = openScreen<ErrorBox>();
    return box ? box->message() : QString();
}

void ScreenTest::SetUp()
{
    QLocale::setDefault(QLocale::c());
    std::filesystem::create_directories(handoff.folder());
    setHandoffFolder(handoff.folder());
}

void ScreenTest::TearDown()
{
    closeAllScreens();
    QLocale::setDefault(QLocale::c());
    QDir::setCurrent(QDir::tempPath());  // not inside the folder about to be removed
}

void ScreenTest::chooseCoordinateFile(const std::string& points)
{
    writeBytes(folder / "points.txt", utf8ToWindows1253(points));
    writeHandoffPath(handoff, (folder / "points.txt").string());
}

void saveScreenshot(QWidget* screen, const QString& name)
{
    const QDir dir(QStringLiteral(TAVRELO_SCREENSHOTS));
    dir.mkpath(QStringLiteral("."));
    screen->grab().save(dir.filePath(name + QStringLiteral(".png")));
}

QString chooserPath(const std::filesystem::path& path)
{
    return QDir::fromNativeSeparators(QString::fromStdString(utf8Path(path)));
}

#ifdef _WIN32
QString systemDriveRoot()
{
    return qEnvironmentVariable("SystemDrive", QStringLiteral("C:")).toUpper() + QLatin1Char('/');
}

QString missingDriveRoot()
{
    const DWORD drives = ::GetLogicalDrives();
    for (char letter = 'Z'; letter > 'C'; --letter)
        if (!(drives & (1u << (letter - 'A'))))
            return QString(QLatin1Char(letter)) + QStringLiteral(":/");
    ADD_FAILURE() << "every drive letter is taken";
    return QString();
}
#else
QString systemDriveRoot()
{
    return QStringLiteral("/");
}

QString missingDriveRoot()
{
    return QStringLiteral("/tavrelo-unplugged-volume");
}
#endif

}  // namespace tavrelo::test
