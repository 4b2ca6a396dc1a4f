#include "virtual_device/demo_amplifier.h"

namespace virtual_device {
namespace {

// Gain byte of an EQ band: low 5 bits gain + 18, type 0 (peaking).
uint8_t GainByte(int gainDb) {
    return static_cast<uint8_t>(gainDb + 18);
}

void SetBand(ChannelState& channel, int band, int gainDb, uint8_t gainTenths) {
    channel.eq[band].gainByte = GainByte(gainDb);
    channel.eq[band].gainTenths = gainTenths;
}

// A front stage with a gentle presence dip, rear fill, centre and two subs.
AmplifierState DemoTune(const AmplifierState& base) {
    AmplifierState tune = base;
    tune.volumeAttenuation = 18;  // -12 dB
    for (int c = 0; c < 4; ++c) {
        ChannelState& front = tune.channels[c];
        front.eqBypass = 0;
        SetBand(front, 4, 2, 5);    // 80 Hz +2.5 dB
        SetBand(front, 13, -3, 0);  // 1800 Hz -3 dB
        SetBand(front, 17, 1, 5);   // 7100 Hz +1.5 dB
    }
    for (int c = 0; c < 2; ++c) {
        tune.channels[c].delayMs = 1;
        tune.channels[c].delayThousandths = 250;
    }
    for (int c = 4; c < 8; ++c) {
        tune.channels[c].trimAttenuation = 3;  // rear and centre 3 dB down
    }
    for (int c = 8; c < 10; ++c) {
        tune.channels[c].eqBypass = 0;
        SetBand(tune.channels[c], 1, 3, 0);  // 40 Hz +3 dB
        tune.channels[c].delayMs = 2;
    }
    return tune;
}

// Every input plays a moderate test signal; the low-level source's first
// input is fed hot, so its routed outputs clip at unity level and the mixer's
// clip lamps have something to show.
constexpr int kModeratePeak = 45;  // percent of full scale
constexpr int kHotPeak = 120;
constexpr int kLowLevelSource = 4;

void FeedTestSignal(AmplifierProtocol& protocol) {
    for (int s = 0; s < kAmpSources; ++s) {
        for (int i = 0; i < kAmpInputs; ++i) {
            protocol.SetInputPeak(s, i, kModeratePeak);
        }
    }
    protocol.SetInputPeak(kLowLevelSource, 0, kHotPeak);
}

}  // namespace

DemoAmplifier MakeDemoAmplifier(std::wstring serialNumber, std::optional<VersionNumber> firmware) {
    DemoAmplifier demo;
    demo.amplifier = std::make_shared<VirtualAmplifier>(std::move(serialNumber));
    ProtocolOptions options;
    options.sceneSaveTime = kRealSceneSaveTime;
    options.sceneLoadTime = kRealSceneLoadTime;
    options.sceneDeleteTime = kRealSceneDeleteTime;
    options.calibration.phaseTime = kRealCalibrationPhaseTime;
    options.calibration.channelReadTimeout = std::chrono::seconds(10);
    if (firmware) {
        options.masterVersion = firmware->major;
        options.slaveVersion = firmware->minor;
    }
    demo.protocol = AmplifierProtocol::InstallOn(demo.amplifier, options);
    const AmplifierState tune = DemoTune(demo.protocol->State(0));
    AmplifierState loud = tune;
    loud.volumeAttenuation = 6;
    for (int c = 8; c < 10; ++c) {
        SetBand(loud.channels[c], 1, 6, 0);
    }
    demo.protocol->SetState(0, tune);
    demo.protocol->SetState(1, tune);
    demo.protocol->SetState(2, loud);
    demo.protocol->SetName(1, "Daily");
    demo.protocol->SetName(2, "Bass Boost");
    demo.protocol->SetValidMask(0x0003);
    FeedTestSignal(*demo.protocol);
    return demo;
}

}  // namespace virtual_device
