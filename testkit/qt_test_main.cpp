// The one main of every Qt test program: a QApplication on the offscreen
// platform and a settings folder of the program's own. What a program needs
// beyond that (the skin, the languages) it registers as a GoogleTest
// environment.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "testkit/temp_dir.h"
#include "toolkit/qt_setup.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::GTEST_FLAG(death_test_style) = "threadsafe";
    // Test programs run side by side: each has its own settings and its own
    // single-instance lock.
    testkit::TempDir settings;
    setenv("XDG_CONFIG_HOME", settings.path().c_str(), 1);
    setenv("XDG_RUNTIME_DIR", settings.path().c_str(), 1);
    // Test discovery runs the program without the tests' environment.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    toolkit::PrepareQtEnvironment();
    QApplication app(argc, argv);
    toolkit::SetUpApplication();
    return RUN_ALL_TESTS();
}
