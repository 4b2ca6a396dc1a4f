// The scene window through the running program: the scene menu, the rows,
// the boxes the window asks with, down to the amplifier's slots, names and
// mask of stored scenes, and back; the edge cases of saving, the highlight
// of the current scene, a late acknowledgement, and the cable pulled while
// a scene is saved or loaded.
#include <QAbstractButton>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <deque>
#include <string>

#include "device/dsp_subcommands.h"
#include "device/mcu_subcommands.h"
#include "device/packet.h"
#include "main_window_fixture.h"
#include "modal_script.h"
#include "ui/dialogs/scene_window.h"

namespace ui {
namespace {

using testing::WaitFor;

class SceneWindowTest : public testing::MainWindowTest {
protected:
    using Step = testing::ModalScript::Step;

    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(StartAndSync());
        QApplication::setActiveWindow(mWindow->Widget());
        mDemo.amplifier->ClearReceived();
    }

    static toolkit::Window* TopModal() { return testing::TopModalWindow(); }
    void Play(std::vector<Step> steps) { mScript.Play(std::move(steps)); }
    bool PlayedAll() { return mScript.PlayedAll(); }

    void ChooseSceneItem(const char* item) {
        auto* button = qobject_cast<QAbstractButton*>(Control("btn_scene").Widget());
        ASSERT_NE(button, nullptr);
        button->click();
        ASSERT_NE(mWindow->OpenMenu(), nullptr);
        toolkit::ControlHandle* entry = mWindow->OpenMenu()->FindItem(item);
        ASSERT_NE(entry, nullptr) << item;
        ASSERT_TRUE(entry->Enabled()) << item;
        entry->Activate();
        mWindow->OpenMenu()->CloseMenu();
    }

    // ---- acting on the windows as the user does ----
    static QWidget* Row(toolkit::Window& scene, int row) {
        toolkit::Control* item = scene.Find("listitem" + std::to_string(row));
        return item != nullptr ? item->Widget() : nullptr;
    }
    static std::string RowText(toolkit::Window& scene, int row) {
        QWidget* item = Row(scene, row);
        auto* value = item != nullptr ? item->findChild<QLabel*>("value") : nullptr;
        return value != nullptr ? value->text().toStdString() : "?";
    }
    static void ClickRow(toolkit::Window& scene, int row) {
        QTest::mouseClick(Row(scene, row), Qt::LeftButton);
    }
    static void ActivateRow(toolkit::Window& scene, int row) {
        QTest::mouseDClick(Row(scene, row), Qt::LeftButton);
    }
    static void Press(toolkit::Window& window, const char* button) {
        toolkit::Control* control = window.Find(button);
        auto* widget =
            control != nullptr ? qobject_cast<QAbstractButton*>(control->Widget()) : nullptr;
        ASSERT_NE(widget, nullptr) << window.Title() << " " << button;
        widget->click();
    }
    static std::string Shown(toolkit::Window& window, const char* label) {
        toolkit::Control* control = window.Find(label);
        auto* text = control != nullptr ? qobject_cast<QLabel*>(control->Widget()) : nullptr;
        return text != nullptr ? text->text().toStdString() : "?";
    }
    static Step TypeName(const char* name) {
        return {"namemsgwnd", [name](toolkit::Window& box) {
                    auto* edit = qobject_cast<QLineEdit*>(box.Find("name_edt")->Widget());
                    edit->selectAll();
                    QTest::keyClicks(edit, name);
                    QTest::keyClick(edit, Qt::Key_Return);
                }};
    }
    static Step Answer(const char* button, std::string* text = nullptr) {
        return {"msgwnd", [button, text](toolkit::Window& box) {
                    if (text != nullptr) {
                        *text = Shown(box, "MessageTitle") + "|" + Shown(box, "MessageText");
                    }
                    Press(box, button);
                }};
    }
    static Step InScene(std::function<void(CSceneWnd&)> act) {
        return {"scenewnd", [act](toolkit::Window& window) {
                    auto* scene = dynamic_cast<CSceneWnd*>(&window);
                    ASSERT_NE(scene, nullptr);
                    act(*scene);
                }};
    }
    static Step Exit() {
        return InScene([](CSceneWnd& scene) { Press(scene, "cancel_btn"); });
    }

    std::string Name(int scene) {
        const auto name = mDemo.protocol->Name(scene);
        std::string text;
        for (uint8_t byte : name) {
            if (byte == 0) {
                break;
            }
            text.push_back(static_cast<char>(byte));
        }
        return text;
    }
    // The scene-flash commands the amplifier received, by sub-command.
    std::vector<uint8_t> FlashCommands() {
        std::vector<uint8_t> subs;
        for (const auto& report : mDemo.amplifier->ReceivedReports()) {
            if (report[4] == device::CMD_FLASH && report[6] == device::OP_SET) {
                subs.push_back(report[5]);
            }
        }
        return subs;
    }
    std::string T(const char* key) { return toolkit::Translate(key); }
    std::string UnplugNotice() {
        char text[256];
        std::snprintf(text, sizeof text, T("${device_plugout}").c_str(), "AMP-UI");
        return T("${tips}") + "|" + text;
    }

    testing::ModalScript mScript;
};

TEST_F(SceneWindowTest, ASceneIsSavedUnderANameLoadedBackAndDeleted) {
    // Save the working state into the empty slot 4: no overwrite question.
    auto working = Amp();
    std::string saved;
    Play({InScene([](CSceneWnd& scene) {
              EXPECT_EQ(Shown(scene, "MessageTitle"), toolkit::Translate("${save_as_scene}"));
              EXPECT_EQ(RowText(scene, 0), "Daily");
              EXPECT_EQ(RowText(scene, 1), "Bass Bo") << "seven characters";
              EXPECT_EQ(RowText(scene, 3), "");
              ActivateRow(scene, 3);
          }),
          TypeName("Road"), Answer("confirm_btn", &saved), InScene([](CSceneWnd& scene) {
              EXPECT_EQ(RowText(scene, 3), "Road");
              EXPECT_EQ(scene.HighlightedRow(), 3);
              Press(scene, "cancel_btn");
          })});
    ChooseSceneItem("scene_item_saveas_scene");
    ASSERT_TRUE(PlayedAll());
    EXPECT_EQ(saved, T("${tips}") + "|" + T("${save_scene_ok}"));
    EXPECT_EQ(FlashCommands(), (std::vector<uint8_t>{0x0B, 0x08}));
    EXPECT_EQ(Name(4), "Road");
    EXPECT_EQ(mDemo.protocol->ValidMask(), 0x000B);
    EXPECT_EQ(mDemo.protocol->State(4).channels[8].lowPass.frequency,
              working.channels[8].lowPass.frequency);
    EXPECT_EQ(mDemo.protocol->State(4).volumeAttenuation, working.volumeAttenuation);
    EXPECT_EQ(mWindow->Manager().Link().SceneWnd(), platform::kNoWindow);

    // Change the working state, then load slot 4 back through the button.
    auto changed = Amp();
    changed.channels[6].trimAttenuation = 11;
    mDemo.protocol->SetState(0, changed);
    std::string question;
    Play({InScene([](CSceneWnd& scene) {
              ClickRow(scene, 3);
              EXPECT_EQ(scene.SelectedRow(), 3);
              Press(scene, "confirm_btn");
          }),
          Answer("confirm_btn", &question), Exit()});
    ChooseSceneItem("scene_item_load_scene");
    ASSERT_TRUE(PlayedAll());
    char loadText[256];
    std::snprintf(loadText, sizeof loadText, T("${load_scene_tips1}").c_str(), 4, "Road");
    EXPECT_EQ(question, T("${tips}") + "|" + loadText);
    EXPECT_EQ(Amp().channels[6].trimAttenuation, working.channels[6].trimAttenuation);
    EXPECT_EQ(Control("edit_ch_volume_6").Text(), "-3dB") << "the view shows the loaded scene";
    EXPECT_TRUE(mWindow->Manager().Link().IsCmdCtrlEnabled());

    // Delete it: asked first, the row empties at once.
    std::string asked;
    Play({InScene([](CSceneWnd& scene) {
              ClickRow(scene, 3);
              Press(scene, "confirm_btn");
          }),
          Answer("confirm_btn", &asked), InScene([](CSceneWnd& scene) {
              EXPECT_EQ(RowText(scene, 3), "");
              EXPECT_FALSE(scene.IsLoadingShown());
              Press(scene, "cancel_btn");
          })});
    mDemo.amplifier->ClearReceived();
    ChooseSceneItem("scene_item_delete_scene");
    ASSERT_TRUE(PlayedAll());
    char deleteText[256];
    std::snprintf(deleteText, sizeof deleteText, T("${delete_scene_tips1}").c_str(), 4, "Road");
    EXPECT_EQ(asked, T("${delete_scene}") + "|" + deleteText);
    EXPECT_EQ(FlashCommands(), (std::vector<uint8_t>{0x0A}));
    EXPECT_EQ(mDemo.protocol->ValidMask(), 0x0003);
    EXPECT_EQ(mDemo.protocol->Name(4)[0], 0xFF);
    EXPECT_EQ(mWindow->Manager().SceneName(3), u"");
}

TEST_F(SceneWindowTest, ANameInUseIsRefusedWithCaseAndTheSlotKeepsItsName) {
    std::string refusal;
    Play({InScene([](CSceneWnd& scene) { ActivateRow(scene, 2); }), TypeName("Daily"),
          Answer("confirm_btn", &refusal), InScene([](CSceneWnd& scene) {
              EXPECT_EQ(RowText(scene, 2), "");
              // Over a named slot the overwrite question comes first; "daily"
              // is another name than "Daily".
              ActivateRow(scene, 1);
          }),
          Answer("confirm_btn"), TypeName("daily"), Answer("confirm_btn"), Exit()});
    ChooseSceneItem("scene_item_saveas_scene");
    ASSERT_TRUE(PlayedAll());
    char text[256];
    std::snprintf(text, sizeof text, T("${same_name_tips}").c_str(), "Daily", 1, "Daily");
    EXPECT_EQ(refusal, T("${tips}") + "|" + text);
    EXPECT_EQ(FlashCommands(), (std::vector<uint8_t>{0x0B, 0x08})) << "only the second save";
    EXPECT_EQ(Name(2), "daily");
    EXPECT_EQ(mDemo.protocol->Name(3)[0], 0xFF) << "slot 3 untouched";
    EXPECT_EQ(mWindow->Manager().SceneName(2), u"");
    EXPECT_EQ(mWindow->Manager().SceneName(1), u"daily");
}

TEST_F(SceneWindowTest, ARefusedNameLeavesANamedSlotAsItWas) {
    Play({InScene([](CSceneWnd& scene) { ActivateRow(scene, 1); }), Answer("confirm_btn"),
          TypeName("Daily"), Answer("confirm_btn"), InScene([](CSceneWnd& scene) {
              EXPECT_EQ(RowText(scene, 1), "Bass Bo");
              Press(scene, "cancel_btn");
          })});
    ChooseSceneItem("scene_item_saveas_scene");
    ASSERT_TRUE(PlayedAll());
    EXPECT_EQ(mWindow->Manager().SceneName(1), u"Bass Bo");
    EXPECT_TRUE(FlashCommands().empty());
}

TEST_F(SceneWindowTest, DecliningOrConfirmingNothingLeavesEverythingAsItWas) {
    Play({InScene([](CSceneWnd& scene) {
              // No row selected: the button does nothing.
              Press(scene, "confirm_btn");
              EXPECT_EQ(TopModal(), &scene);
              ClickRow(scene, 0);
          }),
          InScene([](CSceneWnd& scene) {
              // Declined through the button: the highlight stays.
              EXPECT_EQ(scene.HighlightedRow(), -1);
              Press(scene, "confirm_btn");
          }),
          Answer("cancel_btn"), InScene([](CSceneWnd& scene) {
              EXPECT_EQ(scene.HighlightedRow(), -1);
              // Declined after activating a row: the highlight moves to it.
              ActivateRow(scene, 4);
          }),
          Answer("cancel_btn"), InScene([](CSceneWnd& scene) {
              EXPECT_EQ(scene.HighlightedRow(), 4);
              // The keys move the selection; Enter activates it.
              QWidget* list = scene.Find("listview")->Widget();
              QTest::keyClick(list, Qt::Key_Down);
              EXPECT_EQ(scene.SelectedRow(), 5);
              QTest::keyClick(list, Qt::Key_Return);
          }),
          Answer("cancel_btn"), InScene([](CSceneWnd& scene) {
              EXPECT_EQ(scene.HighlightedRow(), 5);
              Press(scene, "closebtn");
          })});
    ChooseSceneItem("scene_item_load_scene");
    ASSERT_TRUE(PlayedAll());
    EXPECT_TRUE(FlashCommands().empty());
    EXPECT_EQ(mDemo.protocol->CurrentSceneId(), 0);
}

TEST_F(SceneWindowTest, TheCurrentSceneIsHighlightedInTheGivenColour) {
    // Loading scene 2 makes it current; the next window shows it.
    Play({InScene([](CSceneWnd& scene) { ActivateRow(scene, 1); }), Answer("confirm_btn"), Exit()});
    ChooseSceneItem("scene_item_load_scene");
    ASSERT_TRUE(PlayedAll());
    EXPECT_EQ(mDemo.protocol->CurrentSceneId(), 2);
    EXPECT_EQ(mWindow->Manager().SceneId(), 2);
    Play({InScene([](CSceneWnd& scene) {
        EXPECT_EQ(scene.HighlightedRow(), 1);
        QImage picture = Row(scene, 1)->grab().toImage();
        EXPECT_EQ(picture.pixelColor(picture.width() / 2, 3).rgba(), kCurrentSceneColor);
        QImage other = Row(scene, 2)->grab().toImage();
        EXPECT_NE(other.pixelColor(other.width() / 2, 3).rgba(), kCurrentSceneColor);
        Press(scene, "cancel_btn");
    })});
    ChooseSceneItem("scene_item_delete_scene");
    ASSERT_TRUE(PlayedAll());
}

TEST_F(SceneWindowTest, AnAcknowledgementAfterTheWindowClosedFindsNoWindow) {
    device::DeviceLink& link = mWindow->Manager().Link();
    // While the window is open, an acknowledgement from the amplifier is
    // shown; after it closed, the same one is not.
    std::string shown;
    Play({InScene([&link](CSceneWnd&) {
              // The reply is read here, on the user-interface thread.
              link.SendCtrlCommand(device::CMD_FLASH, 0x0F, device::OP_GET, nullptr, 0);
              uint8_t buffer[64];
              link.ReadHIDData(buffer, 1000);
          }),
          Answer("confirm_btn", &shown), Exit()});
    mDemo.amplifier->SetHandler(device::CMD_FLASH, 0x0F,
                                [](const virtual_device::HostFrame&, virtual_device::Replies& r) {
                                    r.Frame(device::CMD_FLASH, 0x08, device::OP_ACK, {0x0A, 6});
                                });
    ChooseSceneItem("scene_item_delete_scene");
    ASSERT_TRUE(PlayedAll());
    EXPECT_EQ(shown, T("${tips}") + "|" + T("${save_scene_ok}"));
    EXPECT_EQ(link.SceneWnd(), platform::kNoWindow);

    ASSERT_TRUE(link.Get_Scene_Valid());  // answered by the late acknowledgement
    bool boxShown = false;
    WaitFor(
        [&] {
            boxShown = boxShown || TopModal() != nullptr;
            return false;
        },
        400);
    EXPECT_FALSE(boxShown);
}

TEST_F(SceneWindowTest, APulledCableDuringASaveEndsItAndReplugShowsTheAmplifiersState) {
    std::string notice;
    Play({InScene([](CSceneWnd& scene) { ActivateRow(scene, 5); }),
          {"namemsgwnd",
           [this](toolkit::Window& box) {
               // The name goes out, the cable goes with the save.
               mDemo.amplifier->UnplugAtFrame(device::CMD_FLASH, device::FLASH_SCENE_SAVE,
                                              device::OP_SET, 1);
               auto* edit = qobject_cast<QLineEdit*>(box.Find("name_edt")->Widget());
               QTest::keyClicks(edit, "Lost");
               QTest::keyClick(edit, Qt::Key_Return);
           }},
          Answer("confirm_btn", &notice)});
    QElapsedTimer took;
    took.start();
    ChooseSceneItem("scene_item_saveas_scene");
    ASSERT_TRUE(PlayedAll());
    EXPECT_LT(took.elapsed(), 10000);
    EXPECT_EQ(notice, UnplugNotice());
    EXPECT_EQ(Control("btnConnect").Text(), "${btn_disconnected}");
    EXPECT_EQ(mDemo.protocol->ValidMask(), 0x0003) << "the save never arrived";

    auto state = Amp();
    state.channels[4].trimAttenuation = 8;
    mDemo.protocol->SetState(0, state);
    mDemo.amplifier->Plug();
    ASSERT_TRUE(
        WaitFor([&] { return mWindow->Manager().IsSynchronised() && !mWindow->IsLoadingShown(); }));
    EXPECT_EQ(Control("edit_ch_volume_4").Text(), "-8dB");
    // The name had reached the amplifier before the cable went: it is read
    // back as the amplifier has it, with the slot still not stored.
    EXPECT_EQ(mWindow->Manager().SceneName(5), u"Lost");
    EXPECT_EQ(mWindow->Manager().SceneValidMask(), 0x0003u);
}

TEST_F(SceneWindowTest, APulledCableDuringALoadEndsItAndReplugShowsTheAmplifiersState) {
    std::string notice;
    Play({InScene([](CSceneWnd& scene) { ActivateRow(scene, 1); }),
          {"msgwnd",
           [this](toolkit::Window& box) {
               // The load goes out, the cable goes during the read after it.
               mDemo.amplifier->UnplugAtFrame(device::CMD_DSP, device::DSP_DELAY_CH, device::OP_GET,
                                              1);
               Press(box, "confirm_btn");
           }},
          Answer("confirm_btn", &notice)});
    QElapsedTimer took;
    took.start();
    ChooseSceneItem("scene_item_load_scene");
    ASSERT_TRUE(PlayedAll());
    EXPECT_LT(took.elapsed(), 10000);
    EXPECT_EQ(notice, UnplugNotice());
    EXPECT_EQ(Control("btnConnect").Text(), "${btn_disconnected}");
    mDemo.amplifier->Plug();
    ASSERT_TRUE(
        WaitFor([&] { return mWindow->Manager().IsSynchronised() && !mWindow->IsLoadingShown(); }));
    // Scene 2 is the amplifier's working state now: its subwoofer band.
    EXPECT_FLOAT_EQ(mWindow->Manager().WorkingProfile().eqBands[8][1].eqGain, 6.0f);
    EXPECT_EQ(mDemo.protocol->CurrentSceneId(), 2);
}

}  // namespace
}  // namespace ui
