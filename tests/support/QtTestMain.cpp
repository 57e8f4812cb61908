// gtest main for tests that need Qt widgets: an offscreen QApplication around the tests.
#include <gtest/gtest.h>

#include <QApplication>
#include <QStandardPaths>

int main(int argc, char** argv) {
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    QApplication::setOrganizationName("VornTests");
    QStandardPaths::setTestModeEnabled(true);  // per-user settings go to a test folder
    testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
