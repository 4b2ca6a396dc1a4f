// Screenshots of every window of this layer in English, Chinese and Russian
// (written to screenshots/ in the build folder), and a check that every text
// shown fits its control in every language.
#include <gtest/gtest.h>

#include <QDir>
#include <QPixmap>
#include <functional>
#include <string>
#include <tuple>

#include "app/model_cfg.h"
#include "testkit/build_paths.h"
#include "text_fit.h"
#include "toolkit/text_resources.h"
#include "ui/dialogs/about_window.h"
#include "ui/dialogs/choice_box.h"
#include "ui/dialogs/loading_window.h"
#include "ui/dialogs/message_box.h"
#include "ui/dialogs/name_box.h"
#include "ui/dialogs/scene_window.h"
#include "ui/skin/display_scale.h"
#include "ui/skin/languages.h"
#include "ui_test_support.h"

namespace ui {
namespace {

using testing::OverflowingTexts;
using testing::OverlappingControls;

class Screenshots : public ::testing::TestWithParam<std::tuple<const char*, int>> {
protected:
    void SetUp() override {
        SetUpLanguages(app::CurrentModelCfg());
        toolkit::Texts().SetLanguage(Language());
        SetDisplayScale(Scale());
    }
    void TearDown() override { SetDisplayScale(100); }
    static const char* Language() { return std::get<0>(GetParam()); }
    static int Scale() { return std::get<1>(GetParam()); }
    static std::string Case() { return std::string(Language()) + "_" + std::to_string(Scale()); }
    std::string File(const std::string& what) const {
        return testkit::ScreenshotPath(what + "_" + Case() + ".png");
    }
    void Save(toolkit::Window& window, const std::string& what) {
        QPixmap shot = window.Widget()->grab();
        EXPECT_TRUE(shot.save(QString::fromStdString(File(what)))) << what;
        for (const auto& problem : OverflowingTexts(window)) {
            ADD_FAILURE() << what << " in " << Case() << ": text does not fit: " << problem;
        }
        for (const auto& problem : OverlappingControls(window)) {
            ADD_FAILURE() << what << " in " << Case() << ": controls overlap: " << problem;
        }
    }
    // Shows the window modally, takes its picture and closes it.
    void SaveModal(toolkit::Window& window, const std::string& what) {
        testing::WhenModal([&] {
            Save(window, what);
            window.Close(0);
        });
        window.RunModal();
    }
};

TEST_P(Screenshots, MainWindow) {
    toolkit::Window window("MainWnd", "TQ DSP Audio");
    window.SetBuilder(testing::BuildForTests);
    window.SetScale(Scale());
    window.Create(nullptr, "XML_MAIN");
    ASSERT_TRUE(window.LoadSubLayout("channel_settings", "xml/channel_settings_6in_mixer.xml"));
    window.Find("btn_input_source")->AddItem("${source_opt}", "0");
    window.Find("btn_input_source")->SelectItem(0);
    window.Find("btn_devices")->AddItem("virtual:1", "0");
    window.Find("btn_devices")->SelectItem(0);
    for (int c = 0; c < 10; ++c) {
        static const char* kTypes[] = {"${front_left_tweeter}",   "${front_left_midrange}",
                                       "${front_left_woofer}",    "${front_right_tweeter}",
                                       "${front_right_midrange}", "${front_right_woofer}",
                                       "${rear_left_full}",       "${rear_right_full}",
                                       "${left_subwoofer}",       "${right_subwoofer}"};
        window.Find("ch_output_btn_" + std::to_string(c))->SetText(kTypes[c]);
    }
    for (int s : {1, 2, 3, 7, 8, 9, 15, 18, 22, 23}) {
        window.Find("spk_con_" + std::to_string(s))->SetVisible(true);
        window.Find("spk_delay_" + std::to_string(s))->SetVisible(true);
        window.Find("spk_delay_" + std::to_string(s))->SetText("1.250");
    }
    window.Find("btn_amp_onoff")->SetTextColor(0xFFFFFFFF);
    window.Find("btn_noise_gate")->SetTextColor(0xFFFF0000);
    window.Find("btn_rem_out1_onoff")->SetTextColor(0xFFFFFFFF);
    window.Find("btn_rem_out2_onoff")->SetTextColor(0xFFFFFFFF);
    window.Find("ch_select_0")->SetSelected(true);
    window.Show();
    Save(window, "main");
    // Texts in the colours the model fixes stay readable: 4.5:1 at least.
    for (const char* name : {"btn_amp_onoff", "btn_noise_gate", "btn_rem_out1_onoff"}) {
        EXPECT_GE(testing::TextContrast(window, *window.Find(name)), 4.5) << name;
    }
    window.Find("btnConnect")->SetTextColor(0xFFFF0000);  // the disconnected look
    EXPECT_GE(testing::TextContrast(window, *window.Find("btnConnect")), 4.5);
    window.Find("ch_page_0")->SetVisible(false);
    window.Find("channel_settings")->SetVisible(true);
    window.Find("ch_show_hl_0")->SetVisible(false);
    window.Find("ch_show_hl_1")->SetVisible(true);
    window.Find("ch_select_1")->SetSelected(true);
    Save(window, "main_routing");
}

TEST_P(Screenshots, MessageBoxes) {
    {
        CMsgWnd box;
        box.CreateOver(nullptr, "XML_MSG");
        box.SetTexts("${tips}", "${device_connect_fail}");
        box.SetButtons({"${confirm}", "", ""}, 1);
        SaveModal(box, "msg_one_button");
    }
    {
        CMsgWnd box;
        box.CreateOver(nullptr, "XML_MSG");
        box.SetTexts("${tips}", "${dsp_fw_new_tips}");
        box.SetButtons({"${confirm}", "${cancel}", "${save}"}, 3);
        SaveModal(box, "msg_three_buttons");
    }
    {
        CMsgWnd box;
        box.CreateOver(nullptr, "XML_MSG");
        box.SetTexts("${tips}", "${factory_default_tips}");
        SaveModal(box, "msg_confirm");
    }
    {
        CMsgCheckBoxWnd box;
        box.CreateOver(nullptr, "XML_CHECKBOX_MSG");
        box.SetTexts("${tips}", "${link_tips}", "${copy_left_to_right}", "${copy_right_to_left}");
        SaveModal(box, "msg_two_choices");
    }
    {
        char16_t name[kNameBufferUnits] = u"Scene 1";
        CNameMsgWnd box(name);
        box.Prepare(nullptr);
        SaveModal(box, "msg_name");
    }
}

TEST_P(Screenshots, LoadingAndAboutWindows) {
    {
        CLoadingWnd loading;
        loading.Prepare(nullptr);
        loading.Find("loading_progress")->SetValue(35);
        SaveModal(loading, "loading");
    }
    {
        CAboutWnd about(app::CurrentModelCfg(), {});
        about.Prepare(nullptr);
        SaveModal(about, "about_no_device");
    }
    {
        CAboutWnd about(app::CurrentModelCfg(), {143, 1, 32});
        about.Prepare(nullptr);
        SaveModal(about, "about_device");
    }
}

// The scene window in its three modes, with empty slots and with named
// ones (the first one current, the fourth selected). No amplifier is
// connected: the window's request for the current scene goes nowhere.
TEST_P(Screenshots, SceneWindow) {
    using controller::SceneWindowMode;
    controller::EqualizerManager manager(nullptr);
    const struct {
        SceneWindowMode mode;
        const char* what;
    } kModes[] = {{SceneWindowMode::kLoad, "load"},
                  {SceneWindowMode::kSaveAs, "save"},
                  {SceneWindowMode::kDelete, "delete"}};
    for (const auto& [mode, what] : kModes) {
        CSceneWnd empty(mode, manager);
        empty.Prepare(nullptr);
        SaveModal(empty, std::string("scene_") + what + "_empty");
    }
    const std::u16string kNames[] = {u"Daily", u"低音炮", u"Басы",    u"Road 77",      u"",
                                     u"Show",  u"",       u"WWWWWWW", u"中文名字测试", u"Зима"};
    for (int slot = 0; slot < kSceneRows; ++slot) {
        manager.SetSceneName(slot, kNames[slot]);
    }
    manager.SetSceneId(1);
    for (const auto& [mode, what] : kModes) {
        CSceneWnd named(mode, manager);
        named.Prepare(nullptr);
        named.SelectRow(3);
        EXPECT_EQ(named.HighlightedRow(), 0);
        // The current row's texts stay readable on its colour.
        EXPECT_GE(testing::TextContrast(named, *named.Find("value")), 4.5);
        EXPECT_GE(testing::TextContrast(named, *named.Find("index")), 4.5);
        SaveModal(named, std::string("scene_") + what + "_named");
    }
}

INSTANTIATE_TEST_SUITE_P(LanguagesAndScales, Screenshots,
                         ::testing::Combine(::testing::Values("en", "cn_zh", "ru", "de"),
                                            ::testing::Values(100, 125, 150)),
                         [](const auto& info) {
                             return std::string(std::get<0>(info.param)) + "_" +
                                    std::to_string(std::get<1>(info.param));
                         });

}  // namespace
}  // namespace ui
