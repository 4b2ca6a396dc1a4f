// One QApplication for every test of the toolkit, on the offscreen platform.
#include <gtest/gtest.h>

#include <QApplication>

#include "toolkit/qt_setup.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    ::testing::GTEST_FLAG(death_test_style) = "threadsafe";
    toolkit::PrepareQtEnvironment();
    QApplication app(argc, argv);
    toolkit::SetUpApplication();
    return RUN_ALL_TESTS();
}
