// One QApplication for the skin and dialog tests, with the program's own
// skin and a settings folder of the tests' own.
#include <gtest/gtest.h>
#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "app/model_cfg.h"
#include "toolkit/qt_setup.h"
#include "ui/skin/display_scale.h"
#include "ui/skin/skin_setup.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Test programs run side by side: each has a settings folder of its own.
    auto config = std::filesystem::temp_directory_path() /
                  ("tq_ui_skin_tests_config_" + std::to_string(::getpid()));
    std::filesystem::create_directories(config);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    // Test discovery runs this program without the tests' environment.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    toolkit::PrepareQtEnvironment();
    QApplication app(argc, argv);
    toolkit::SetUpApplication();
    app::FillModelCfg();
    ui::SetDisplayScale(100);
    if (!ui::SetUpSkin()) {
        return 1;
    }
    int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(config, ignored);
    return result;
}
