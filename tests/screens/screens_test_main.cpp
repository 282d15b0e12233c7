// The screen tests run in a real QApplication on Qt's offscreen platform: no display needed.

#include "screens/screen_mechanics.h"

#include <QApplication>

#include <gtest/gtest.h>

#include <cstdlib>

int main(int argc, char** argv)
{
    if (!qEnvironmentVariableIsSet("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tavrelo"));
    QApplication::setApplicationVersion(QStringLiteral(TAVRELO_VERSION));
    tavrelo::prepareScreens();
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
