// The message boxes, the two-choice box, the name box, the loading window and
// the about window, driven through their buttons.
#include <gtest/gtest.h>

#include <QLabel>
#include <QLineEdit>
#include <QTest>

#include "app/model_cfg.h"
#include "toolkit/text_resources.h"
#include "toolkit/window_registry.h"
#include "ui/dialogs/about_window.h"
#include "ui/dialogs/choice_box.h"
#include "ui/dialogs/loading_window.h"
#include "ui/dialogs/message_box.h"
#include "ui/dialogs/name_box.h"
#include "ui/skin/languages.h"
#include "ui_test_support.h"

namespace ui {
namespace {

using testing::Click;
using testing::WhenModal;

class DialogsTest : public ::testing::Test {
protected:
    void SetUp() override {
        SetUpLanguages(app::CurrentModelCfg());
        toolkit::Texts().SetLanguage("en");
    }
};

// Opens a message box with count buttons and clicks one of them.
int BoxResult(int count, const char* button, bool* clicked) {
    CMsgWnd box;
    box.CreateOver(nullptr, "XML_MSG");
    box.SetTexts("${tips}", "${device_reboot}");
    box.SetButtons({"${confirm}", "${cancel}", "${save}"}, count);
    WhenModal([&] {
        *clicked = Click(box, button);
        if (!*clicked)
            box.Close(-1);
    });
    return box.RunModal();
}

TEST_F(DialogsTest, MessageBoxButtonsAndResults) {
    bool clicked = false;
    EXPECT_EQ(BoxResult(1, "confirm_btn", &clicked), 1);
    EXPECT_EQ(BoxResult(3, "cancel_btn", &clicked), 0);
    EXPECT_EQ(BoxResult(3, "third_btn", &clicked), 2);
    EXPECT_EQ(BoxResult(2, "closebtn", &clicked), 0);
    // With one button neither cancel nor the third button can be clicked.
    EXPECT_EQ(BoxResult(1, "cancel_btn", &clicked), -1);
    EXPECT_FALSE(clicked);
    EXPECT_EQ(BoxResult(2, "third_btn", &clicked), -1);
    EXPECT_FALSE(clicked);

    CMsgWnd box;
    box.CreateOver(nullptr, "XML_MSG");
    box.SetTexts("", "${device_reboot}");
    box.SetButtons({"${confirm}", "${cancel}", "${save}"}, 3);
    EXPECT_EQ(qobject_cast<QLabel*>(box.Find("MessageTitle")->Widget())->text(),
              "Notice");  // the layout's own
    EXPECT_EQ(qobject_cast<QLabel*>(box.Find("MessageText")->Widget())->text().toStdString(),
              toolkit::Translate("${device_reboot}"));
    EXPECT_EQ(box.Find("third_btn")->Text(), "${save}");
}

TEST_F(DialogsTest, ShowMessageAndConfirmBox) {
    WhenModal([] {
        auto* box = dynamic_cast<CMsgWnd*>(toolkit::window_registry::FindByTitle("msgwnd"));
        ASSERT_NE(box, nullptr);
        EXPECT_FALSE(box->Find("cancel_btn")->Visible());
        Click(*box, "confirm_btn");
    });
    EXPECT_EQ(ShowMessage(nullptr, "${tips}", "${device_connect_fail}"), 1);
    WhenModal([] {
        auto* box = dynamic_cast<CMsgWnd*>(toolkit::window_registry::FindByTitle("msgwnd"));
        ASSERT_NE(box, nullptr);
        EXPECT_TRUE(box->Find("cancel_btn")->Visible());
        Click(*box, "cancel_btn");
    });
    EXPECT_EQ(ShowConfirmBox(nullptr, "${tips}", "${factory_default_tips}"), 0);
}

TEST_F(DialogsTest, ChoiceBoxWaitsForAChoice) {
    for (const char* choice : {"check_box_0", "check_box_1", ""}) {
        CMsgCheckBoxWnd box;
        box.CreateOver(nullptr, "XML_CHECKBOX_MSG");
        box.SetTexts("${tips}", "${link_tips}", "${copy_left_to_right}", "${copy_right_to_left}");
        bool stayedOpen = false;
        WhenModal([&] {
            Click(box, "confirm_btn");  // neither option chosen yet
            stayedOpen = box.Widget()->isVisible();
            if (*choice != '\0') {
                Click(box, choice);
                Click(box, "confirm_btn");
            } else {
                Click(box, "cancel_btn");
            }
        });
        int result = box.RunModal();
        EXPECT_TRUE(stayedOpen);
        EXPECT_EQ(result, *choice == '\0' ? 0 : (std::string(choice) == "check_box_0" ? 1 : 2))
            << choice;
    }
}

TEST_F(DialogsTest, NameBoxDeliversAtMostSevenCharacters) {
    char16_t name[kNameBufferUnits] = u"Old";
    CNameMsgWnd box(name);
    box.Prepare(nullptr);
    auto* edit = qobject_cast<QLineEdit*>(box.Find("name_edt")->Widget());
    EXPECT_EQ(edit->text(), "Old");
    WhenModal([&] {
        edit->selectAll();
        QTest::keyClicks(edit, "ABCDEFGHIJ");
        QTest::keyClick(edit, Qt::Key_Return);
    });
    EXPECT_EQ(box.RunModal(), 1);
    EXPECT_EQ(std::u16string(name), u"ABCDEFG");
    EXPECT_EQ(name[7], 0);

    // A longer text put in by the program is cut too, and "third_btn" leaves
    // the buffer alone.
    CNameMsgWnd pasted(name);
    pasted.Prepare(nullptr);
    WhenModal([&] {
        qobject_cast<QLineEdit*>(pasted.Find("name_edt")->Widget())->setMaxLength(32);
        pasted.Find("name_edt")
            ->SetText(
                "\xE5\x9C\xBA\xE6\x99\xAF\xE4\xB8\x80\xE4\xBA\x8C\xE4\xB8\x89\xE5\x9B\x9B\xE4\xBA"
                "\x94\xE5\x85\xAD");
        Click(pasted, "confirm_btn");
    });
    EXPECT_EQ(pasted.RunModal(), 1);
    EXPECT_EQ(std::u16string(name).size(), 7u);

    char16_t kept[kNameBufferUnits] = u"Keep";
    CNameMsgWnd third(kept);
    third.Prepare(nullptr);
    WhenModal([&] {
        third.Find("third_btn")->SetVisible(true);
        third.Find("name_edt")->SetText("Other");
        Click(third, "third_btn");
    });
    EXPECT_EQ(third.RunModal(), 2);
    EXPECT_EQ(std::u16string(kept), u"Keep");
}

TEST_F(DialogsTest, LoadingWindowClosesWhenItsOwnerSaysSo) {
    CLoadingWnd loading;
    loading.Prepare(nullptr);
    WhenModal([&] { QTimer::singleShot(30, [&] { loading.Close(1); }); });
    EXPECT_EQ(loading.RunModal(), 1);
}

TEST_F(DialogsTest, AboutWindowVersionLines) {
    const app::ModelCfg& model = app::CurrentModelCfg();
    EXPECT_EQ(AboutFirmwareLine(model, {}), "VTA3300.4-KM ");
    EXPECT_EQ(AboutFirmwareLine(model, {143, 1, 32}), "VTA3300.4-KM Firmware v1.32");
    EXPECT_EQ(AboutSoftwareLine(), "Software v6.8.16");
    EXPECT_EQ(AboutInnerFirmwareLine(model), "Built-in firmware v1.32");
    app::ModelCfg unnamed = model;
    unnamed.mMODEL_NAME[0] = '\0';
    EXPECT_EQ(AboutFirmwareLine(unnamed, {}), "");

    CAboutWnd about(model, {});
    about.Prepare(nullptr);
    EXPECT_TRUE(about.Find("fw_version")->Visible());
    EXPECT_FALSE(about.Find("company_title")->Visible());  // this model shows its link instead
    EXPECT_TRUE(about.Find("inner_fw_version")->Visible());
    EXPECT_EQ(about.Find("soft_version")->Text(), "Software v6.8.16");
    CAboutWnd noName(unnamed, {});
    noName.Prepare(nullptr);
    EXPECT_FALSE(noName.Find("fw_version")->Visible());
    WhenModal([&] { Click(about, "confirm_btn"); });
    EXPECT_EQ(about.RunModal(), 1);
}

}  // namespace
}  // namespace ui
