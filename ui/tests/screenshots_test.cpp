// Screenshots of every window of this layer in English, Chinese and Russian
// (written to screenshots/ in the build folder), and a check that every text
// shown fits its control in every language.
#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QDir>
#include <QFontMetrics>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <functional>

#include "app/model_cfg.h"
#include "toolkit/skin_widgets.h"
#include "toolkit/text_resources.h"
#include "ui/dialogs/about_window.h"
#include "ui/dialogs/choice_box.h"
#include "ui/dialogs/loading_window.h"
#include "ui/dialogs/message_box.h"
#include "ui/dialogs/name_box.h"
#include "ui/skin/languages.h"
#include "ui_test_support.h"

namespace ui {
namespace {

// Texts that do not fit their control, as "name: text".
std::vector<std::string> OverflowingTexts(toolkit::Window& window) {
    std::vector<std::string> problems;
    for (toolkit::Control* control : window.Controls()) {
        QWidget* widget = control->Widget();
        if (widget == nullptr || !widget->isVisibleTo(window.Widget())) {
            continue;
        }
        QFontMetrics metrics(widget->font());
        QString text;
        int room = widget->width();
        if (auto* label = qobject_cast<QLabel*>(widget)) {
            text = label->text();
            if (label->wordWrap()) {
                if (label->heightForWidth(label->width()) > label->height()) {
                    problems.push_back(control->Name() + ": " + text.toStdString());
                }
                continue;
            }
        } else if (auto* check = qobject_cast<QAbstractButton*>(widget)) {
            text = check->text();
            bool indicator = widget->inherits("QCheckBox") || widget->inherits("QRadioButton");
            room -= indicator ? 24 : 6;
            if (auto* sw = dynamic_cast<toolkit::SwitchButton*>(widget))
                room = sw->width() - sw->TextLeft();
        } else if (auto* edit = qobject_cast<QLineEdit*>(widget)) {
            text = edit->text().isEmpty() ? edit->placeholderText() : edit->text();
            room -= 6;
        }
        if (text.isEmpty()) {
            continue;
        }
        for (const QString& line : text.split('\n')) {
            if (metrics.horizontalAdvance(line) > room) {
                problems.push_back(control->Name() + ": " + line.toStdString());
            }
        }
        if (text.count('\n') + 1 > 1 &&
            metrics.lineSpacing() * (text.count('\n') + 1) > widget->height()) {
            problems.push_back(control->Name() + " (lines): " + text.toStdString());
        }
    }
    return problems;
}

// Visible controls with a text that overlap a visible sibling control.
std::vector<std::string> OverlappingControls(toolkit::Window& window) {
    std::vector<std::string> problems;
    auto shows = [&](toolkit::Control* control) {
        QWidget* widget = control->Widget();
        return widget != nullptr && widget->isVisibleTo(window.Widget()) &&
               control->Kind() != toolkit::ControlKind::Container && widget->width() > 0 &&
               widget->height() > 0;
    };
    auto controls = window.Controls();
    for (size_t i = 0; i < controls.size(); ++i) {
        for (size_t j = i + 1; j < controls.size(); ++j) {
            QWidget* a = controls[i]->Widget();
            QWidget* b = controls[j]->Widget();
            if (a->parentWidget() == b->parentWidget() && shows(controls[i]) &&
                shows(controls[j]) && a->geometry().intersects(b->geometry())) {
                problems.push_back(controls[i]->Name() + " / " + controls[j]->Name() + " (" +
                                   controls[i]->Text() + " / " + controls[j]->Text() + ")");
            }
        }
    }
    return problems;
}

class Screenshots : public ::testing::TestWithParam<const char*> {
protected:
    void SetUp() override {
        SetUpLanguages(app::CurrentModelCfg());
        toolkit::Texts().SetLanguage(GetParam());
        QDir().mkpath("screenshots");
    }
    std::string File(const std::string& what) const {
        return "screenshots/" + what + "_" + GetParam() + ".png";
    }
    void Save(toolkit::Window& window, const std::string& what) {
        QPixmap shot = window.Widget()->grab();
        EXPECT_TRUE(shot.save(QString::fromStdString(File(what)))) << what;
        for (const auto& problem : OverflowingTexts(window)) {
            ADD_FAILURE() << what << " in " << GetParam() << ": text does not fit: " << problem;
        }
        for (const auto& problem : OverlappingControls(window)) {
            ADD_FAILURE() << what << " in " << GetParam() << ": controls overlap: " << problem;
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

INSTANTIATE_TEST_SUITE_P(Languages, Screenshots, ::testing::Values("en", "cn_zh", "ru"));

}  // namespace
}  // namespace ui
