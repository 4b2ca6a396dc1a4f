// What the ui test programs set up once, before their first test, on top of
// the test kit's Qt main: the model record, the program's own skin at 100 %,
// and (for windows that show translated texts) the language tables.
#pragma once

#include <gtest/gtest.h>

#include <functional>
#include <utility>

#include "app/model_cfg.h"
#include "app/startup.h"
#include "ui/skin/display_scale.h"
#include "ui/skin/languages.h"
#include "ui/skin/skin_setup.h"

namespace ui::testing {

class ProgramEnvironment : public ::testing::Environment {
public:
    struct Options {
        bool languages = true;
        bool log = false;               // "savelog.ini" beside the tests turns the log on
        std::function<bool()> prepare;  // more set-up after the skin, e.g. chart layouts
        std::function<void()> cleanUp;
    };
    explicit ProgramEnvironment(Options options) : mOptions(std::move(options)) {}

    void SetUp() override {
        app::FillModelCfg();
        if (mOptions.log) {
            app::StartLogIfRequested();
        }
        SetDisplayScale(100);
        ASSERT_TRUE(SetUpSkin()) << "the program's skin does not load";
        if (mOptions.languages) {
            SetUpLanguages(app::CurrentModelCfg());
        }
        if (mOptions.prepare) {
            ASSERT_TRUE(mOptions.prepare());
        }
    }
    void TearDown() override {
        if (mOptions.cleanUp) {
            mOptions.cleanUp();
        }
    }

private:
    Options mOptions;
};

// Registers the environment; call from a namespace-scope initialiser.
inline ::testing::Environment* RegisterProgramEnvironment(ProgramEnvironment::Options options) {
    return ::testing::AddGlobalTestEnvironment(new ProgramEnvironment(std::move(options)));
}

}  // namespace ui::testing
