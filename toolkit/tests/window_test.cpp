#include <gtest/gtest.h>

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QSlider>
#include <QTest>
#include <QTimer>

#include "test_skin.h"
#include "toolkit/text_resources.h"

namespace toolkit {
namespace {

using testing::RecordingWindow;

const char* kLayout = R"(<Window size="400,300" caption="30" fontsize="12">
  <Container name="page" pos="0,0,400,300" pump="mainpage" bkcolor="#FF202020">
    <Button name="btn_go" pos="10,10,80,24" text="${go}" userdata="5"/>
    <Option name="ch_mute_3" pos="100,10,80,24" text="Mute" userdata="3"/>
    <Option name="pick_a" pos="10,40,60,24" group="g" selected="true" userdata="0"/>
    <Option name="pick_b" pos="80,40,60,24" group="g" userdata="1"/>
    <Slider name="slider_ch_volume_2" pos="10,70,200,20" min="-600" max="0" value="-100" userdata="2"/>
    <Edit name="edit_main_volume" pos="10,100,80,24" text="12dB" userdata="7"/>
    <Edit name="edit_other" pos="100,100,80,24"/>
    <Combo name="hp_type" pos="10,130,120,24" selected="0" userdata="1">
      <Item text="${bw}" userdata="0"/><Item text="LR" userdata="1"/>
    </Combo>
    <Label name="label_tip" pos="10,160,200,24" text="${go}"/>
    <Curve name="equalizer" pos="10,190,100,60" userdata="-1"/>
    <Container name="channel_settings" pos="200,190,190,100"/>
    <TabLayout name="tabs" pos="0,260,100,30" selected="1">
      <Container name="tab0"/><Container name="tab1"/>
    </TabLayout>
    <Button name="closebtn" pos="370,0,30,24" text="x"/>
  </Container>
</Window>)";

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::UseTestSkin(
            {{"xml/res.xml", "<Res><Xml id='XML_T' path='xml/t.xml'/></Res>"},
             {"xml/t.xml", kLayout},
             {"xml/sub.xml", "<Layout><Option name='option_ch_in0_1' pos='0,0,20,20'/></Layout>"},
             {"lan/en.xml",
              "<L><Text id='${go}' value='Go'/><Text id='${bw}' value='Butterworth'/></L>"},
             {"lan/cn.xml", "<L><Text id='${go}' value='\xE5\x8E\xBB'/></L>"}});
        Texts().Clear();
        Texts().RegisterLanguage(*Skin::Instance().ReadFile("lan/en.xml"), "en");
        Texts().RegisterLanguage(*Skin::Instance().ReadFile("lan/cn.xml"), "cn_zh");
        Texts().SetLanguage("en");
        window.SetBuilder([this](const std::string& tag, const XmlElement&, QWidget* parent,
                                 Window&) -> QWidget* {
            builtTags.push_back(tag);
            return tag == "Curve" ? new QWidget(parent) : nullptr;
        });
        window.Create(nullptr, "XML_T");
        window.Show();
        QApplication::setActiveWindow(window.Widget());
        // Activation arrives as an event; focus tests start after it.
        EXPECT_TRUE(QTest::qWaitForWindowActive(window.Widget()));
    }
    void TearDown() override { Texts().Clear(); }

    template <class T>
    T* W(const char* name) {
        return qobject_cast<T*>(window.Find(name)->Widget());
    }

    RecordingWindow window;
    std::vector<std::string> builtTags;
};

TEST_F(WindowTest, ControlsAreFoundByNameWithTheirAttributes) {
    ASSERT_NE(window.FindControl("btn_go"), nullptr);
    EXPECT_EQ(window.FindControl("nothing"), nullptr);
    EXPECT_EQ(window.FindControl("btn_go")->UserDataInt(), 5);
    EXPECT_EQ(window.FindControl("btn_go")->Text(), "${go}");
    EXPECT_EQ(W<QPushButton>("btn_go")->text(), "Go");
    EXPECT_TRUE(window.FindControl("pick_a")->Selected());
    EXPECT_EQ(window.FindControl("slider_ch_volume_2")->Value(), -100);
    EXPECT_EQ(window.FindControl("slider_ch_volume_2")->Minimum(), -600);
    EXPECT_EQ(window.FindControl("hp_type")->ItemCount(), 2);
    EXPECT_EQ(W<QComboBox>("hp_type")->itemText(0), "Butterworth");
    EXPECT_EQ(window.FindControl("tabs")->Value(), 1);
    EXPECT_EQ(window.FindControl("equalizer")->Kind(), ControlKind::Custom);
    EXPECT_EQ(builtTags, std::vector<std::string>{"Curve"});

    ControlHandle* label = window.FindControl("label_tip");
    label->SetTextColor(0xFFFF0000);
    EXPECT_EQ(label->TextColor(), 0xFFFF0000u);
    label->SetVisible(false);
    EXPECT_FALSE(label->Visible());
    label->SetEnabled(false);
    EXPECT_FALSE(label->Enabled());
}

TEST_F(WindowTest, LanguageSwitchRedrawsTranslatedTexts) {
    Texts().SetLanguage("cn_zh");
    window.Retranslate();
    EXPECT_EQ(W<QLabel>("label_tip")->text(), QString::fromUtf8("\xE5\x8E\xBB"));
    EXPECT_EQ(W<QComboBox>("hp_type")->itemText(0), "${bw}");  // missing key shows the key
}

// Values keep Latin units inside the program and show the language's own.
TEST_F(WindowTest, UnitsAfterNumbersShowInTheLanguageAndReadBackLatin) {
    ASSERT_TRUE(Texts().RegisterLanguage(
        "<L><Text id='${unit_db}' value='\xD0\xB4\xD0\x91'/>"                            // дБ
        "<Text id='${unit_db_oct}' value='\xD0\xB4\xD0\x91/\xD0\xBE\xD0\xBA\xD1\x82'/>"  // дБ/окт
        "<Text id='${unit_ms}' value='\xD0\xBC\xD1\x81'/></L>",                          // мс
        "ru"));
    window.Retranslate();
    Control* edit = window.Find("edit_main_volume");
    EXPECT_EQ(W<QLineEdit>("edit_main_volume")->text(), QString::fromUtf8("12дБ"));
    EXPECT_EQ(edit->Text(), "12dB") << "the program reads the Latin unit";
    W<QLineEdit>("edit_main_volume")->setText(QString::fromUtf8("-4.5 дБ"));
    EXPECT_EQ(edit->Text(), "-4.5 dB") << "a typed unit of the language reads as Latin";

    Control* label = window.Find("label_tip");
    label->SetText("2.000 ms, 12 dB/oct, 5 inch, dB, 3Hz");
    EXPECT_EQ(W<QLabel>("label_tip")->text(),
              QString::fromUtf8("2.000 мс, 12 дБ/окт, 5 inch, dB, 3Hz"))
        << "only units after a number change; a unit the language lacks stays Latin";
    EXPECT_EQ(label->Text(), "2.000 ms, 12 dB/oct, 5 inch, dB, 3Hz");

    edit->SetText("7dB");
    Texts().SetLanguage("en");
    window.Retranslate();
    EXPECT_EQ(W<QLineEdit>("edit_main_volume")->text(), "7dB")
        << "a shown value follows the switch";
    EXPECT_EQ(W<QLabel>("label_tip")->text(), "2.000 ms, 12 dB/oct, 5 inch, dB, 3Hz");
}

TEST_F(WindowTest, AShownWindowThatChangesItsSizeSaysSo) {
    window.notes.clear();
    window.Widget()->resize(420, 320);
    QApplication::processEvents();
    EXPECT_EQ(window.Types(), "windowsize:;");
    window.Widget()->resize(420, 320);
    QApplication::processEvents();
    EXPECT_EQ(window.Types(), "windowsize:;") << "the same size again is no change";
}

TEST_F(WindowTest, ClickOptionAndGroupNotifications) {
    W<QPushButton>("btn_go")->click();
    ASSERT_EQ(window.notes.size(), 1u);
    EXPECT_EQ(window.notes[0].type, "click");
    EXPECT_EQ(window.notes[0].name, "btn_go");
    EXPECT_EQ(window.notes[0].userData, "5");
    EXPECT_EQ(window.notes[0].sender, window.FindControl("btn_go"));

    window.notes.clear();
    QTest::mouseClick(window.Find("ch_mute_3")->Widget(), Qt::LeftButton);
    EXPECT_EQ(window.Types(), "click:ch_mute_3;selectchanged:ch_mute_3;");
    EXPECT_TRUE(window.FindControl("ch_mute_3")->Selected());
    EXPECT_EQ(window.notes[1].userDataInt, 3);

    window.notes.clear();
    window.FindControl("ch_mute_3")->SetSelected(false, false);
    EXPECT_TRUE(window.notes.empty());
    window.FindControl("ch_mute_3")->SetSelected(true);
    EXPECT_EQ(window.Types(), "selectchanged:ch_mute_3;");

    window.notes.clear();
    QTest::mouseClick(window.Find("pick_b")->Widget(), Qt::LeftButton);
    EXPECT_TRUE(window.FindControl("pick_b")->Selected());
    EXPECT_FALSE(window.FindControl("pick_a")->Selected());
    EXPECT_NE(window.Types().find("selectchanged:pick_a;"), std::string::npos) << window.Types();
    EXPECT_NE(window.Types().find("click:pick_b;selectchanged:pick_b;"), std::string::npos);
}

TEST_F(WindowTest, SliderMovesWhileDraggingAndSettlesOnRelease) {
    QSlider* slider = W<QSlider>("slider_ch_volume_2");
    slider->setSliderDown(true);
    slider->setValue(-200);
    slider->setValue(-250);
    slider->setSliderDown(false);
    EXPECT_EQ(window.Types(),
              "movevaluechanged:slider_ch_volume_2;movevaluechanged:slider_ch_volume_2;"
              "valuechanged:slider_ch_volume_2;");
    EXPECT_EQ(window.notes.back().userDataInt, 2);
    window.notes.clear();
    slider->setFocus();
    window.notes.clear();
    QTest::keyClick(slider, Qt::Key_Right);
    EXPECT_EQ(window.Types(), "valuechanged:slider_ch_volume_2;");
    window.notes.clear();
    window.FindControl("slider_ch_volume_2")->SetValue(-10);
    EXPECT_TRUE(window.notes.empty());
    EXPECT_EQ(slider->value(), -10);
}

TEST_F(WindowTest, EditReturnFocusAndArrowNotifications) {
    QLineEdit* edit = W<QLineEdit>("edit_main_volume");
    W<QLineEdit>("edit_other")->setFocus(Qt::MouseFocusReason);
    window.notes.clear();
    edit->setFocus(Qt::MouseFocusReason);
    EXPECT_EQ(window.Types(), "killfocus:edit_other;setfocus:edit_main_volume;");
    window.notes.clear();
    edit->selectAll();
    QTest::keyClicks(edit, "5");
    QTest::keyClick(edit, Qt::Key_Return);
    QTest::keyClick(edit, Qt::Key_Up);
    QTest::keyClick(edit, Qt::Key_Right);
    QTest::keyClick(edit, Qt::Key_Home);
    QTest::keyClick(edit, Qt::Key_Left);
    EXPECT_EQ(window.Types(),
              "return:edit_main_volume;valuechangedup:edit_main_volume;valuechangedright:edit_main_"
              "volume;"
              "valuechangedleft:edit_main_volume;");
    EXPECT_EQ(window.FindControl("edit_main_volume")->Text(), "5");
    EXPECT_EQ(window.notes[0].userData, "7");
    window.notes.clear();
    W<QLineEdit>("edit_other")->setFocus(Qt::TabFocusReason);
    EXPECT_EQ(window.Types(), "killfocus:edit_main_volume;setfocus:edit_other;");
}

TEST_F(WindowTest, ComboSelectionByTheUser) {
    QComboBox* combo = W<QComboBox>("hp_type");
    combo->setFocus();
    window.notes.clear();
    QTest::keyClick(combo, Qt::Key_Down);
    EXPECT_EQ(window.Types(), "itemselect:hp_type;");
    EXPECT_EQ(window.notes[0].userDataInt, 1);
    EXPECT_EQ(window.FindControl("hp_type")->SelectedIndex(), 1);
    window.notes.clear();
    window.FindControl("hp_type")->SelectItem(0);
    EXPECT_TRUE(window.notes.empty());
}

TEST_F(WindowTest, SubPumpsSubLayoutsAndClose) {
    std::vector<std::string> heard;
    window.AddSubPump("mainpage",
                      [&](const Notification& n) { heard.push_back(n.type + ":" + n.name); });
    ASSERT_TRUE(window.LoadSubLayout("channel_settings", "xml/sub.xml"));
    EXPECT_FALSE(window.LoadSubLayout("btn_go", "xml/sub.xml"));
    EXPECT_FALSE(window.LoadSubLayout("channel_settings", "xml/none.xml"));
    ControlHandle* routed = window.FindControl("option_ch_in0_1");
    ASSERT_NE(routed, nullptr);
    routed->Activate();
    EXPECT_TRUE(routed->Selected());
    EXPECT_EQ(heard,
              (std::vector<std::string>{"selectchanged:option_ch_in0_1", "click:option_ch_in0_1"}));
    W<QPushButton>("closebtn")->click();
    EXPECT_FALSE(window.Widget()->isVisible());
    EXPECT_EQ(window.Result(), 0);
}

// A window drawn at 150 % draws every text at 150 %: the controls without a
// font of their own too, deep inside containers, under the window's own
// background sheet.
TEST(DisplayScale, EveryTextGrowsWithTheWindow) {
    testing::UseTestSkin({{"xml/res.xml", "<Res><Xml id='XML_S' path='xml/s.xml'/></Res>"},
                          {"xml/s.xml", R"(<Window size="200,100" fontsize="12" bkcolor="#FF101010">
  <Container name="box" pos="0,0,200,100">
    <Container name="inner" pos="0,0,200,100">
      <Option name="plain" pos="0,0,100,20" text="Plain"/>
      <Button name="titled" pos="0,30,100,20" text="Bold" font="10b"/>
    </Container>
  </Container>
</Window>)"}});
    RecordingWindow window;
    window.SetScale(150);
    window.Create(nullptr, "XML_S");
    window.Show();
    const QFont plain = window.Find("plain")->Widget()->font();
    const QFont titled = window.Find("titled")->Widget()->font();
    EXPECT_EQ(plain.pixelSize(), 18);
    EXPECT_FALSE(plain.bold());
    EXPECT_EQ(titled.pixelSize(), 15);
    EXPECT_TRUE(titled.bold());
}

TEST(MissingLayout, ShowsAnErrorNamingItAndEndsWithCodeOne) {
    testing::UseTestSkin(
        {{"xml/res.xml", "<Res><Xml id='XML_BROKEN' path='xml/broken.xml'/></Res>"},
         {"xml/broken.xml", "<Window><Label pos='1'/></Window>"}});
    auto create = [](const char* id) {
        QTimer::singleShot(100, [] {
            if (QWidget* box = QApplication::activeModalWidget())
                box->close();
        });
        RecordingWindow window;
        window.Create(nullptr, id);
    };
    EXPECT_EXIT(create("XML_NOWHERE"), ::testing::ExitedWithCode(1), "XML_NOWHERE");
    EXPECT_EXIT(create("XML_BROKEN"), ::testing::ExitedWithCode(1), "XML_BROKEN");
}

}  // namespace
}  // namespace toolkit
