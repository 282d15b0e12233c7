#pragma once
// Helpers for the screen tests: find controls by name, pick list entries and click as a user
// does, and a private hand-off folder for each test.

#include "screens/screen_mechanics.h"
#include "test_support.h"

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTest>

#include <gtest/gtest.h>

#include <functional>

namespace tavrelo::test {

template <class Control>
Control* control(QWidget* screen, const char* name)
{
    Control* found = screen ? screen->findChild<Control*>(QString::fromLatin1(name)) : nullptr;
    if (!found)
        ADD_FAILURE() << "no control " << name;
    return found;
}

// Picks entry `row` of a point list from its drop-down, as a mouse click does.
void pick(QComboBox* list, int row);

void click(QAbstractButton* button);

// Types `text` into a box, as the keyboard does.
void type(QWidget* box, const QString& text);

// Waits, letting events run, until `done` holds; false when it still does not after `ms`.
bool waitUntil(const std::function<bool()>& done, int ms = 20000);

// Lets pending events run, deferred deletions included.
void settle();

// Closes every window, so the next test starts with none open.
void closeAllScreens();

// The message of the open error box, or an empty text when none is open.
QString errorMessage();

// A fresh hand-off folder and coordinate file for a screen test.
class ScreenTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;
    // Writes `points` (UTF-8 here, Windows-1253 in the file) as the coordinate file and names
    // it in the hand-off folder.
    void chooseCoordinateFile(const std::string& points);

    TempFolder folder;
    HandoffFiles handoff{folder / "state"};
};

// Where screenshots go: the build folder's "screenshots" folder.
void saveScreenshot(QWidget* screen, const QString& name);

// Paths in the file choosers' tests, the same on either system. The choosers show a path with
// "/" separators, on Windows after its drive ("C:/Users/..."), and record it with the system's
// own separators ("C:\Users\...").
QString chooserPath(const std::filesystem::path& path);
// The root of the system drive, where a chooser falls back when a drive fails: "/" on Linux,
// "C:/" (the system drive's letter) on Windows.
QString systemDriveRoot();
// The root of a drive that no volume answers to: a folder under "/" that does not exist on
// Linux, a drive letter that this computer does not have on Windows.
QString missingDriveRoot();

}  // namespace tavrelo::test

// Readable QString values in test failure messages.
inline void PrintTo(const QString& text, std::ostream* out)
{
    *out << '"' << text.toStdString() << '"';
}

