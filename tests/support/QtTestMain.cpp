// gtest main for tests that need Qt widgets: an offscreen QApplication around the tests.
#include <gtest/gtest.h>

#include <QApplication>
#include <QDir>
#include <QTemporaryDir>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    // Per-user settings go to a folder of this process's own: ctest runs test processes side by
    // side, and one clearing the settings must not wipe what another just saved.
    QTemporaryDir config(QDir::tempPath() + "/vorn-test-config-XXXXXX");
    qputenv("XDG_CONFIG_HOME", config.path().toLocal8Bit());
    QApplication app(argc, argv);
    QApplication::setOrganizationName("VornTests");
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
