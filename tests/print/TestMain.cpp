#include "print/Printer.h"

#include <QApplication>

#include <gtest/gtest.h>

int main(int argc, char *argv[])
{
    // Printing needs fonts and pictures, never a display.
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    testing::InitGoogleTest(&argc, argv);
    QApplication app(argc, argv);
    // The print plugin is built beside the program.
    jhk::setPrintPluginFolder(QStringLiteral(JHK_APP_DIR));
    return RUN_ALL_TESTS();
}
