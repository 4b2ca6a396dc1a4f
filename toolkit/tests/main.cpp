// One QApplication for every test of the toolkit, on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "toolkit/qt_setup.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::GTEST_FLAG(death_test_style) = "threadsafe";
    // Test discovery runs this program without the tests' environment.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    toolkit::PrepareQtEnvironment();
    QApplication app(argc, argv);
    toolkit::SetUpApplication();
    return RUN_ALL_TESTS();
}
