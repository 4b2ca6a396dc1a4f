// One QApplication for the chart tests on the offscreen platform, with the
// program's skin and languages; the charts are built from the skin's own
// "equalizer" node.
#include <gtest/gtest.h>

#include <QApplication>
#include <cstdlib>

#include "app/model_cfg.h"
#include "chart_harness.h"
#include "toolkit/qt_setup.h"
#include "ui/skin/languages.h"
#include "ui/skin/skin_setup.h"

int main(int argc, char** argv) {
    ::testing::InitGoogleTest(&argc, argv);
    // Test discovery runs this program without the tests' environment.
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    toolkit::PrepareQtEnvironment();
    QApplication app(argc, argv);
    toolkit::SetUpApplication();
    app::FillModelCfg();
    if (!ui::SetUpSkin()) {
        return 1;
    }
    ui::SetUpLanguages(app::CurrentModelCfg());
    if (!ui::testing::PrepareChartLayouts()) {
        return 1;
    }
    int result = RUN_ALL_TESTS();
    ui::testing::RemoveChartLayouts();
    return result;
}
