#pragma once
// How every screen is shown, closed and how it reports a failure.
//
// A screen is shown without blocking. It is created on first showing (its constructor is its
// load event), brought to the front when shown again while open, and destroyed when it closes
// itself, so the next showing builds it afresh.

#include "data/handoff_files.h"
#include "data/value.h"

#include <QFont>
#include <QPointer>
#include <QString>
#include <QWidget>

#include <filesystem>
#include <functional>
#include <optional>
#include <string>

class QAbstractButton;
class QLabel;

namespace tavrelo {

void bringToFront(QWidget* screen);

// The program ends when its last screen has closed: called for every screen shown.
void endWhenLastScreenCloses(QWidget* screen);

// The one open window of type Screen, or null.
template <class Screen>
QPointer<Screen>& openScreen()
{
    static QPointer<Screen> screen;
    return screen;
}

template <class Screen>
Screen* showScreen()
{
    QPointer<Screen>& open = openScreen<Screen>();
    if (open) {
        bringToFront(open);
        return open;
    }
    auto* screen = new Screen();
    screen->setAttribute(Qt::WA_DeleteOnClose);
    endWhenLastScreenCloses(screen);
    open = screen;
    screen->show();
    bringToFront(screen);
    return screen;
}

// Runs a screen handler. A Failure (or any other error) stops it where it happened and is
// shown in the error box; the program goes on.
void runHandler(const std::function<void()>& handler);

// Shows `message` in the modeless error box, titled "ERROR".
void reportFailure(const QString& message);

// The folder of the hand-off files, set once at start-up (and by tests).
void setHandoffFolder(const std::filesystem::path& folder);
HandoffFiles handoffFiles();

// The decimal separator of the user's number format (QLocale()), when it is one ASCII
// character; '.' otherwise.
char regionalSeparator();

// Bytes of a coordinate file (Windows-1253) as screen text.
QString fromFileText(const std::string& bytes);

// A value as a box shows it: a number in the general number form with the regional separator,
// a text as read, empty as empty text.
QString displayValue(const Value& value);
QString displayNumber(double value);

// A number with a fixed count of decimals and the regional separator, no digit grouping
// ("0.012", "-1,250"), as tables of residuals show them; negative zero is shown as zero.
QString fixedDecimals(double value, int decimals);

// A figure in its form at its meaning (text/measure_form.h) with the regional separator, as
// in shownFigure(lengthForm, fit.Dh); an absent one is empty.
QString shownFigure(std::string (*form)(double, char), double value);
QString shownFigure(std::string (*form)(double, char), const std::optional<double>& value);

// A file's path as the least-squares screen and its report show it: one in the user's home
// folder from "~/" ("~/Εργασίες/survey.txt"), as a desktop shows it; any other in full.
QString shownPath(const std::string& path);

// Once, before the first screen: the program's pictures, and the fonts named for its screens
// mapped to installed Greek-capable faces.
void prepareScreens();
QFont screenFont(const char* family, double pointSize, bool bold = false, bool italic = false,
                 bool underline = false);

// The program's window icon, the hand-shaped pointer of its buttons, and a window icon that is
// empty (for the dialogs that carry none).
QIcon applicationIcon();
QIcon noIcon();
void useHandPointer(QAbstractButton* button);

// Red text, as the warnings use.
void makeRed(QWidget* widget);

}  // namespace tavrelo
