// Microcontroller, scene-flash and karaoke reports laid out by hand.
#include "hand_laid_reply_fixture.h"

namespace hand_laid {
namespace {

// ---- microcontroller reports ----

TEST_F(HandLaidReplyTest, HandshakeReportsModelAndVersions) {
    // clang-format off
    const auto messages = Feed({0xAA, 0x55,   // sync
                                0x07,         // length: 3 + 4 data bytes
                                0x03,         // CMD_MCU
                                0x08,         // MCU_HANDSHAKE
                                0xDD,         // OP_UPDATE
                                0x00,         // normal operation
                                0x5E,         // model 94
                                0x02, 0x21,   // master version 2, slave version 33
                                0x90});       // checksum
    // clang-format on
    const auto handshake =
        Only<HandshakeRecord>(messages, kMainWnd, WM_READ_MCU_VALUE, MCU_HANDSHAKE);
    EXPECT_EQ(handshake.model, 94);
    EXPECT_EQ(handshake.masterVersion, 2);
    EXPECT_EQ(handshake.slaveVersion, 33);
    EXPECT_EQ(mLink.ModelId(), 94);
    EXPECT_TRUE(mLink.IsMcuNormalMode());

    // clang-format off
    const auto upgrade = Feed({0xAA, 0x55,               // sync
                               0x07,                     // length: 3 + 4 data bytes
                               0x03,                     // CMD_MCU
                               0x08,                     // MCU_HANDSHAKE
                               0xDD,                     // OP_UPDATE
                               0xF0, 0x00, 0x00, 0x00,   // the upgrade program runs
                               0x21});                   // checksum
    // clang-format on
    ASSERT_EQ(upgrade.size(), 1u);
    EXPECT_EQ(upgrade[0].message, WM_DEVICE_STATUS_UNNORMAL);
    EXPECT_FALSE(mLink.IsMcuNormalMode());
    EXPECT_EQ(mLink.ModelId(), 94);
}

TEST_F(HandLaidReplyTest, VersionAndStringReports) {
    // clang-format off
    const auto versions = Feed({0xAA, 0x55,               // sync
                                0x07,                     // length: 3 + 4 data bytes
                                0x03,                     // CMD_MCU
                                0x0B,                     // MCU_GET_DSPFLASH_VER
                                0xDD,                     // OP_UPDATE
                                0x01, 0x00, 0x03, 0x02,   // version 01.00.03.02
                                0x08});                   // checksum
    // clang-format on
    const auto flash =
        Only<FlashVersionRecord>(versions, kMainWnd, WM_READ_MCU_VALUE, MCU_GET_DSPFLASH_VER);
    EXPECT_EQ(flash.version, (std::array<int32_t, 4>{1, 0, 3, 2}));
    EXPECT_EQ(flash.reserved, (std::array<int32_t, 4>{}));

    // clang-format off
    const auto bootloader = Feed({0xAA, 0x55,   // sync
                                  0x04,         // length: 3 + 1 data bytes
                                  0x03,         // CMD_MCU
                                  0x0C,         // MCU_BOOTLOADER_VER
                                  0xDD,         // OP_UPDATE
                                  0x07,         // bootloader version 7
                                  0x09});       // checksum
    // clang-format on
    EXPECT_TRUE(bootloader.empty());
    EXPECT_EQ(mLink.BootloaderVersion(), 7);

    // clang-format off
    const auto strings = Feed({0xAA, 0x55,         // sync
                               0x07,               // length: 3 + 4 data bytes
                               0x03,               // CMD_MCU
                               0x41,               // MCU_STRING
                               0xDD,               // OP_UPDATE
                               0x03,               // length 3
                               0x41, 0x42, 0x43,   // "ABC"
                               0x0F});             // checksum
    // clang-format on
    const auto text = Only<McuStringRecord>(strings, kMainWnd, WM_READ_MCU_VALUE, MCU_STRING);
    EXPECT_EQ(text.length, 3);
    EXPECT_EQ(text.bytes[0], 'A');
    EXPECT_EQ(text.bytes[2], 'C');
    EXPECT_EQ(text.bytes[3], 0);
}

TEST_F(HandLaidReplyTest, MicrocontrollerValues) {
    // clang-format off
    const auto delay = Feed({0xAA, 0x55,   // sync
                             0x05,         // length: 3 + 2 data bytes
                             0x03,         // CMD_MCU
                             0x91,         // MCU_POWER_OFF_DELAY
                             0xDD,         // OP_UPDATE
                             0x0B, 0xB8,   // 3000 ms, high byte first
                             0xC7});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(delay, kMainWnd, WM_READ_MCU_VALUE, MCU_POWER_OFF_DELAY), 3000);

    // clang-format off
    const auto acc = Feed({0xAA, 0x55,   // sync
                           0x04,         // length: 3 + 1 data bytes
                           0x03,         // CMD_MCU
                           0x92,         // MCU_ACC
                           0xDD,         // OP_UPDATE
                           0xFE,         // -2, a signed byte
                           0x8C});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(acc, kMainWnd, WM_READ_MCU_VALUE, MCU_ACC), -2);

    // clang-format off
    const auto usb = Feed({0xAA, 0x55,   // sync
                           0x04,         // length: 3 + 1 data bytes
                           0x03,         // CMD_MCU
                           0x95,         // MCU_USB_POWER_PIN
                           0xDD,         // OP_UPDATE
                           0x01,         // option 1
                           0x86});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(usb, kMainWnd, WM_READ_MCU_VALUE, MCU_USB_POWER_PIN), 1);
}

// ---- scene flash: stored scenes are 1..10 ----

TEST_F(HandLaidReplyTest, SaveAndDeleteAcknowledgementsNameTheScene) {
    // clang-format off
    const auto saved = Feed({0xAA, 0x55,   // sync
                             0x05,         // length: 3 + 2 data bytes
                             0x02,         // CMD_FLASH
                             0x08,         // FLASH_SCENE_SAVE
                             0xEE,         // OP_ACK
                             0x0A,         // ready
                             0x0A,         // scene 10
                             0xEF});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(saved, kSceneWnd, WM_READ_FLASH_VALUE, 10), 0);

    // clang-format off
    const auto deleted = Feed({0xAA, 0x55,   // sync
                               0x05,         // length: 3 + 2 data bytes
                               0x02,         // CMD_FLASH
                               0x0A,         // FLASH_SCENE_DELETE
                               0xEE,         // OP_ACK
                               0x0A,         // ready
                               0x01,         // scene 1
                               0xF6});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(deleted, kSceneWnd, WM_FLASH_SCENE_DELETED, 1), 0);

    // clang-format off
    const auto refused = Feed({0xAA, 0x55,   // sync
                               0x05,         // length: 3 + 2 data bytes
                               0x02,         // CMD_FLASH
                               0x08,         // FLASH_SCENE_SAVE
                               0xEE,         // OP_ACK
                               0x60,         // not ready
                               0x0B,         // scene 11
                               0x98});       // checksum
    // clang-format on
    EXPECT_TRUE(refused.empty());
}

TEST_F(HandLaidReplyTest, SceneNamesOfTheFirstAndTheLastScene) {
    // clang-format off
    const auto first = Feed({0xAA, 0x55,                                                                                       // sync
                             0x14,                                                                                             // length: 3 + 17 data bytes
                             0x02,                                                                                             // CMD_FLASH
                             0x0B,                                                                                             // FLASH_SCENE_NAME
                             0xDD,                                                                                             // OP_UPDATE
                             0x01,                                                                                             // scene 1
                             0x46, 0x69, 0x72, 0x73, 0x74, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,   // "First"
                             0xF9});                                                                                           // checksum
    // clang-format on
    const auto one = Only<SceneNameRecord>(first, kMainWnd, WM_READ_FLASH_VALUE, FLASH_SCENE_NAME);
    EXPECT_EQ(one.sceneIndex, 0);
    EXPECT_EQ(one.name[0], 'F');
    EXPECT_EQ(one.name[4], 't');

    // clang-format off
    const auto last = Feed({0xAA, 0x55,                                                                                       // sync
                            0x14,                                                                                             // length: 3 + 17 data bytes
                            0x02,                                                                                             // CMD_FLASH
                            0x0B,                                                                                             // FLASH_SCENE_NAME
                            0xDD,                                                                                             // OP_UPDATE
                            0x0A,                                                                                             // scene 10
                            0x4C, 0x61, 0x73, 0x74, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,   // "Last"
                            0x64});                                                                                           // checksum
    // clang-format on
    const auto ten = Only<SceneNameRecord>(last, kMainWnd, WM_READ_FLASH_VALUE, FLASH_SCENE_NAME);
    EXPECT_EQ(ten.sceneIndex, 9);
    EXPECT_EQ(ten.name[0], 'L');
}

TEST_F(HandLaidReplyTest, SceneNamesBeyondTheTenScenesAreRefused) {
    // clang-format off
    const auto eleven = Feed({0xAA, 0x55,                                                                                       // sync
                              0x14,                                                                                             // length: 3 + 17 data bytes
                              0x02,                                                                                             // CMD_FLASH
                              0x0B,                                                                                             // FLASH_SCENE_NAME
                              0xDD,                                                                                             // OP_UPDATE
                              0x0B,                                                                                             // scene 11
                              0x4E, 0x6F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,   // "No"
                              0x3A});                                                                                           // checksum
    // clang-format on
    EXPECT_TRUE(eleven.empty());

    // clang-format off
    const auto erasedNumber = Feed({0xAA, 0x55,                                                                                       // sync
                                    0x14,                                                                                             // length: 3 + 17 data bytes
                                    0x02,                                                                                             // CMD_FLASH
                                    0x0B,                                                                                             // FLASH_SCENE_NAME
                                    0xDD,                                                                                             // OP_UPDATE
                                    0xFF,                                                                                             // scene byte of an erased page
                                    0x4E, 0x6F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,   // "No"
                                    0x46});                                                                                           // checksum
    // clang-format on
    EXPECT_TRUE(erasedNumber.empty());

    // clang-format off
    const auto working = Feed({0xAA, 0x55,                                                                                       // sync
                               0x14,                                                                                             // length: 3 + 17 data bytes
                               0x02,                                                                                             // CMD_FLASH
                               0x0B,                                                                                             // FLASH_SCENE_NAME
                               0xDD,                                                                                             // OP_UPDATE
                               0x00,                                                                                             // the working state has no stored name
                               0x4E, 0x6F, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00, 0x00,   // "No"
                               0x45});                                                                                           // checksum
    // clang-format on
    EXPECT_TRUE(working.empty());
}

TEST_F(HandLaidReplyTest, CurrentSceneAndStoredScenes) {
    // clang-format off
    const auto current = Feed({0xAA, 0x55,   // sync
                               0x04,         // length: 3 + 1 data bytes
                               0x02,         // CMD_FLASH
                               0x0E,         // FLASH_SCENE_ID
                               0xDD,         // OP_UPDATE
                               0x0A,         // scene 10
                               0x05});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(current, kSceneWnd, WM_FLASH_SCENE_ID, FLASH_SCENE_ID), 10);

    // clang-format off
    const auto stored = Feed({0xAA, 0x55,   // sync
                              0x05,         // length: 3 + 2 data bytes
                              0x02,         // CMD_FLASH
                              0x0F,         // FLASH_SCENE_VALID
                              0xDD,         // OP_UPDATE
                              0x02, 0x01,   // scenes 10 and 1, high byte first
                              0x0A});       // checksum
    // clang-format on
    const auto valid =
        Only<SceneValidRecord>(stored, kMainWnd, WM_READ_FLASH_VALUE, FLASH_SCENE_VALID);
    EXPECT_EQ(valid.mask, 0x0201);
}

// ---- karaoke effects ----

TEST_F(HandLaidReplyTest, KaraokeValues) {
    // clang-format off
    const auto bass = Feed({0xAA, 0x55,   // sync
                            0x04,         // length: 3 + 1 data bytes
                            0x07,         // CMD_KTV
                            0x09,         // KTV_BASS_GAIN
                            0xDD,         // OP_UPDATE
                            0xFB,         // -5 dB, a signed byte
                            0x14});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(bass, kMainWnd, WM_READ_KTV_VALUE, KTV_BASS_GAIN), -5);

    // clang-format off
    const auto echo = Feed({0xAA, 0x55,   // sync
                            0x05,         // length: 3 + 2 data bytes
                            0x07,         // CMD_KTV
                            0x05,         // KTV_ECHO_DELAY
                            0xDD,         // OP_UPDATE
                            0x01, 0x2C,   // 300, high byte first
                            0xE5});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(echo, kMainWnd, WM_READ_KTV_VALUE, KTV_ECHO_DELAY), 300);

    // clang-format off
    const auto mic = Feed({0xAA, 0x55,   // sync
                           0x04,         // length: 3 + 1 data bytes
                           0x07,         // CMD_KTV
                           0x01,         // KTV_MIC_VOL
                           0xDD,         // OP_UPDATE
                           0xC8,         // 200, unsigned
                           0x4F});       // checksum
    // clang-format on
    EXPECT_EQ(OnlyValue(mic, kMainWnd, WM_READ_KTV_VALUE, KTV_MIC_VOL), 200);
}

}  // namespace
}  // namespace hand_laid
