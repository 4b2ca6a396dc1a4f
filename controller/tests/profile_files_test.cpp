// Scene profiles and whole configurations from and to files, end to end:
// the file the user picks, the amplifier's whole state after a load, the
// file after a save, and every bad file refused with nothing changed.
#include <cJSON.h>
#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <functional>
#include <span>
#include <string>
#include <vector>

#include "app/settings.h"
#include "device/dsp_subcommands.h"
#include "device/mcu_subcommands.h"
#include "model/main_volume_map.h"
#include "model/profile_json.h"
#include "profile_flow_fixture.h"

namespace test_support {
namespace {

model::SceneName NameBytes(const std::string& text) {
    model::SceneName name{};
    std::copy(text.begin(), text.end(), name.begin());
    return name;
}

void Spit(const std::filesystem::path& path, const std::string& text) {
    std::ofstream(path, std::ios::binary) << text;
}

// The text with one change made to its JSON tree.
std::string Edited(const std::string& text, const std::function<void(cJSON*)>& edit) {
    cJSON* root = cJSON_Parse(text.c_str());
    edit(root);
    char* printed = cJSON_PrintUnformatted(root);
    std::string result(printed);
    cJSON_free(printed);
    cJSON_Delete(root);
    return result;
}

TEST_F(ProfileFlowTest, ASceneFileBecomesTheAmplifiersWorkingStateAndTheView) {
    ASSERT_TRUE(ConnectAndSync());
    model::Profile tune = Retuned(2);
    tune.source = mManager->WorkingProfile().source == 5 ? 4 : 5;  // another source
    // The device keeps a volume per source: the file's volume must become the
    // volume of the file's source, not of the one playing before.
    tune.mainVolume = mManager->WorkingProfile().mainVolume == 31 ? 23 : 31;
    ASSERT_TRUE(model::ProfileFile().writeSceneProfile(tune, File("tune.spf"), false));
    mUi.mChosenFile = File("tune.spf").string();
    ASSERT_TRUE(RunBehindLoading([&] { mManager->LoadSenceConfigFromFile(); }));
    ASSERT_TRUE(WaitQueueIdle());
    Settle();

    ASSERT_EQ(mUi.mFileRequests.size(), 1u);
    EXPECT_FALSE(mUi.mFileRequests[0].save);
    EXPECT_TRUE(mUi.mMessages.empty());
    const virtual_device::AmplifierState amp = Amp(0);
    EXPECT_EQ(amp.sourceCode, 81 + tune.source);  // the device plays the file's source
    EXPECT_EQ(amp.volumeAttenuation,
              static_cast<int>(model::MainVolumeAttenuationOf(tune.mainVolume)))
        << "the file's volume is the volume of the file's source";
    ExpectOutputsHeld(amp, tune);
    ExpectMixerHeld(amp, tune, Held::kWorkingState);
    EXPECT_EQ(mManager->WorkingProfile().channels[4].gain, tune.channels[4].gain);
    EXPECT_EQ(mPage.Get("edit_ch_volume_4").Text(),
              std::to_string(static_cast<int>(tune.channels[4].gain)) + "dB");
    // The loading window showed how far the write-out was, up to its end.
    ASSERT_FALSE(mUi.mProgress.empty());
    EXPECT_EQ(mUi.mProgress.back().first, mUi.mProgress.back().second);
    EXPECT_GT(mUi.mProgress.back().second, 100);
    for (size_t i = 1; i < mUi.mProgress.size(); ++i) {
        EXPECT_GT(mUi.mProgress[i].first, mUi.mProgress[i - 1].first);
        EXPECT_EQ(mUi.mProgress[i].second, mUi.mProgress.back().second);
    }
}

TEST_F(ProfileFlowTest, AWholeConfigurationFillsEverySlotTheNamesAndTheWorkingState) {
    ASSERT_TRUE(ConnectAndSync());
    std::vector<model::Profile> scenes;
    std::vector<model::SceneName> names;
    for (int k = 1; k <= 10; ++k) {
        scenes.push_back(Retuned(k));
        // The first name is longer than a slot shows; the device takes it whole.
        names.push_back(NameBytes(k == 1 ? "Twelve chars" : "Tune" + std::to_string(k)));
    }
    const model::Profile live = Retuned(30);
    ASSERT_TRUE(model::ProfileFile().writeWholeConfig(
        live, std::span<const model::Profile, 10>(scenes.data(), 10),
        std::span<const model::SceneName, 10>(names.data(), 10), File("all.wpf")));
    mUi.mChosenFile = File("all.wpf").string();
    // The loading window stays up while the device stores the scenes.
    mManager->SetJobWaits({0, 0, 300});
    const auto start = std::chrono::steady_clock::now();
    ASSERT_TRUE(RunBehindLoading([&] { mManager->LoadWholeConfigFromFile(); }));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(300));
    ASSERT_TRUE(WaitQueueIdle());
    Settle();

    for (int k = 1; k <= 10; ++k) {
        SCOPED_TRACE("scene " + std::to_string(k));
        ExpectOutputsHeld(Amp(k), scenes[static_cast<size_t>(k - 1)]);
        ExpectMixerHeld(Amp(k), scenes[static_cast<size_t>(k - 1)], Held::kScene);
        EXPECT_EQ(mDemo.protocol->Name(k), names[static_cast<size_t>(k - 1)]);
        EXPECT_EQ(mManager->SceneProfile(k).channels[3].gain,
                  scenes[static_cast<size_t>(k - 1)].channels[3].gain);
        // A slot shows seven characters of a name.
        const std::string shown =
            std::string(reinterpret_cast<const char*>(names[static_cast<size_t>(k - 1)].data()))
                .substr(0, 7);
        EXPECT_EQ(mManager->SceneName(k - 1), std::u16string(shown.begin(), shown.end()));
    }
    EXPECT_EQ(mDemo.protocol->ValidMask(), 0x3FF);
    EXPECT_EQ(mPage.Get("edit_ch_volume_6").Text(),
              std::to_string(static_cast<int>(live.channels[6].gain)) + "dB");
    ExpectOutputsHeld(Amp(0), live);
    ExpectMixerHeld(Amp(0), live, Held::kWorkingState);
    for (int s = 0; s < 10; ++s) {
        for (int o = 0; o < 10; ++o) {
            EXPECT_EQ(Amp(0).sources[s].mixMask[o], static_cast<uint32_t>(live.inputs[s][o]));
        }
    }
    EXPECT_EQ(mUi.mFileRequests.at(0).initialPath, "");
    EXPECT_EQ(mManager->WholeConfigPath(), File("all.wpf").string());
}

class SavedWholeConfigTest : public ProfileFlowTest {
protected:
    // Every slot of the amplifier with trims, cross-source rows and a name
    // of its own.
    void FillSlots() {
        for (int k = 1; k <= 10; ++k) {
            virtual_device::AmplifierState slot = Amp(0);
            for (int c = 0; c < 10; ++c) {
                slot.channels[c].trimAttenuation = static_cast<uint8_t>(k + c);
                slot.channels[c].delayMs = static_cast<uint8_t>(k);
                slot.channels[c].delayThousandths = 0;
            }
            for (int s = 0; s < 10; ++s) {
                const int own = model::Profile::inputChannelCount(s);
                slot.sources[s].crossMix[own].viceSource = static_cast<uint8_t>(80 + k);
                slot.sources[s].crossMix[own + 1].viceChannel = static_cast<uint8_t>(k % 2);
                if (own > 0) {
                    slot.sources[s].crossMix[0].viceSource = 99;  // not a split row
                }
            }
            mDemo.protocol->SetState(k, slot);
            mDemo.protocol->SetName(k, k == 2 ? kSevenHanzi : "Slot" + std::to_string(k));
        }
    }
    // Seven characters in GBK, two bytes each: the whole slot.
    const std::string kSevenHanzi = "\xB3\xA1\xBE\xB0\xB3\xA1\xBE\xB0\xB3\xA1\xBE\xB0\xB3\xA1";
    bool Save() {
        mUi.mChosenFile = File("saved.wpf").string();
        return RunBehindLoading([&] { mManager->SaveWholeConfigToFile(); });
    }
};

TEST_F(SavedWholeConfigTest, TheFileHoldsTheAmplifiersTenScenesNamesAndWorkingState) {
    ASSERT_TRUE(ConnectAndSync());
    FillSlots();
    ASSERT_TRUE(Save());
    EXPECT_EQ(mUi.mMessages.back(), "${tips}|${profile_save_ok}");

    model::Profile live;
    std::vector<model::Profile> scenes(10);
    std::vector<model::SceneName> names(10);
    ASSERT_TRUE(model::ProfileFile().readWholeConfig(
        File("saved.wpf"), live, std::span<model::Profile, 10>(scenes.data(), 10),
        std::span<model::SceneName, 10>(names.data(), 10)));
    for (int k = 1; k <= 10; ++k) {
        SCOPED_TRACE("scene " + std::to_string(k));
        const model::Profile& q = scenes[static_cast<size_t>(k - 1)];
        for (int c = 0; c < 10; ++c) {
            EXPECT_EQ(q.channels[c].gain, -static_cast<float>(k + c));
            EXPECT_EQ(q.channels[c].delay, static_cast<float>(k));
        }
        // The cross-source rows of scene k itself, at rows I + k.
        for (int s = 0; s < 10; ++s) {
            const int own = model::Profile::inputChannelCount(s);
            EXPECT_EQ(q.csmViceSource[s][own], 80 + k) << "source " << s;
            EXPECT_EQ(q.csmViceCh[s][own + 1], k % 2) << "source " << s;
        }
        EXPECT_EQ(names[static_cast<size_t>(k - 1)],
                  NameBytes(k == 2 ? kSevenHanzi : "Slot" + std::to_string(k)));
    }
    const virtual_device::AmplifierState working = Amp(0);
    for (int c = 0; c < 10; ++c) {
        EXPECT_EQ(live.channels[c].gain, -static_cast<float>(working.channels[c].trimAttenuation));
    }
    const auto& request = mUi.mFileRequests.at(0);
    EXPECT_TRUE(request.save);
    EXPECT_EQ(request.defaultExtension, "wpf");
    ASSERT_FALSE(mUi.mProgress.empty());
    EXPECT_EQ(mUi.mProgress.back(), std::make_pair(10, 10));
}

TEST_F(SavedWholeConfigTest, ACablePulledDuringTheReadBackWritesNoFile) {
    ASSERT_TRUE(ConnectAndSync());
    FillSlots();
    for (int at : {1, 120, 1000}) {
        SCOPED_TRACE(at);
        mDemo.amplifier->UnplugAtReport(at);
        ASSERT_TRUE(Save());
        mManager->DevicePlugOut(mPath);
        Settle();
        EXPECT_FALSE(std::filesystem::exists(File("saved.wpf")));
        EXPECT_EQ(mUi.mMessages.back(), "${tips}|AMP-A was unplugged");
        for (const std::string& shown : mUi.mMessages) {
            EXPECT_NE(shown, "${tips}|${profile_save_ok}");
        }
        // Plugged back in, the amplifier's real state shows again.
        mDemo.amplifier->Plug();
        const int hidden = mUi.mLoadingHidden;
        mManager->DevicePlugin(mPath);
        ASSERT_TRUE(
            Pump([&] { return mManager->IsSynchronised() && mUi.mLoadingHidden > hidden; }));
        EXPECT_EQ(mManager->WorkingProfile().channels[4].gain,
                  -static_cast<float>(Amp(0).channels[4].trimAttenuation));
    }
}

// One request of the read-back goes unanswered (it costs its reply time-out):
// what was read is incomplete, so no file is made from it.
TEST_F(SavedWholeConfigTest, AReadBackWithAnUnansweredRequestWritesNoFile) {
    ASSERT_TRUE(ConnectAndSync());
    FillSlots();
    std::weak_ptr<virtual_device::AmplifierProtocol> protocol = mDemo.protocol;
    mDemo.amplifier->SetHandler(
        device::CMD_DSP, device::DSP_TRIM_CH,
        [protocol](const virtual_device::HostFrame& frame, virtual_device::Replies& replies) {
            const bool silent =
                frame.operation == device::OP_GET && !frame.data.empty() && frame.data[0] == 5;
            if (auto alive = protocol.lock(); alive && !silent) {
                alive->Handle(frame, replies);
            }
        });
    ASSERT_TRUE(RunBehindLoading([&] {
        mUi.mChosenFile = File("saved.wpf").string();
        mManager->SaveWholeConfigToFile();
    }));
    EXPECT_FALSE(std::filesystem::exists(File("saved.wpf")));
    EXPECT_EQ(mUi.mMessages.back(), "${tips}|${profile_create_error}");
}

TEST_F(SavedWholeConfigTest, AFileThatCannotBeWrittenIsReported) {
    ASSERT_TRUE(ConnectAndSync());
    mUi.mChosenFile = (mDir.path() / "no-such-folder" / "x.wpf").string();
    ASSERT_TRUE(RunBehindLoading([&] { mManager->SaveWholeConfigToFile(); }));
    EXPECT_EQ(mUi.mMessages.back(), "${tips}|${profile_create_error}");
}

// The read-back asks for the bands each output has in the working profile,
// also after a file with other band counts was loaded.
TEST_F(SavedWholeConfigTest, TheReadBackAsksForTheBandsOfTheLoadedProfile) {
    ASSERT_TRUE(ConnectAndSync());
    model::Profile tune = Retuned(1);
    tune.channels[0].eqSize = 5;
    ASSERT_TRUE(model::ProfileFile().writeSceneProfile(tune, File("five.spf"), false));
    mUi.mChosenFile = File("five.spf").string();
    ASSERT_TRUE(RunBehindLoading([&] { mManager->LoadSenceConfigFromFile(); }));
    ASSERT_TRUE(WaitQueueIdle());
    mDemo.amplifier->ClearReceived();
    ASSERT_TRUE(Save());
    int lastBandAsked = -1;
    for (const auto& [sub, data] : DspFrames(device::OP_GET)) {
        if (sub == device::DSP_EQ_CH && data.size() >= 5 && data[2] == 0) {
            lastBandAsked = std::max<int>(lastBandAsked, data[4]);
        }
    }
    EXPECT_EQ(lastBandAsked, 4);
}

TEST_F(SavedWholeConfigTest, WithoutADeviceNothingIsReadAndNoFileWritten) {
    mUi.mChosenFile = File("saved.wpf").string();
    mManager->SaveWholeConfigToFile();
    Settle();
    EXPECT_FALSE(std::filesystem::exists(File("saved.wpf")));
    EXPECT_EQ(mUi.mMessages.back(), "${tips}|${profile_create_error}");
    EXPECT_EQ(mUi.mLoadingShown, 0);
}

TEST_F(ProfileFlowTest, ACablePulledDuringAWriteOutEndsItAndTheRealStateShowsAfterReplugging) {
    ASSERT_TRUE(ConnectAndSync());
    const model::Profile tune = Retuned(5);
    ASSERT_TRUE(model::ProfileFile().writeSceneProfile(tune, File("tune.spf"), false));
    std::vector<model::Profile> scenes(10, tune);
    std::vector<model::SceneName> names(10);
    ASSERT_TRUE(model::ProfileFile().writeWholeConfig(
        tune, std::span<const model::Profile, 10>(scenes.data(), 10),
        std::span<const model::SceneName, 10>(names.data(), 10), File("all.wpf")));
    struct Case {
        const char* file;
        std::function<void()> load;
        int at;
    };
    const std::vector<Case> cases = {
        {"tune.spf", [&] { mManager->LoadSenceConfigFromFile(); }, 40},
        {"all.wpf", [&] { mManager->LoadWholeConfigFromFile(); }, 700},
        {"all.wpf", [&] { mManager->LoadWholeConfigFromFile(); }, 1900},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.file) + " at " + std::to_string(c.at));
        mUi.mChosenFile = File(c.file).string();
        mDemo.amplifier->UnplugAtReport(c.at);
        const auto start = std::chrono::steady_clock::now();
        ASSERT_TRUE(RunBehindLoading(c.load, std::chrono::seconds(8)));
        EXPECT_LT(std::chrono::steady_clock::now() - start,
                  std::chrono::milliseconds(device::kReplyTimeoutMs));
        mManager->DevicePlugOut(mPath);
        Settle();
        EXPECT_EQ(mUi.mMessages.back(), "${tips}|AMP-A was unplugged");
        EXPECT_FALSE(mManager->Link().IsConnected());

        mDemo.amplifier->Plug();
        const int hidden = mUi.mLoadingHidden;
        mManager->DevicePlugin(mPath);
        ASSERT_TRUE(
            Pump([&] { return mManager->IsSynchronised() && mUi.mLoadingHidden > hidden; }));
        const virtual_device::AmplifierState amp = Amp(0);
        for (int ch = 0; ch < 10; ++ch) {
            EXPECT_EQ(mManager->WorkingProfile().channels[ch].gain,
                      -static_cast<float>(amp.channels[ch].trimAttenuation));
        }
    }
}

// One row rule for the split cross-source channels of a source with I
// inputs: rows I and I + 1, read, kept and written alike.
TEST_F(ProfileFlowTest, CrossSourceRowsAreReadWhereTheWriteOutsTakeThemFrom) {
    virtual_device::AmplifierState working = Amp(0);
    for (int s = 0; s < 10; ++s) {
        const int own = model::Profile::inputChannelCount(s);
        working.sources[s].crossMix[own] = {static_cast<uint8_t>(82 + s % 8), 1, 40};
        working.sources[s].crossMix[own + 1] = {static_cast<uint8_t>(83 + s % 7), 0, 36};
        if (own > 1) {
            working.sources[s].crossMix[0] = {90, 1, 32};
            working.sources[s].crossMix[1] = {90, 1, 32};
        }
    }
    mDemo.protocol->SetState(0, working);
    ASSERT_TRUE(ConnectAndSync());
    const model::Profile& p = mManager->WorkingProfile();
    for (int s = 0; s < 10; ++s) {
        SCOPED_TRACE("source " + std::to_string(s));
        const int own = model::Profile::inputChannelCount(s);
        EXPECT_EQ(p.csmViceSource[s][own], 82 + s % 8);
        EXPECT_EQ(p.csmViceCh[s][own], 1);
        EXPECT_EQ(p.csmViceSource[s][own + 1], 83 + s % 7);
        if (own > 1) {
            EXPECT_NE(p.csmViceSource[s][0], 90);  // an input's own row is not asked
        }
    }
    // Sent back from the same rows.
    mUi.mChosenFile = File("same.spf").string();
    mManager->SaveSenceConfigToFile();
    mDemo.protocol->SetState(0, Amp(1));
    ASSERT_TRUE(RunBehindLoading([&] { mManager->LoadSenceConfigFromFile(); }));
    ASSERT_TRUE(WaitQueueIdle());
    for (int s : {0, 2, 4, 5, 6}) {
        const int own = model::Profile::inputChannelCount(s);
        EXPECT_EQ(Amp(0).sources[s].crossMix[own].viceSource, 82 + s % 8) << "source " << s;
        EXPECT_EQ(Amp(0).sources[s].crossMix[own + 1].viceSource, 83 + s % 7) << "source " << s;
    }
}

TEST_F(ProfileFlowTest, TheDialogsOfferTheFileTypesOfTheLanguage) {
    mUi.mChosenFile = "";  // the user cancels every dialog
    mManager->SaveSenceConfigToFile();
    mManager->LoadSenceConfigFromFile();
    mManager->SaveWholeConfigToFile();
    mManager->LoadWholeConfigFromFile();
    ASSERT_EQ(mUi.mFileRequests.size(), 4u);
    const auto& saveScene = mUi.mFileRequests[0];
    EXPECT_TRUE(saveScene.save);
    EXPECT_EQ(saveScene.defaultExtension, "spf");
    using Filters = std::vector<std::pair<std::string, std::string>>;
    EXPECT_EQ(saveScene.filters,
              (Filters{{"Scene Profile(*.spf)", "*.spf"}, {"All Files(*.*)", "*.*"}}));
    EXPECT_FALSE(mUi.mFileRequests[1].save);
    EXPECT_EQ(mUi.mFileRequests[1].defaultExtension, "");
    EXPECT_EQ(mUi.mFileRequests[2].defaultExtension, "wpf");
    EXPECT_EQ(mUi.mFileRequests[3].filters,
              (Filters{{"Whole Config Profile(*.wpf)", "*.wpf"}, {"All Files(*.*)", "*.*"}}));
    EXPECT_EQ(mUi.mLoadingShown, 0);
    EXPECT_TRUE(mUi.mMessages.empty());

    ASSERT_TRUE(app::WriteSetting("config", "lan", "1"));
    mManager->SaveSenceConfigToFile();
    mManager->LoadWholeConfigFromFile();
    EXPECT_EQ(mUi.mFileRequests[4].filters,
              (Filters{{"场景配置文件(*.spf)", "*.spf"}, {"所有文件(*.*)", "*.*"}}));
    EXPECT_EQ(mUi.mFileRequests[5].filters,
              (Filters{{"整机配置文件(*.wpf)", "*.wpf"}, {"所有文件(*.*)", "*.*"}}));
}

TEST_F(ProfileFlowTest, SavingASceneFileWritesTheWorkingProfile) {
    ASSERT_TRUE(ConnectAndSync());
    mUi.mChosenFile = File("now.spf").string();
    mManager->SaveSenceConfigToFile();
    EXPECT_EQ(mUi.mMessages.back(), "${tips}|${profile_save_ok}");
    model::Profile read;
    ASSERT_TRUE(model::ProfileFile().readSceneProfile(File("now.spf"), read, false));
    EXPECT_EQ(model::sceneProfileText(read), model::sceneProfileText(mManager->WorkingProfile()));
    mUi.mChosenFile = (mDir.path() / "no-such-folder" / "x.spf").string();
    mManager->SaveSenceConfigToFile();
    EXPECT_EQ(mUi.mMessages.back(), "${tips}|${profile_create_error}");
}

// ---- bad files ----

class BadFileTest : public ProfileFlowTest {
protected:
    void SetUp() override {
        ProfileFlowTest::SetUp();
        ASSERT_TRUE(ConnectAndSync());
        ASSERT_TRUE(WaitQueueIdle());
        Settle();
        const model::Profile tune = Retuned(3);
        mGoodScene = model::sceneProfileText(tune);
        std::vector<model::Profile> scenes(10, tune);
        std::vector<model::SceneName> names(10, NameBytes("Good"));
        mGoodWhole =
            model::wholeConfigText(tune, std::span<const model::Profile, 10>(scenes.data(), 10),
                                   std::span<const model::SceneName, 10>(names.data(), 10));
    }

    // Loads the text as a file of that kind and checks that it was refused
    // with the message and changed nothing: profile, scenes, names, view, and
    // not one report to the amplifier.
    void ExpectRefused(const std::string& text, bool whole, const std::string& message) {
        const std::filesystem::path path = File(whole ? "bad.wpf" : "bad.spf");
        Spit(path, text);
        const model::Profile profileBefore = mManager->WorkingProfile();
        std::vector<model::Profile> scenesBefore;
        std::vector<std::u16string> namesBefore;
        for (int k = 1; k <= 10; ++k) {
            scenesBefore.push_back(mManager->SceneProfile(k));
            namesBefore.push_back(mManager->SceneName(k - 1));
        }
        const auto viewBefore = mPage.Snapshot();
        const uint64_t reportsBefore = mDemo.amplifier->ReceivedCount();
        const int shownBefore = mUi.mLoadingShown;
        mUi.mMessages.clear();
        mUi.mChosenFile = path.string();
        if (whole) {
            mManager->LoadWholeConfigFromFile();
        } else {
            mManager->LoadSenceConfigFromFile();
        }
        Settle();
        EXPECT_EQ(mUi.mMessages, std::vector<std::string>{"${tips}|" + message});
        EXPECT_TRUE(mManager->WorkingProfile() == profileBefore);
        for (int k = 1; k <= 10; ++k) {
            EXPECT_TRUE(mManager->SceneProfile(k) == scenesBefore[static_cast<size_t>(k - 1)])
                << "scene " << k;
            EXPECT_EQ(mManager->SceneName(k - 1), namesBefore[static_cast<size_t>(k - 1)]);
        }
        EXPECT_TRUE(mPage.Snapshot() == viewBefore);
        EXPECT_EQ(mDemo.amplifier->ReceivedCount(), reportsBefore);
        EXPECT_EQ(mUi.mLoadingShown, shownBefore);
    }

    std::string mGoodScene;
    std::string mGoodWhole;
};

TEST_F(BadFileTest, BadSceneFilesAreRefusedWithNothingChangedOrSent) {
    ExpectRefused(mGoodScene.substr(0, mGoodScene.size() / 2), false, "${profile_open_error}");
    ExpectRefused("this is not a profile", false, "${profile_open_error}");
    ExpectRefused(
        Edited(mGoodScene,
               [](cJSON* r) { cJSON_ReplaceItemInObject(r, "model", cJSON_CreateNumber(95)); }),
        false, "${software_not_match}");
    const std::vector<std::function<void(cJSON*)>> breakages = {
        [](cJSON* r) { cJSON_DeleteItemFromObject(r, "model"); },
        [](cJSON* r) { cJSON_ReplaceItemInObject(r, "source", cJSON_CreateString("2")); },
        [](cJSON* r) {
            int eight[8] = {};
            cJSON_ReplaceItemInArray(cJSON_GetObjectItem(r, "inputs"), 4,
                                     cJSON_CreateIntArray(eight, 8));
        },
        [](cJSON* r) { cJSON_DeleteItemFromArray(cJSON_GetObjectItem(r, "channels"), 9); },
        [](cJSON* r) {
            cJSON* ch = cJSON_GetArrayItem(cJSON_GetObjectItem(r, "channels"), 2);
            cJSON_DeleteItemFromArray(cJSON_GetObjectItem(ch, "eqArray"), 0);
        },
        [](cJSON* r) { cJSON_ReplaceItemInObject(r, "currOutChannel", cJSON_CreateNumber(10)); },
        [](cJSON* r) { cJSON_DeleteItemFromObject(r, "inMixPhase"); },
    };
    for (size_t i = 0; i < breakages.size(); ++i) {
        SCOPED_TRACE("breakage " + std::to_string(i));
        ExpectRefused(Edited(mGoodScene, breakages[i]), false, "${profile_load_error}");
    }
}

TEST_F(BadFileTest, BadWholeConfigurationsAreRefusedWithNothingChangedOrSent) {
    ExpectRefused(mGoodWhole.substr(0, 1000), true, "${profile_load_error}");
    ExpectRefused("{\"model\":", true, "${profile_load_error}");
    ExpectRefused(
        Edited(mGoodWhole,
               [](cJSON* r) { cJSON_ReplaceItemInObject(r, "model", cJSON_CreateNumber(1)); }),
        true, "${software_not_match}");
    const std::vector<std::function<void(cJSON*)>> breakages = {
        [](cJSON* r) { cJSON_DeleteItemFromArray(cJSON_GetObjectItem(r, "sceneName"), 0); },
        [](cJSON* r) {
            cJSON_ReplaceItemInArray(cJSON_GetObjectItem(r, "sceneName"), 0, cJSON_CreateNumber(0));
        },
        [](cJSON* r) {
            cJSON_DeleteItemFromObject(cJSON_GetObjectItem(r, "currentProfile"), "inMixPhase");
        },
        // The last scene bad: the scenes before it must not be kept either.
        [](cJSON* r) {
            cJSON* scene = cJSON_GetArrayItem(cJSON_GetObjectItem(r, "sceneArray"), 9);
            cJSON_DeleteItemFromObject(scene, "outputs_bk");
        },
        [](cJSON* r) { cJSON_DeleteItemFromArray(cJSON_GetObjectItem(r, "sceneArray"), 3); },
    };
    for (size_t i = 0; i < breakages.size(); ++i) {
        SCOPED_TRACE("breakage " + std::to_string(i));
        ExpectRefused(Edited(mGoodWhole, breakages[i]), true, "${profile_load_error}");
    }
}

}  // namespace
}  // namespace test_support
