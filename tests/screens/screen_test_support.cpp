#include "screen_test_support.h"

#include "screens/error_box.h"
#include "text/codepage.h"

#include <QAbstractItemView>
#include <QDir>
#include <QElapsedTimer>
#include <QLocale>

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

}  // namespace tavrelo::test
