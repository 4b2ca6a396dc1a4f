// Filter files through the running main window: the scene menu's import and
// export items with the file the test picks, the import summary window
// answered as the user answers it, down to the bands the virtual amplifier
// holds on the current output and its linked output.
#include <gtest/gtest.h>

#include <QAction>
#include <QFontMetrics>
#include <QListWidget>
#include <QMenu>
#include <QScrollBar>
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "device/dsp_subcommands.h"
#include "main_window_fixture.h"
#include "model/filter_file.h"
#include "testkit/temp_dir.h"
#include "toolkit/popup_menu.h"

namespace ui {
namespace {

using testing::BoxAnswerer;
using testing::MainWindowTest;
using testing::WaitFor;

// Three peaking filters fit; a shelf and a switched-off filter are refused;
// the preamp is only reported; the last line is not a filter line.
constexpr const char* kMixedFile =
    "Preamp: -6.5 dB\n"
    "Filter 1: ON PK Fc 62 Hz Gain -4.5 dB Q 1.50\n"
    "Filter 2: ON PK Fc 1000 Hz Gain 3.0 dB Q 2.00\n"
    "Filter 3: ON LS Fc 105 Hz Gain -4.0 dB Q 0.71\n"
    "Filter 4: OFF PK Fc 500 Hz Gain 2.0 dB Q 1.00\n"
    "Filter 5: ON PK Fc 8000 Hz Gain -2.5 dB Q 4.00\n"
    "this line is noise\n";

struct Expected {
    int hz;
    double gain;
    double q;
};
const std::vector<Expected> kMixedBands = {{62, -4.5, 1.5}, {1000, 3.0, 2.0}, {8000, -2.5, 4.0}};

double AmpGain(const virtual_device::EqBandState& band) {
    return ((band.gainByte & 0x1F) * 10 + band.gainTenths) / 10.0 - 18.0;
}

// Tenths, or thousandths on an amplifier with the finer Q.
double AmpQ(const virtual_device::EqBandState& band) {
    return band.qInteger + (band.qFraction >= 10 ? band.qFraction / 1000.0 : band.qFraction / 10.0);
}

// What the summary window showed when it opened.
struct ShownSummary {
    bool seen = false;
    std::string file;
    std::string headline;
    std::vector<std::string> rows;
    bool preampShown = false;
    std::string preamp;
    bool applyOffered = false;
    std::string otherButton;

    bool HasRow(const std::string& row) const {
        return std::find(rows.begin(), rows.end(), row) != rows.end();
    }
};

toolkit::Window* OpenSummaryWindow() {
    for (toolkit::Window* window : toolkit::window_registry::All()) {
        if (window->ClassName() == "FilterImportWnd" && window->IsRunningModal()) {
            return window;
        }
    }
    return nullptr;
}

class FilterImportTest : public MainWindowTest {
protected:
    void SetUp() override {
        MainWindowTest::SetUp();
        ASSERT_TRUE(StartAndSync());
        AnswerFileDialogs();
    }
    // The file dialogs give mChosen; every request is kept.
    void AnswerFileDialogs() {
        mWindow->SetFileChooser([this](const controller::FileDialogRequest& request) {
            mRequests.push_back(request);
            return mChosen;
        });
        QApplication::setActiveWindow(mWindow->Widget());
        ASSERT_TRUE(QTest::qWaitForWindowActive(mWindow->Widget()));
    }
    std::string Write(const std::string& name, const std::string& text) {
        const std::filesystem::path path = mDir.path() / name;
        std::ofstream(path, std::ios::binary) << text;
        return path.string();
    }
    // Opens the scene menu with its button and picks the item, as the user does.
    void ChooseFromSceneMenu(const char* item) {
        auto* sceneButton = qobject_cast<QAbstractButton*>(Control("btn_scene").Widget());
        ASSERT_NE(sceneButton, nullptr);
        sceneButton->click();
        ASSERT_NE(mWindow->OpenMenu(), nullptr);
        QMenu* menu = mWindow->OpenMenu()->Menu();
        ASSERT_NE(menu, nullptr);
        auto* action = menu->findChild<QAction*>(QString::fromLatin1(item));
        ASSERT_NE(action, nullptr) << item;
        ASSERT_TRUE(action->isEnabled()) << item;
        action->trigger();
        mWindow->OpenMenu()->CloseMenu();
    }
    // Answers the summary window with its button once it shows, keeping what
    // it showed.
    void AnswerSummary(BoxAnswerer& boxes, const std::string& button) {
        mShown = {};
        boxes.Expect(0, {button}, [this] { return Capture(); });
    }
    bool Capture() {
        toolkit::Window* window = OpenSummaryWindow();
        if (window == nullptr) {
            return false;
        }
        mShown.seen = true;
        mShown.file = window->Find("import_file")->Text();
        mShown.headline = window->Find("import_headline")->Text();
        const toolkit::Control* list = window->Find("import_list");
        for (int i = 0; i < list->ItemCount(); ++i) {
            mShown.rows.push_back(list->ItemText(i));
        }
        mShown.preampShown = window->Find("import_preamp")->Visible();
        mShown.preamp = window->Find("import_preamp")->Text();
        mShown.applyOffered = window->Find("apply_btn")->Visible();
        mShown.otherButton = toolkit::Translate(window->Find("cancel_btn")->Text());
        return true;
    }
    // Imports the file through the menu and the summary window answered with
    // the button; waits until everything it sent has reached the amplifier.
    void Import(const std::string& path, const std::string& button) {
        BoxAnswerer boxes(mWindow.get());
        AnswerSummary(boxes, button);
        mChosen = path;
        ChooseFromSceneMenu("scene_item_import_filters");
        ASSERT_TRUE(WaitFor([&] { return boxes.Answered(1); }, 5000));
        ASSERT_TRUE(mShown.seen);
        Idle();
    }
    void LinkOutputsOneAndTwo() {
        BoxAnswerer boxes(mWindow.get());
        boxes.Expect(1, {"check_box_0", "confirm_btn"});  // copy left to right
        qobject_cast<QAbstractButton*>(Control("btn_link_output").Widget())->click();
        ASSERT_TRUE(WaitFor([&] { return boxes.Answered(1); }, 5000));
        Idle();
        ASSERT_EQ(Profile().linkMode, 1);
    }
    // Types a band's gain and leaves the edit, as the user does.
    void TypeBandGain(int band, const char* text) {
        auto* edit = qobject_cast<QLineEdit*>(Control("eq_gain_" + std::to_string(band)).Widget());
        ASSERT_NE(edit, nullptr);
        // A box that closed leaves the main window inactive; its edits take
        // the focus again once it is active.
        QApplication::setActiveWindow(mWindow->Widget());
        ASSERT_TRUE(QTest::qWaitForWindowActive(mWindow->Widget()));
        edit->setFocus();
        edit->selectAll();
        QTest::keyClicks(edit, text);
        // The user clicks into another edit: leaving the band's edit commits it.
        qobject_cast<QLineEdit*>(Control("hp_freq").Widget())->setFocus();
        Idle();
    }
    void ExpectMixedBandsOn(int channel) {
        const virtual_device::AmplifierState amp = Amp();
        for (size_t b = 0; b < kMixedBands.size(); ++b) {
            const virtual_device::EqBandState& band = amp.channels[channel].eq[b];
            EXPECT_EQ(band.frequency, kMixedBands[b].hz) << channel << "/" << b;
            EXPECT_NEAR(AmpGain(band), kMixedBands[b].gain, 0.001) << channel << "/" << b;
            EXPECT_NEAR(AmpQ(band), kMixedBands[b].q, 0.001) << channel << "/" << b;
            EXPECT_EQ(band.gainByte >> 5, 0) << "peaking, " << channel << "/" << b;
            const model::EqBand& kept = Profile().eqArray(channel)[b];
            EXPECT_EQ(kept.freq, kMixedBands[b].hz);
            EXPECT_NEAR(kept.eqGain, kMixedBands[b].gain, 0.001);
            EXPECT_TRUE(kept.enable);
        }
        for (int b = static_cast<int>(kMixedBands.size()); b < Profile().bandCount(channel); ++b) {
            EXPECT_EQ(AmpGain(amp.channels[channel].eq[b]), 0.0) << "flat " << channel << "/" << b;
            EXPECT_EQ(Profile().eqArray(channel)[b].eqGain, 0.0f);
            EXPECT_TRUE(Profile().eqArray(channel)[b].enable);
        }
    }
    std::vector<std::vector<model::EqBand>> ProfileBands() {
        std::vector<std::vector<model::EqBand>> bands;
        for (int c = 0; c < 10; ++c) {
            const model::EqBand* eq = Profile().eqArray(c);
            bands.emplace_back(eq, eq + Profile().bandCount(c));
        }
        return bands;
    }
    size_t EqSets() { return SetsOf(device::DSP_EQ_CH); }
    const model::Profile& Profile() { return mWindow->Manager().WorkingProfile(); }

    testkit::TempWorkingDir mDir;
    std::string mChosen;
    std::vector<controller::FileDialogRequest> mRequests;
    ShownSummary mShown;
};

TEST_F(FilterImportTest, ApplyingPutsTheBandsOnTheOutputAndItsLinkedOutput) {
    LinkOutputsOneAndTwo();
    TypeBandGain(9, "-5");
    ASSERT_NEAR(AmpGain(Amp().channels[1].eq[9]), -5.0, 0.001) << "the partner follows edits";
    const uint8_t trimBefore = Amp().channels[0].trimAttenuation;

    Import(Write("room.txt", kMixedFile), "apply_btn");

    ASSERT_EQ(mRequests.size(), 1u);
    EXPECT_FALSE(mRequests[0].save);
    ASSERT_FALSE(mRequests[0].filters.empty());
    EXPECT_EQ(mRequests[0].filters[0].second, "*.txt");
    EXPECT_EQ(mShown.file, "File: room.txt");
    const std::string bands = std::to_string(Profile().bandCount(0));
    EXPECT_EQ(mShown.headline,
              "3 of the 5 filters in the file fit output 1 (" + bands + " bands).");
    EXPECT_TRUE(mShown.HasRow("    Band 1: 62 Hz, -4.5 dB, Q 1.50"));
    EXPECT_TRUE(mShown.HasRow("    Band 2: 1000 Hz, 3.0 dB, Q 2.00"));
    EXPECT_TRUE(mShown.HasRow("    Band 3: 8000 Hz, -2.5 dB, Q 4.00"));
    EXPECT_TRUE(mShown.HasRow("    Bands 4 to " + bands + " become flat (0 dB)."));
    EXPECT_TRUE(mShown.HasRow("Not taken (2):"));
    EXPECT_TRUE(
        mShown.HasRow("    Filter 3: the type LS is not a peaking filter. \xE2\x80\x94 LS 105 Hz "
                      "-4.0 dB Q 0.71"));
    EXPECT_TRUE(mShown.HasRow(
        "    Filter 4 is switched off and was skipped. \xE2\x80\x94 PK 500 Hz 2.0 dB Q 1.00"));
    EXPECT_TRUE(mShown.HasRow("    Line 7: this line is noise"));
    EXPECT_TRUE(mShown.preampShown);
    EXPECT_NE(mShown.preamp.find("-6.5 dB"), std::string::npos) << mShown.preamp;
    EXPECT_TRUE(mShown.applyOffered);

    ExpectMixedBandsOn(0);
    ExpectMixedBandsOn(1);  // the linked output takes them as it takes band edits
    EXPECT_EQ(Amp().channels[0].trimAttenuation, trimBefore) << "the preamp is not applied";
    EXPECT_EQ(Control("eq_freq_1").Text(), "1000");
    EXPECT_EQ(Control("eq_gain_2").Text(), "-2.5");
    ASSERT_NE(mWindow->Chart(), nullptr);
    EXPECT_EQ(mWindow->Chart()->Band(2).freq, 8000) << "the chart shows the new bands";
    EXPECT_FALSE(Profile().channels[0].bypass);
    EXPECT_EQ(Amp().channels[0].eqBypass, 0);
}

TEST_F(FilterImportTest, ApplyingNothingOrClosingTheWindowChangesNothing) {
    TypeBandGain(4, "2.5");
    const std::string path = Write("room.txt", kMixedFile);
    for (const char* button : {"cancel_btn", "closebtn"}) {
        const virtual_device::AmplifierState before = Amp();
        const auto profileBefore = ProfileBands();
        const size_t sets = EqSets();
        Import(path, button);
        EXPECT_TRUE(mShown.applyOffered);
        EXPECT_EQ(mShown.otherButton, "Apply nothing");
        EXPECT_EQ(EqSets(), sets) << button;
        EXPECT_TRUE(Amp().channels == before.channels) << button;
        EXPECT_TRUE(ProfileBands() == profileBefore) << button;
        EXPECT_EQ(Control("eq_gain_4").Text(), "2.5") << button;
    }
}

TEST_F(FilterImportTest, AFileWhereNothingFitsOffersOnlyClosing) {
    const size_t sets = EqSets();
    const auto profileBefore = ProfileBands();
    Import(Write("shelves.txt",
                 "Filter 1: ON LS Fc 105 Hz Gain -4.0 dB Q 0.71\n"
                 "Filter 2: ON PK Fc 5 Hz Gain 2.0 dB Q 1.00\n"),
           "cancel_btn");
    EXPECT_EQ(mShown.headline,
              "None of the 2 filters in the file fits output 1. Nothing can be applied.");
    EXPECT_FALSE(mShown.applyOffered);
    EXPECT_EQ(mShown.otherButton, "Close");
    EXPECT_FALSE(mShown.preampShown);
    EXPECT_TRUE(mShown.HasRow("Not taken (2):"));
    EXPECT_EQ(EqSets(), sets);
    EXPECT_TRUE(ProfileBands() == profileBefore);
}

TEST_F(FilterImportTest, ABadFileGivesItsMessageAndChangesNothing) {
    struct Bad {
        std::string path;
        const char* key;
    };
    const std::vector<Bad> files = {
        {Write("empty.txt", ""), "${filter_file_empty}"},
        {Write("binary.txt", std::string("PK\x03\x04\x00\x00\x01\x02", 8)),
         "${filter_file_binary}"},
        {Write("notes.txt", "Preamp: -3 dB\nsome notes\n"), "${filter_file_no_filters}"},
        {Write("huge.txt", std::string(model::kMaxFilterFileBytes + 1, 'a')),
         "${filter_file_too_large}"},
        {(mDir.path() / "missing.txt").string(), "${filter_file_open_error}"},
    };
    for (const Bad& bad : files) {
        const virtual_device::AmplifierState before = Amp();
        const auto profileBefore = ProfileBands();
        const size_t sets = EqSets();
        BoxAnswerer boxes(mWindow.get());
        boxes.Expect(1);
        mChosen = bad.path;
        ChooseFromSceneMenu("scene_item_import_filters");
        ASSERT_TRUE(WaitFor([&] { return boxes.Answered(1); }, 5000)) << bad.key;
        Idle();
        ASSERT_EQ(boxes.Texts().size(), 1u) << bad.key << ": only the message, no summary";
        EXPECT_EQ(boxes.Texts()[0], toolkit::Translate(bad.key));
        EXPECT_EQ(EqSets(), sets) << bad.key;
        EXPECT_TRUE(Amp().channels == before.channels) << bad.key;
        EXPECT_TRUE(ProfileBands() == profileBefore) << bad.key;
    }
}

TEST_F(FilterImportTest, AnExportedOutputImportedIntoAnotherGivesTheSameBands) {
    Import(Write("room.txt", kMixedFile), "apply_btn");
    TypeBandGain(7, "1.5");
    const std::string exported = (mDir.path() / "front left").string();
    {
        BoxAnswerer boxes(mWindow.get());
        boxes.Expect(1);
        mChosen = exported + ".txt";
        ChooseFromSceneMenu("scene_item_export_filters");
        ASSERT_TRUE(WaitFor([&] { return boxes.Answered(1); }, 5000));
        EXPECT_EQ(boxes.Texts().at(0), toolkit::Translate("${filter_export_ok}"));
    }
    ASSERT_EQ(mRequests.size(), 2u);
    EXPECT_TRUE(mRequests[1].save);
    EXPECT_EQ(mRequests[1].defaultExtension, "txt");
    ASSERT_TRUE(std::filesystem::exists(exported + ".txt"));
    EXPECT_FALSE(std::filesystem::exists(exported + ".txt.tmp")) << "no half-written file left";

    qobject_cast<QAbstractButton*>(Control("ch_enable_2").Widget())->click();
    Idle();
    ASSERT_EQ(mWindow->Manager().CurrentChannel(), 2);
    Import(exported + ".txt", "apply_btn");
    const virtual_device::AmplifierState amp = Amp();
    ASSERT_EQ(Profile().bandCount(2), Profile().bandCount(0));
    for (int b = 0; b < Profile().bandCount(0); ++b) {
        EXPECT_EQ(amp.channels[2].eq[b], amp.channels[0].eq[b]) << "band " << b;
    }
    EXPECT_NEAR(AmpGain(amp.channels[2].eq[7]), 1.5, 0.001);

    // A file that cannot be written says so.
    BoxAnswerer boxes(mWindow.get());
    boxes.Expect(1);
    mChosen = (mDir.path() / "no such folder" / "x.txt").string();
    ChooseFromSceneMenu("scene_item_export_filters");
    ASSERT_TRUE(WaitFor([&] { return boxes.Answered(1); }, 5000));
    EXPECT_EQ(boxes.Texts().at(0), toolkit::Translate("${filter_export_error}"));
}

// A long mixed file: more filters than the output has bands, refusals of
// every kind, a preamp and unread lines. The list scrolls and wraps; every
// text fits in every language at every scale.
TEST_F(FilterImportTest, TheSummaryOfALongFileFitsAtEveryScaleInEveryLanguage) {
    std::string text = "Preamp: -7.2 dB\n";
    for (int k = 1; k <= 24; ++k) {
        text += "Filter " + std::to_string(k) + ": ON PK Fc " + std::to_string(40 * k) +
                " Hz Gain -" + std::to_string(k % 9) + ".5 dB Q 1.20\n";
    }
    text +=
        "Filter 25: ON LS Fc 105 Hz Gain -4.0 dB Q 0.71\n"
        "Filter 26: ON HS Fc 9000 Hz Gain 2.0 dB Q 0.71\n"
        "Filter 27: OFF PK Fc 300 Hz Gain 1.0 dB Q 2.00\n"
        "Filter 28: ON PK Fc 5 Hz Gain 1.0 dB Q 2.00\n"
        "Filter 29: ON PK Fc 400 Hz Gain 25.0 dB Q 2.00\n"
        "Filter 30: ON PK Fc 500 Hz Gain 1.0 dB Q 40.00\n"
        "Filter 31: ON PK Fc 600 Hz Gain 1.0 dB\n"
        "Filter 32: ON HP Fc 30 Hz\n"
        "Room measured at the driver's seat\n"
        "Filter 33 ON PK 700 Hz\n"
        "Fc 1000 Hz\n";
    const std::string path = Write("long.txt", text);
    int wrappedRows = 0;
    for (int scale : {100, 125, 150}) {
        ASSERT_TRUE(RestartAt(scale)) << scale;
        AnswerFileDialogs();
        SetDisplayScale(scale);  // the windows the program opens now take it
        for (const auto& [language, stored] : testing::kEveryLanguage) {
            SwitchLanguage(language, stored);
            QApplication::processEvents();
            const std::string what = language + "_" + std::to_string(scale);
            BoxAnswerer boxes(mWindow.get());
            boxes.Expect(0, {"cancel_btn"}, [&] {
                toolkit::Window* window = OpenSummaryWindow();
                if (window == nullptr) {
                    return false;
                }
                QApplication::processEvents();
                EXPECT_EQ(window->Scale(), scale);
                testing::ExpectEverythingFits(*window, what);
                auto* list = qobject_cast<QListWidget*>(window->Find("import_list")->Widget());
                EXPECT_GE(list->count(), 30) << what;
                EXPECT_GT(list->verticalScrollBar()->maximum(), 0) << what << ": the list scrolls";
                EXPECT_EQ(list->horizontalScrollBar()->maximum(), 0)
                    << what << ": no row runs out of the list sideways";
                // A row wider than the list is wrapped onto more lines, not cut.
                const int room = list->viewport()->width();
                for (int i = 0; i < list->count(); ++i) {
                    const QFontMetrics metrics(list->item(i)->font());
                    if (metrics.horizontalAdvance(list->item(i)->text()) > room) {
                        ++wrappedRows;
                        EXPECT_GT(list->visualItemRect(list->item(i)).height(),
                                  metrics.height() * 3 / 2)
                            << what << ": cut " << list->item(i)->text().toStdString();
                    }
                }
                for (int i = 0; i < list->count(); ++i) {
                    EXPECT_EQ(list->item(i)->text().indexOf("${"), -1)
                        << what << ": untranslated " << list->item(i)->text().toStdString();
                    EXPECT_EQ(list->item(i)->text().indexOf("%"), -1)
                        << what << ": a place not filled " << list->item(i)->text().toStdString();
                }
                testing::SaveScreenshot(*window, "filter_import_" + what);
                list->scrollToBottom();  // the refusals and the unread lines
                testing::SaveScreenshot(*window, "filter_import_" + what + "_end");
                return true;
            });
            mChosen = path;
            ChooseFromSceneMenu("scene_item_import_filters");
            ASSERT_TRUE(WaitFor([&] { return boxes.Answered(1); }, 5000)) << what;
        }
        SwitchLanguage("en", "0");
        SetDisplayScale(100);
    }
    EXPECT_GT(wrappedRows, 0) << "the file has rows too long for one line";
}

}  // namespace
}  // namespace ui
