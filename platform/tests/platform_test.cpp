// The platform stand-ins: message posting and record ownership, the single
// instance guard.
#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "platform/message_post.h"
#include "platform/single_instance.h"

namespace {

// Counts live records, to see that every record is freed exactly once.
struct CountedRecord : platform::PostedRecord {
    explicit CountedRecord(int* live) : mLive(live) { ++*mLive; }
    ~CountedRecord() override { --*mLive; }
    int* mLive;
};

// Keeps the messages posted to window 1; other windows do not exist.
class OneWindowSink : public platform::MessageSink {
public:
    bool Post(platform::PostedMessage message) override {
        if (message.target != 1) {
            return false;
        }
        std::lock_guard<std::mutex> hold(mLock);
        mMessages.push_back(std::move(message));
        return true;
    }
    std::mutex mLock;
    std::vector<platform::PostedMessage> mMessages;
};

class MessagePostTest : public ::testing::Test {
protected:
    void TearDown() override { platform::SetMessageSink(nullptr); }
};

TEST_F(MessagePostTest, DeliversNumberParametersAndRecord) {
    auto sink = std::make_shared<OneWindowSink>();
    platform::SetMessageSink(sink);
    ASSERT_TRUE(platform::PostMessage(1, 1234, 0x07, -3, platform::MakeRecord<int>(42)));
    ASSERT_EQ(sink->mMessages.size(), 1u);
    const platform::PostedMessage& message = sink->mMessages[0];
    EXPECT_EQ(message.message, 1234u);
    EXPECT_EQ(message.wParam, 0x07u);
    EXPECT_EQ(message.lParam, -3);
    ASSERT_NE(platform::RecordValue<int>(message.record), nullptr);
    EXPECT_EQ(*platform::RecordValue<int>(message.record), 42);
    EXPECT_EQ(platform::RecordValue<double>(message.record), nullptr);  // wrong type
}

TEST_F(MessagePostTest, ARecordForAWindowThatIsGoneIsFreed) {
    int live = 0;
    auto sink = std::make_shared<OneWindowSink>();
    platform::SetMessageSink(sink);
    EXPECT_FALSE(platform::PostMessage(2, 1234, 0, 0, std::make_unique<CountedRecord>(&live)));
    EXPECT_FALSE(platform::PostMessage(platform::kNoWindow, 1234, 0, 0,
                                       std::make_unique<CountedRecord>(&live)));
    platform::SetMessageSink(nullptr);
    EXPECT_FALSE(platform::PostMessage(1, 1234, 0, 0, std::make_unique<CountedRecord>(&live)));
    EXPECT_EQ(live, 0);

    platform::SetMessageSink(sink);
    EXPECT_TRUE(platform::PostMessage(1, 1234, 0, 0, std::make_unique<CountedRecord>(&live)));
    EXPECT_EQ(live, 1);
    sink->mMessages.clear();  // the receiver releases it
    EXPECT_EQ(live, 0);
}

TEST_F(MessagePostTest, ManyThreadsPostWhileTheSinkChanges) {
    auto sink = std::make_shared<OneWindowSink>();
    platform::SetMessageSink(sink);
    std::vector<std::thread> posters;
    for (int t = 0; t < 4; ++t) {
        posters.emplace_back([] {
            for (int i = 0; i < 500; ++i) {
                platform::PostMessage(1, 1235, static_cast<uintptr_t>(i), 0,
                                      platform::MakeRecord<int>(i));
            }
        });
    }
    for (int i = 0; i < 50; ++i) {
        platform::SetMessageSink(i % 2 == 0 ? nullptr : sink);
    }
    platform::SetMessageSink(sink);
    for (auto& poster : posters) {
        poster.join();
    }
    std::lock_guard<std::mutex> hold(sink->mLock);
    EXPECT_LE(sink->mMessages.size(), 2000u);
    for (const auto& message : sink->mMessages) {
        EXPECT_EQ(*platform::RecordValue<int>(message.record), static_cast<int>(message.wParam));
    }
}

TEST(SingleInstanceTest, ASecondHolderOfTheSameNameIsRefused) {
    const std::string name = "TQ_TEST_INSTANCE_" + std::to_string(::getpid());
    {
        platform::SingleInstanceLock first(name);
        EXPECT_TRUE(first.IsFirstInstance());
        platform::SingleInstanceLock second(name);
        EXPECT_FALSE(second.IsFirstInstance());
        platform::SingleInstanceLock other(name + "_other");
        EXPECT_TRUE(other.IsFirstInstance());
    }
    platform::SingleInstanceLock again(name);
    EXPECT_TRUE(again.IsFirstInstance());
}

TEST(SingleInstanceTest, AWaitingHolderGetsTheLockWhenTheFirstLetsGo) {
    using std::chrono::milliseconds;
    const std::string name = "TQ_TEST_WAIT_" + std::to_string(::getpid());
    auto first = std::make_unique<platform::SingleInstanceLock>(name);
    ASSERT_TRUE(first->IsFirstInstance());
    platform::SingleInstanceLock waiting(name);
    ASSERT_FALSE(waiting.IsFirstInstance());
    EXPECT_FALSE(waiting.TryTake());
    EXPECT_FALSE(waiting.TakeWithin(milliseconds(150), milliseconds(20)));
    EXPECT_FALSE(waiting.IsFirstInstance());

    std::thread release([&first] {
        std::this_thread::sleep_for(milliseconds(200));
        first.reset();
    });
    EXPECT_TRUE(waiting.TakeWithin(milliseconds(10000), milliseconds(20)));
    release.join();
    EXPECT_TRUE(waiting.IsFirstInstance());
    // Now it is the holder: a newcomer is refused.
    platform::SingleInstanceLock late(name);
    EXPECT_FALSE(late.IsFirstInstance());
}

}  // namespace
