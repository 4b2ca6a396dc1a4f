#include "controller/auto_cal_worker.h"

#include <algorithm>
#include <chrono>

#include "app/log.h"

namespace controller {
namespace {

bool RunHasEnded(const AutoCalRunState& state) {
    const int status = state.mIrcStatus.load();
    return status == irc_status::kDone || status == irc_status::kFail ||
           status == irc_status::kExit || state.mIrcStop.load();
}

// A pause that a stop or the run's end cuts short: the user waits for the
// worker when he stops a run or closes the window, and applies the result
// only once the worker is done.
void Pause(const AutoCalRunState& state, int milliseconds) {
    using Clock = std::chrono::steady_clock;
    const Clock::time_point end = Clock::now() + std::chrono::milliseconds(milliseconds);
    while (!RunHasEnded(state) && Clock::now() < end) {
        std::this_thread::sleep_for(std::chrono::milliseconds(std::min(milliseconds, 20)));
    }
}

// The link went away (the cable was pulled, the amplifier restarted): every
// request would fail at once, so the run can go no further.
bool LinkIsGone(device::DeviceLink& link, AutoCalRunState& state, platform::WindowHandle window) {
    if (link.IsConnected() && !link.IsDeviceGone()) {
        return false;
    }
    app::Log("AutoCalThread: the device is gone\n");
    state.mLinkLost.store(true);
    platform::PostMessage(window, WM_IRC_LINK_LOST, 0, 0);
    return true;
}

// The measured response of a channel, nine points per request; a stop ends
// the reading between two requests.
void ReadSpectrum(device::DeviceLink& link, const AutoCalRunState& state, uint8_t channel) {
    for (int first = 0; first < kSpectrumPoints && !state.mIrcStop.load();
         first += kSpectrumPointsPerRequest) {
        const int last = std::min(first + kSpectrumPointsPerRequest, kSpectrumPoints) - 1;
        link.IRC_Get_Spectrum(channel, static_cast<uint8_t>(first), static_cast<uint8_t>(last));
    }
}

void ReadEqResult(device::DeviceLink& link, const AutoCalRunState& state, uint8_t channel) {
    link.IRC_Get_EQ(channel, 0, kEqFirstRequestBands - 1);
    if (!state.mIrcStop.load()) {
        link.IRC_Get_EQ(channel, kEqFirstRequestBands, kEqResultBands - 1);
    }
}

void PostProgress(const AutoCalRunState& state, platform::WindowHandle window) {
    platform::PostMessage(window, WM_IRC_PROGRESS,
                          static_cast<uintptr_t>(state.mIrcProgress.load()), 0);
}

// What a poll's status asks of the worker once the window has handled it.
void ActOnStatus(device::DeviceLink& link, AutoCalRunState& state, platform::WindowHandle window) {
    switch (state.mIrcStatus.load()) {
        case irc_status::kRtaUpdate:
            ReadSpectrum(link, state, state.mIrcCurCh.load());
            return;
        case irc_status::kEqDataUpdate:
            ReadEqResult(link, state, state.mIrcCurCh.load());
            return;
        case irc_status::kTestDataUpdate:
            if (state.mTestDataUpdated.exchange(false)) {
                return;
            }
            break;
        default:
            break;
    }
    PostProgress(state, window);
}

}  // namespace

void AutoCalThread(device::DeviceLink& link, AutoCalRunState& state, const AutoCalRequest& request,
                   platform::WindowHandle window, const AutoCalTimings& timings) {
    app::Log("AutoCalThread begin\n");
    state.mIrcDone.store(false);
    state.mTestDataUpdated.store(false);
    state.mIrcStatus.store(irc_status::kStart);
    state.mLinkLost.store(false);
    if (!LinkIsGone(link, state, window)) {
        link.IRC_Sel_Test_Module(request.modules, true);
        link.IRC_Ctrl(1, request.channelMask, request.eqMode, true);
        while (!RunHasEnded(state) && !LinkIsGone(link, state, window)) {
            const uint32_t reportsBefore = state.mStatusReports.load();
            link.IRC_Get();
            Pause(state, timings.afterPollMs);
            if (state.mIrcStop.load()) {
                break;
            }
            if (state.mStatusReports.load() != reportsBefore) {
                ActOnStatus(link, state, window);
            } else {
                PostProgress(state, window);
            }
            Pause(state, timings.afterPassMs);
        }
    }
    const int last = state.mIrcStatus.load();
    state.mIrcRunning.store(false);
    app::Log("AutoCalThread end, pwm->mIrcStatus=0x%x\n", last);
}

AutoCalWorker::~AutoCalWorker() {
    Join();
}

void AutoCalWorker::Join() {
    if (mThread.joinable()) {
        mThread.join();
    }
}

void AutoCalWorker::Start(device::DeviceLink& link, AutoCalRunState& state,
                          const AutoCalRequest& request, platform::WindowHandle window,
                          const AutoCalTimings& timings) {
    Join();
    mThread = std::thread([&link, &state, request, window, timings] {
        AutoCalThread(link, state, request, window, timings);
    });
}

}  // namespace controller
