// Tavrelo starts here: the application's name and version, Qt's own texts in Greek, the fonts
// of its screens, the folder of the hand-off files, and the splash. Nothing else runs before
// the splash.

#include "app/handoff_folder.h"
#include "app/qt_texts.h"
#include "screens/screen_mechanics.h"
#include "screens/shell_screens.h"

#include <QApplication>

int main(int argc, char** argv)
{
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrelo"));
    QApplication::setApplicationVersion(QStringLiteral(TAVRELO_VERSION));
    // The desktop entry it is installed with, by which the desktop finds its name and icon.
    QApplication::setDesktopFileName(QStringLiteral("org.tavrelo.Tavrelo"));
    // The program ends when its last screen closes, whatever kind of window that is.
    QApplication::setQuitOnLastWindowClosed(false);
    // Qt's own texts (menus of text boxes, buttons of its dialogs) in Greek like the rest.
    tavrelo::installGreekQtTexts();
    tavrelo::prepareScreens();
    QApplication::setWindowIcon(tavrelo::applicationIcon());
    tavrelo::setHandoffFolder(tavrelo::defaultHandoffFolder());
    tavrelo::showScreen<tavrelo::frmSplash>();
    return app.exec();
}
