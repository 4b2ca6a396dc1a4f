// The packed skin: the archive opens with the program's password, every
// layout a window of the program uses resolves, the main layout holds every
// control of the catalogue with its kind, and every language file holds
// every key.
#include <gtest/gtest.h>

#include <map>
#include <set>
#include <string>
#include <vector>

#include "skin/skin_data.h"
#include "toolkit/layout_spec.h"
#include "toolkit/skin.h"
#include "toolkit/skin_archive.h"
#include "toolkit/text_resources.h"
#include "ui_test_support.h"

namespace ui {
namespace {

using toolkit::ControlKind;

constexpr int kOutputs = 10;
constexpr int kBands = 21;
constexpr int kInputs = 8;
constexpr int kSpeakers = 30;

std::string Indexed(const char* pattern, int a, int b = -1) {
    char buffer[96];
    if (b < 0) {
        std::snprintf(buffer, sizeof(buffer), pattern, a);
    } else {
        std::snprintf(buffer, sizeof(buffer), pattern, a, b);
    }
    return buffer;
}

// Every control name of the main window's catalogue with its kind (Custom
// for those the window's builder makes).
std::map<std::string, ControlKind> Catalogue() {
    std::map<std::string, ControlKind> names;
    auto add = [&](const std::string& name, ControlKind kind) { names[name] = kind; };
    // The page buttons of the output strip are options of one group.
    add("ch_select_0", ControlKind::Option);
    add("ch_select_1", ControlKind::Option);
    for (const char* n :
         {"btnConnect",      "btn_delay_down",  "btn_delay_up",     "btn_reset_eq",
          "btn_bypass",      "btn_arg_eq",      "btn_reset_output", "btn_lock_output",
          "btn_link_output", "btn_link_select", "btn_reset_link",   "btn_option",
          "btn_scene",       "btn_advance",     "btn_source",       "btn_costom_eq",
          "btn_compressor",  "btn_debug",       "btn_irc",          "win_btn_noise_gate",
          "web_btn_1",       "minbtn",          "closebtn"}) {
        add(n, ControlKind::Button);
    }
    for (const char* n : {"btn_devices", "btn_input_source", "btn_channel_select", "comb_ch_unit",
                          "comb_eq_type", "hp_type", "lp_type", "hp_slop", "lp_slop"}) {
        add(n, ControlKind::Combo);
    }
    for (const char* n : {"edit_device_name", "edit_main_volume", "edit_acc", "hp_freq", "lp_freq",
                          "edit_ch_volume"}) {
        add(n, ControlKind::Edit);
    }
    for (const char* n : {"slider_main_volume", "slider_acc", "slider_ch_volume"})
        add(n, ControlKind::Slider);
    for (const char* n :
         {"main_mute", "ch_mute", "ch_phase", "btn_auto_on", "option_noise", "enableAutoSave"}) {
        add(n, ControlKind::Option);
    }
    for (const char* n :
         {"btn_amp_onoff", "btn_rem_out1_onoff", "btn_rem_out2_onoff", "btn_2ohm_spk",
          "btn_2ohm_spk_13", "btn_2ohm_spk_21", "btn_noise_gate", "equalizer"}) {
        add(n, ControlKind::Custom);
    }
    add("label_channel_name", ControlKind::Label);
    add("logo", ControlKind::Image);
    for (int b = 0; b < kBands; ++b) {
        add(Indexed("eq_freq_%d", b), ControlKind::Edit);
        add(Indexed("eq_q_%d", b), ControlKind::Edit);
        add(Indexed("eq_gain_%d", b), ControlKind::Edit);
        add(Indexed("eq_slider_%d", b), ControlKind::Slider);
        add(Indexed("pt_enable_%d", b), ControlKind::Option);
        add(Indexed("eq_container_%d", b), ControlKind::Container);
    }
    for (int c = 0; c < kOutputs; ++c) {
        for (const char* p : {"ch_show_%d", "ch_enable_%d", "ch_mute_%d", "ch_solo_%d",
                              "ch_phase_%d", "ch_synchronize_%d", "delay_link_%d"}) {
            add(Indexed(p, c), ControlKind::Option);
        }
        add(Indexed("ch_output_btn_%d", c), ControlKind::Button);
        add(Indexed("slider_ch_volume_%d", c), ControlKind::Slider);
        add(Indexed("slider_ch_delay_%d", c), ControlKind::Slider);
        add(Indexed("edit_ch_volume_%d", c), ControlKind::Edit);
        add(Indexed("edit_ch_delay_%d", c), ControlKind::Edit);
        add(Indexed("delay_lable_%d", c), ControlKind::Label);
        for (const char* p :
             {"ch_volume_bg_%d", "container_ch_delay_%d", "control_empty_%d", "input_123_%d",
              "input_456_%d", "ch_border_top_%d", "ch_border_buttom_%d", "ch_border_left_%d",
              "ch_border_right_%d", "ch_vl_%d"}) {
            add(Indexed(p, c), ControlKind::Container);
        }
        // A routing option names its input (counted from 1) and its output.
        for (int i = 1; i <= kInputs; ++i)
            add(Indexed("option_ch_in%d_%d", i, c), ControlKind::Option);
    }
    for (int p = 0; p < kOutputs / 2; ++p) {
        add(Indexed("ch_bridge_%d", p), ControlKind::Option);
        add(Indexed("bridge_checkbox_%d", p), ControlKind::Option);
        add(Indexed("bridge_hl_%d", p), ControlKind::Container);
    }
    for (int s = 1; s <= kSpeakers; ++s) {
        add(Indexed("speaker_%d", s), ControlKind::Button);
        add(Indexed("spk_con_%d", s), ControlKind::Container);
        add(Indexed("spk_delay_%d", s), ControlKind::Edit);
    }
    for (int i = 0; i < 10; ++i)
        add(Indexed("autoSave%d", i), ControlKind::Button);
    return names;
}

void CollectNames(const toolkit::XmlElement& node, std::set<std::string>& names) {
    if (const std::string* name = node.Attribute("name"))
        names.insert(*name);
    for (const auto& child : node.children)
        CollectNames(child, names);
}

void CollectKeys(const toolkit::XmlElement& node, std::set<std::string>& keys) {
    for (const auto& [attribute, value] : node.attributes) {
        if ((attribute == "text" || attribute == "tooltip" || attribute == "prompt") &&
            value.rfind("${", 0) == 0) {
            keys.insert(value);
        }
    }
    for (const auto& child : node.children)
        CollectKeys(child, keys);
}

TEST(SkinArchiveContent, OpensOnlyWithThePasswordAndResolvesEveryLayout) {
    toolkit::SkinArchive archive;
    ASSERT_TRUE(archive.Open(skin_data::kArchive, skin_data::kArchiveSize, skin_data::kPassword));
    EXPECT_EQ(std::string(skin_data::kPassword).size(), 18u);
    EXPECT_TRUE(archive.Read("xml\\res.xml"));
    toolkit::SkinArchive locked;
    ASSERT_TRUE(locked.Open(skin_data::kArchive, skin_data::kArchiveSize, "wrong-password-123"));
    EXPECT_FALSE(locked.Read("xml/res.xml"));

    const toolkit::Skin& skin = toolkit::Skin::Instance();
    for (const char* id : {"XML_MAIN", "XML_MSG", "XML_CHECKBOX_MSG", "XML_LINK_SEL",
                           "XML_MSG_NAME", "XML_LOADING", "XML_ABOUT", "XML_SENCE_PROFILE"}) {
        auto path = skin.ResolveLayout(id);
        ASSERT_TRUE(path) << id;
        auto text = skin.ReadFile(*path);
        ASSERT_TRUE(text) << *path;
        auto layout = toolkit::ParseLayout(*text);
        ASSERT_TRUE(layout) << *path;
        EXPECT_EQ(layout->name, "Window") << *path;
    }
    for (const char* path : {"xml/channel_settings.xml", "xml/channel_settings_6in.xml",
                             "xml/channel_settings_mixer.xml", "xml/channel_settings_6in_mixer.xml",
                             "xml/option_menu.xml", "xml/scene_menu.xml", "xml/advance_menu.xml",
                             "xml/source_menu.xml", "xml/output_menu.xml",
                             "xml/link_group_menu.xml", "xml/delay_link_group_menu.xml"}) {
        auto text = skin.ReadFile(path);
        ASSERT_TRUE(text) << path;
        EXPECT_TRUE(toolkit::ParseLayout(*text)) << path;
    }
    for (const char* image :
         {"logo.png", "right.png", "ch_in_selected.png", "ch_in_type_normal.png",
          "common/car@150.png", "sysbtn/sys_btn_close@175.png"}) {
        EXPECT_TRUE(archive.Contains(image)) << image;
    }
}

TEST(SkinArchiveContent, MainLayoutHoldsTheWholeCatalogue) {
    const toolkit::Skin& skin = toolkit::Skin::Instance();
    auto main = toolkit::ParseLayout(*skin.ReadFile(*skin.ResolveLayout("XML_MAIN")));
    auto routing = toolkit::ParseLayout(*skin.ReadFile("xml/channel_settings_6in_mixer.xml"));
    ASSERT_TRUE(main && routing);
    EXPECT_EQ(main->AttributeOr("size", ""), "1230,650");
    std::set<std::string> inFiles;
    CollectNames(*main, inFiles);
    CollectNames(*routing, inFiles);

    toolkit::Window window("MainWnd", "TQ DSP Audio");
    window.SetBuilder(testing::BuildForTests);
    window.Create(nullptr, "XML_MAIN");
    ASSERT_TRUE(window.LoadSubLayout("channel_settings", "xml/channel_settings_6in_mixer.xml"));
    for (const auto& [name, kind] : Catalogue()) {
        EXPECT_TRUE(inFiles.count(name)) << name;
        toolkit::ControlHandle* control = window.FindControl(name);
        ASSERT_NE(control, nullptr) << name;
        EXPECT_EQ(control->Kind(), kind) << name;
    }
    // Indexed controls carry their index in their user data.
    EXPECT_EQ(window.FindControl("slider_ch_volume_9")->UserDataInt(), 9);
    EXPECT_EQ(window.FindControl("eq_gain_20")->UserDataInt(), 20);
    EXPECT_EQ(window.FindControl("speaker_30")->UserDataInt(), 30);
    EXPECT_EQ(window.FindControl("slider_ch_volume_3")->Minimum(), -600);
    EXPECT_EQ(window.FindControl("slider_ch_volume_3")->Maximum(), 0);
    EXPECT_FALSE(window.FindControl("edit_device_name")->Visible());
    EXPECT_FALSE(window.FindControl("btn_debug")->Visible());
    // The window is laid out inside its 1230 x 650 frame.
    for (toolkit::Control* control : window.Controls()) {
        QWidget* widget = control->Widget();
        QRect inWindow(widget->mapTo(window.Widget(), QPoint(0, 0)), widget->size());
        EXPECT_TRUE(QRect(0, 0, 1230, 650).contains(inWindow) || widget->size().isEmpty())
            << control->Name();
    }
}

TEST(SkinArchiveContent, EveryLanguageHoldsEveryKey) {
    std::vector<std::string> programKeys = {"${adjust_ch_volume}",
                                            "${all_bypass}",
                                            "${amp_off}",
                                            "${amp_on}",
                                            "${btn_2ohm_spk_13}",
                                            "${btn_2ohm_spk_21}",
                                            "${btn_2ohm_spk}",
                                            "${btn_4ohm_spk_13}",
                                            "${btn_4ohm_spk_21}",
                                            "${btn_4ohm_spk}",
                                            "${btn_connected}",
                                            "${btn_connecting}",
                                            "${btn_disconnected}",
                                            "${btn_noise_gate_off}",
                                            "${btn_noise_gate_on}",
                                            "${bypass_all_eq_tips}",
                                            "${bypass_eq}",
                                            "${cancel}",
                                            "${center_full}",
                                            "${center_tweeter}",
                                            "${center_woofer}",
                                            "${center}",
                                            "${compensate_eq}",
                                            "${confirm}",
                                            "${copy_left_to_right}",
                                            "${copy_right_to_left}",
                                            "${default}",
                                            "${delete_scene}",
                                            "${delete}",
                                            "${detect_level}",
                                            "${detect_location}",
                                            "${detect_speaker}",
                                            "${device_connect_fail}",
                                            "${device_not_match}",
                                            "${device_plugout}",
                                            "${device_reboot}",
                                            "${device_status_unnormal}",
                                            "${dsp_fw_new_tips}",
                                            "${dsp_is_off}",
                                            "${emptied}",
                                            "${empty_output_tips}",
                                            "${empty}",
                                            "${exit}",
                                            "${factory_default_tips}",
                                            "${front_center_all}",
                                            "${front_left_full}",
                                            "${front_left_mid_twee}",
                                            "${front_left_mid_woof}",
                                            "${front_left_midrange}",
                                            "${front_left_tweeter}",
                                            "${front_left_woofer}",
                                            "${front_right_full}",
                                            "${front_right_mid_twee}",
                                            "${front_right_mid_woof}",
                                            "${front_right_midrange}",
                                            "${front_right_tweeter}",
                                            "${front_right_woofer}",
                                            "${front}",
                                            "${full}",
                                            "${geq_mode_tips}",
                                            "${geq_mode}",
                                            "${inner_fw_version}",
                                            "${irc_apply_tips}",
                                            "${irc_applyed}",
                                            "${irc_canceled}",
                                            "${irc_completed}",
                                            "${irc_failed_ch_volume}",
                                            "${irc_failed_delay}",
                                            "${irc_failed_eq}",
                                            "${irc_failed_level}",
                                            "${irc_failed_mic}",
                                            "${irc_failed_speaker}",
                                            "${irc_failed}",
                                            "${irc_option_warning_tips}",
                                            "${irc_start_tips}",
                                            "${irc_stoped}",
                                            "${irc_subwoof_not_test}",
                                            "${irc_warning_tips}",
                                            "${left_subwoofer_freq}",
                                            "${left_subwoofer}",
                                            "${left}",
                                            "${link_tips}",
                                            "${load_fw_fail}",
                                            "${load_scene_tips1}",
                                            "${load_scene_tips2}",
                                            "${load_scene}",
                                            "${loading_fw}",
                                            "${load}",
                                            "${lock_output_tips}",
                                            "${midrange_tweeter}",
                                            "${midrange_woofer}",
                                            "${midrange}",
                                            "${mutex_tips}",
                                            "${noise_close}",
                                            "${noise_open}",
                                            "${not_linkable_tips}",
                                            "${off}",
                                            "${peq_mode_tips}",
                                            "${peq_mode}",
                                            "${please_plug_out_and_in}",
                                            "${please_update_again}",
                                            "${positive_phase}",
                                            "${profile_create_error}",
                                            "${profile_load_error}",
                                            "${profile_open_error}",
                                            "${profile_save_ok}",
                                            "${rear_center_all}",
                                            "${rear_left_full}",
                                            "${rear_left_mid}",
                                            "${rear_left_tweeter}",
                                            "${rear_left_woofer}",
                                            "${rear_right_full}",
                                            "${rear_right_mid}",
                                            "${rear_right_tweeter}",
                                            "${rear_right_woofer}",
                                            "${rear}",
                                            "${rem_out1_off}",
                                            "${rem_out1_on}",
                                            "${rem_out2_off}",
                                            "${rem_out2_on}",
                                            "${reset_all_eq_tips}",
                                            "${restore_all_eq_tips}",
                                            "${restore_all_factory_eq_tips}",
                                            "${restore_cs_auto}",
                                            "${restore_eq}",
                                            "${reverse phase}",
                                            "${right_subwoofer_freq}",
                                            "${right_subwoofer}",
                                            "${right}",
                                            "${same_name_tips}",
                                            "${save_as_scene}",
                                            "${save_scene_ok}",
                                            "${save_scene_overwrite}",
                                            "${save}",
                                            "${soft_version}",
                                            "${software_not_match}",
                                            "${source_a2b}",
                                            "${source_aux}",
                                            "${source_bt}",
                                            "${source_coax}",
                                            "${source_dmp}",
                                            "${source_hi}",
                                            "${source_low}",
                                            "${source_opt}",
                                            "${source_scp}",
                                            "${source_udp}",
                                            "${start_irc_tips}",
                                            "${start_irc}",
                                            "${stop}",
                                            "${subwoofer_freq}",
                                            "${subwoofer}",
                                            "${test_freq_response}",
                                            "${tips}",
                                            "${tweeter}",
                                            "${unlock_output_tips}",
                                            "${update_check_flash}",
                                            "${update_check_mcu}",
                                            "${update_factory_reboot}",
                                            "${update_factory}",
                                            "${update_fail}",
                                            "${update_finish}",
                                            "${update_no_file}",
                                            "${update_ok}",
                                            "${update_progress_flash}",
                                            "${update_progress_mcu}",
                                            "${update_reboot_flash}",
                                            "${update_reboot_mcu}",
                                            "${update_start_flash}",
                                            "${update_start_mcu}",
                                            "${update_tips}",
                                            "${version}",
                                            "${woofer}"};
    ASSERT_EQ(programKeys.size(), 172u);
    const toolkit::Skin& skin = toolkit::Skin::Instance();
    std::set<std::string> layoutKeys;
    for (const std::string& name : skin.Archive().Names()) {
        if (name.rfind("xml/", 0) == 0 && name != "xml/res.xml") {
            auto layout = toolkit::ParseLayout(*skin.ReadFile(name));
            ASSERT_TRUE(layout) << name;
            CollectKeys(*layout, layoutKeys);
        }
    }
    EXPECT_GT(layoutKeys.size(), 100u);
    // Texts used as formats take the same arguments in every language.
    const std::map<std::string, std::string> formats = {
        {"${dsp_fw_new_tips}", "%d%d%d%d"}, {"${device_plugout}", "%s"},
        {"${load_scene_tips1}", "%d%s"},    {"${load_scene_tips2}", "%d"},
        {"${save_scene_overwrite}", "%d"},  {"${same_name_tips}", "%s%d%s"},
        {"${update_progress_mcu}", "%d%%"}, {"${update_progress_flash}", "%d%%"}};
    for (const char* file : {"lan/lan_en.xml", "lan/lan_cn.xml", "lan/lan_ru.xml"}) {
        auto table = toolkit::ParseLanguageFile(*skin.ReadFile(file));
        ASSERT_TRUE(table) << file;
        for (const auto& key : programKeys) {
            auto found = table->find(key);
            ASSERT_NE(found, table->end()) << file << " " << key;
            EXPECT_FALSE(found->second.empty()) << file << " " << key;
        }
        for (const auto& key : layoutKeys)
            EXPECT_TRUE(table->count(key)) << file << " " << key;
        for (const auto& [key, conversions] : formats) {
            std::string seen;
            const std::string& text = table->at(key);
            for (size_t i = 0; i + 1 < text.size(); ++i) {
                if (text[i] == '%') {
                    seen += text.substr(i, 2);
                    ++i;
                }
            }
            EXPECT_EQ(seen, conversions) << file << " " << key;
        }
    }
}

}  // namespace
}  // namespace ui
