// The calibration run seen by the program's own device link: a test clock
// moves the run along, and the helpers poll and read as the calibration
// window's worker does, collecting what the link's decoder posts.
#pragma once

#include <atomic>
#include <cmath>
#include <map>
#include <utility>
#include <vector>

#include "device/device_records.h"
#include "device/dsp_subcommands.h"
#include "device/tests/link_fixture.h"
#include "device/window_messages.h"

namespace calibration_test {

inline constexpr int kPhaseMs = 100;

inline virtual_device::ProtocolOptions QuickRun(bool endWithExit = false) {
    virtual_device::ProtocolOptions options;
    options.calibration.phaseTime = std::chrono::milliseconds(kPhaseMs);
    options.calibration.endWithExit = endWithExit;
    return options;
}

// One posted status: the status and the value the decoder gave it
// (progress, or the channel for 7 and 8, or the failure reason for 11).
struct Posted {
    int status = -1;
    int value = 0;
    bool operator==(const Posted&) const = default;
};

class CalibrationLinkTest : public test_support::LinkFixture {
protected:
    explicit CalibrationLinkTest(virtual_device::ProtocolOptions options = QuickRun())
        : LinkFixture(options) {
        mProtocol->SetCalibrationClock([this] { return mNow.load(); });
    }

    void Start(uint8_t modules, uint16_t mask, uint8_t eqMode = 0) {
        mLastProgress = 0;
        ASSERT_TRUE(mLink.IRC_Sel_Test_Module(modules, true));
        ASSERT_TRUE(mLink.IRC_Ctrl(1, mask, eqMode, true));
    }

    // One status request; the status the link posted, or -1 for none.
    Posted Poll() {
        mMessages->Take();
        EXPECT_TRUE(mLink.IRC_Get());
        Posted posted;
        for (const auto& message : mMessages->Take()) {
            if (message.message == device::WM_READ_IRC_VALUE && !message.record) {
                posted = {static_cast<int>(message.wParam), static_cast<int>(message.lParam)};
            }
        }
        return posted;
    }

    // The worker's reads of a channel's measured response: fourteen
    // requests of nine points (the last of four), collected by point.
    std::map<int, device::IrcSpectrumRecord> ReadSpectrum(int channel) {
        mMessages->Take();
        for (int first = 0; first <= 120; first += 9) {
            EXPECT_TRUE(mLink.IRC_Get_Spectrum(static_cast<uint8_t>(channel),
                                               static_cast<uint8_t>(first),
                                               static_cast<uint8_t>(std::min(first + 8, 120))));
        }
        std::map<int, device::IrcSpectrumRecord> points;
        for (const auto& message : mMessages->Take()) {
            if (const auto* point = test_support::RecordOf<device::IrcSpectrumRecord>(message)) {
                EXPECT_EQ(message.wParam, device::DSP_IRC_SPECTRUM);
                points[point->band] = *point;
            }
        }
        return points;
    }

    // Bands 0..5 and 6..10, collected by band.
    std::map<int, device::IrcEqRecord> ReadCorrection(int channel) {
        mMessages->Take();
        EXPECT_TRUE(mLink.IRC_Get_EQ(static_cast<uint8_t>(channel), 0, 5));
        EXPECT_TRUE(mLink.IRC_Get_EQ(static_cast<uint8_t>(channel), 6, 10));
        std::map<int, device::IrcEqRecord> bands;
        for (const auto& message : mMessages->Take()) {
            if (const auto* band = test_support::RecordOf<device::IrcEqRecord>(message)) {
                bands[band->band] = *band;
            }
        }
        return bands;
    }

    // Polls until the run ends, reading what each status offers and moving
    // the clock a step on after each poll; the distinct statuses seen.
    std::vector<Posted> RunToTheEnd(int mostPolls = 200) {
        std::vector<Posted> seen;
        for (int poll = 0; poll < mostPolls; ++poll) {
            const Posted posted = Poll();
            const int status = mProtocol->CalibrationStatusNow().status;
            const int progress = mProtocol->CalibrationStatusNow().progress;
            EXPECT_GE(progress, mLastProgress) << "progress fell at status " << status;
            mLastProgress = progress;
            if (seen.empty() || seen.back().status != posted.status ||
                ((posted.status == 7 || posted.status == 8) && seen.back() != posted)) {
                seen.push_back(posted);
            }
            // The offered channels move on when read; the other steps with time.
            if (posted.status == 7) {
                mSpectra[posted.value] = ReadSpectrum(posted.value);
            } else if (posted.status == 8) {
                mCorrections[posted.value] = ReadCorrection(posted.value);
            } else if (status == 10 || status == 11 || status == 12) {
                break;
            } else {
                mNow += kPhaseMs;
            }
        }
        return seen;
    }

    static std::vector<int> StatusesOf(const std::vector<Posted>& seen) {
        std::vector<int> statuses;
        for (const Posted& posted : seen) {
            statuses.push_back(posted.status);
        }
        return statuses;
    }

    std::atomic<int64_t> mNow{1000};
    int mLastProgress = 0;
    std::map<int, std::map<int, device::IrcSpectrumRecord>> mSpectra;
    std::map<int, std::map<int, device::IrcEqRecord>> mCorrections;
};

}  // namespace calibration_test
