// The worker of a calibration run: it starts the amplifier's own measurement
// and polls it about once a second, reading the measured response of a
// channel when the amplifier announces it (status 7) and the channel's EQ
// result after that (status 8). It touches no control. The amplifier's
// answers reach the calibration window as posted reports, which the window
// handles on the user-interface thread; what the worker acts on (the last
// status, the channel it named, the progress) the window writes into the
// run's state, which both threads share.
#pragma once

#include <atomic>
#include <cstdint>
#include <thread>

#include "device/device_link.h"
#include "platform/message_post.h"

namespace controller {

// Posted by the worker to its window: wParam the progress, lParam 0.
inline constexpr uint32_t WM_IRC_PROGRESS = 1268;
// Posted by the worker when the link to the amplifier is gone and the run
// can go no further.
inline constexpr uint32_t WM_IRC_LINK_LOST = 1269;

// Run statuses as the amplifier reports them.
namespace irc_status {
inline constexpr int kStart = 0;
inline constexpr int kRtaUpdate = 7;
inline constexpr int kEqDataUpdate = 8;
inline constexpr int kTestDataUpdate = 9;
inline constexpr int kDone = 10;
inline constexpr int kFail = 11;
inline constexpr int kExit = 12;
}  // namespace irc_status

// The state of a run shared by the window (user-interface thread) and its
// worker. Every field is atomic: each thread reads what the other wrote
// without a lock.
struct AutoCalRunState {
    std::atomic<int32_t> mIrcStatus{0};    // written by the window's reports
    std::atomic<uint8_t> mIrcCurCh{0};     // written by the window's reports
    std::atomic<int32_t> mIrcProgress{0};  // written by the window's reports
    std::atomic<bool> mTestDataUpdated{false};
    std::atomic<bool> mIrcRunning{false};  // set by the window, cleared by the worker
    std::atomic<bool> mIrcStop{false};     // set by the window
    std::atomic<bool> mIrcDone{false};
    std::atomic<bool> mLinkLost{false};  // set by the worker
    // Counts the status reports the window handled: the worker acts on a
    // status only once the report of its own poll came in, so a report the
    // window was slow to take is never acted on twice.
    std::atomic<uint32_t> mStatusReports{0};
};

// What one run asks of the amplifier.
struct AutoCalRequest {
    uint16_t channelMask = 0;  // bit i: channel i is calibrated
    uint8_t modules = 0;       // 1 EQ, 2 delay, 4 phase
    uint8_t eqMode = 0;
};

// The worker's pauses: one after each poll and one after the requests the
// poll led to. Tests shorten them.
struct AutoCalTimings {
    int afterPollMs = 500;
    int afterPassMs = 500;
};

// The measured response arrives in 14 requests of up to nine points, the EQ
// result in two of six and five bands.
inline constexpr int kSpectrumPoints = 121;
inline constexpr int kSpectrumPointsPerRequest = 9;
inline constexpr int kEqResultBands = 11;
inline constexpr int kEqFirstRequestBands = 6;

class AutoCalWorker {
public:
    AutoCalWorker() = default;
    // Waits for the thread; its owner sets mIrcStop first.
    ~AutoCalWorker();
    AutoCalWorker(const AutoCalWorker&) = delete;
    AutoCalWorker& operator=(const AutoCalWorker&) = delete;

    // Starts the run on a thread of its own. The caller has set mIrcRunning
    // and cleared mIrcStop, so that a stop clicked before the thread got
    // going is not lost; a worker still running is joined first.
    void Start(device::DeviceLink& link, AutoCalRunState& state, const AutoCalRequest& request,
               platform::WindowHandle window, const AutoCalTimings& timings = {});
    void Join();
    bool HasThread() const { return mThread.joinable(); }

private:
    std::thread mThread;
};

// The worker's body: sends the run's start and polls until the run ended
// (status 10, 11 or 12), the window stopped it, or the link is gone.
void AutoCalThread(device::DeviceLink& link, AutoCalRunState& state, const AutoCalRequest& request,
                   platform::WindowHandle window, const AutoCalTimings& timings);

}  // namespace controller
