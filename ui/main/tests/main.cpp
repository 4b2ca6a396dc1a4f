// One QApplication for the main window tests, with the program's own skin
// and a settings folder of the tests' own.
#include <gtest/gtest.h>

#include <unistd.h>

#include <QApplication>
#include <cstdlib>
#include <filesystem>

#include "app/model_cfg.h"
#include "app/settings.h"
#include "app/startup.h"
#include "toolkit/qt_setup.h"
#include "ui/skin/display_scale.h"
#include "ui/skin/languages.h"
#include "ui/skin/skin_setup.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    auto config = std::filesystem::temp_directory_path() /
                  ("tq_main_window_tests_" + std::to_string(::getpid()));
    std::filesystem::create_directories(config);
    setenv("XDG_CONFIG_HOME", config.c_str(), 1);
    // Test programs run side by side: each keeps its own single-instance lock.
    setenv("XDG_RUNTIME_DIR", config.c_str(), 1);
    toolkit::PrepareQtEnvironment();
    QApplication app(argc, argv);
    toolkit::SetUpApplication();
    app::FillModelCfg();
    app::StartLogIfRequested();  // "savelog.ini" beside the tests turns the log on
    ui::SetDisplayScale(100);
    if (!ui::SetUpSkin()) {
        return 1;
    }
    ui::SetUpLanguages(app::CurrentModelCfg());
    int result = RUN_ALL_TESTS();
    std::error_code ignored;
    std::filesystem::remove_all(config, ignored);
    return result;
}
