// The fixture of the hand-laid reply tests: device frames laid out byte group
// by byte group and fed to the link as raw input reports, so the decoders are
// checked against the frame layout itself, not against the virtual
// amplifier's encoding of it. Checksums: the negated 8-bit sum of every byte
// from the length up to the byte before the checksum.
#pragma once

#include <gtest/gtest.h>

#include <array>
#include <vector>

#include "device/device_records.h"
#include "device/dsp_subcommands.h"
#include "device/mcu_subcommands.h"
#include "device/window_messages.h"
#include "link_fixture.h"

namespace hand_laid {

using namespace device;
using test_support::kAutoCalWnd;
using test_support::kMainWnd;
using test_support::kMemWnd;
using test_support::kNoiseWnd;
using test_support::kSceneWnd;
using test_support::LinkFixture;
using test_support::RecordOf;
using Messages = std::vector<platform::PostedMessage>;

class HandLaidReplyTest : public LinkFixture {
protected:
    using LinkFixture::LinkFixture;

    // Delivers one input report as the device would send it and returns the
    // messages its frames posted.
    Messages Feed(std::vector<uint8_t> report) {
        mAmplifier->SendRawReport(std::move(report));
        uint8_t buffer[kOutputReportSize];
        while (mAmplifier->PendingInputReports() > 0) {
            mLink.ReadHIDData(buffer, 100);
        }
        return mMessages->Take();
    }

    // The record of the only message, which must go to `target` as `message`
    // with the sub-command as wParam.
    template <typename T>
    static T Only(const Messages& messages, platform::WindowHandle target, uint32_t message,
                  uintptr_t wParam) {
        EXPECT_EQ(messages.size(), 1u);
        if (messages.size() != 1) {
            return T{};
        }
        EXPECT_EQ(messages[0].target, target);
        EXPECT_EQ(messages[0].message, message);
        EXPECT_EQ(messages[0].wParam, wParam);
        const T* record = RecordOf<T>(messages[0]);
        EXPECT_NE(record, nullptr);
        return record != nullptr ? *record : T{};
    }
    template <typename T>
    static T OnlyDsp(const Messages& messages, uint8_t sub) {
        return Only<T>(messages, kMainWnd, WM_READ_DSP_VALUE, sub);
    }
    // The value of the only message.
    static intptr_t OnlyValue(const Messages& messages, platform::WindowHandle target,
                              uint32_t message, uintptr_t wParam) {
        EXPECT_EQ(messages.size(), 1u);
        if (messages.size() != 1) {
            return -999;
        }
        EXPECT_EQ(messages[0].target, target);
        EXPECT_EQ(messages[0].message, message);
        EXPECT_EQ(messages[0].wParam, wParam);
        return messages[0].lParam;
    }
};

}  // namespace hand_laid
