#include <QApplication>
#include <QTemporaryDir>

#include <gtest/gtest.h>

// Window tests run on the offscreen platform, with their own settings folder so that what the
// run view remembers never reaches the user's.
int main(int argc, char **argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QTemporaryDir config;
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
