#include <gtest/gtest.h>

#include <QApplication>
#include <QMenu>
#include <QTimer>
#include <atomic>
#include <thread>

#include "platform/message_post.h"
#include "test_skin.h"
#include "toolkit/popup_menu.h"
#include "toolkit/text_resources.h"
#include "toolkit/window_registry.h"

namespace toolkit {
namespace {

using testing::RecordingWindow;

std::atomic<int> gLiveRecords{0};

struct CountedRecord : platform::PostedRecord {
    explicit CountedRecord(int v) : value(v) { ++gLiveRecords; }
    ~CountedRecord() override { --gLiveRecords; }
    int value;
};

void ProcessEvents() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

class MessagesTest : public ::testing::Test {
protected:
    void SetUp() override {
        testing::UseTestSkin(
            {{"xml/res.xml", "<Res><Xml id='XML_T' path='xml/t.xml'/></Res>"},
             {"xml/t.xml",
              "<Window size='100,60'><Button name='confirm_btn' pos='0,0,50,20'/></Window>"},
             {"xml/menu.xml",
              "<Menu><MenuItem name='option_item_about' text='${about}' userdata='9'/><Separator/>"
              "<SubMenu name='output_menu_front' text='Front'>"
              "<MenuItem name='output_menu_front_left_all_freq' text='All' userdata='12'/>"
              "</SubMenu></Menu>"}});
        gLiveRecords = 0;
    }
};

TEST_F(MessagesTest, PostedMessagesReachTheirWindowOnTheEventLoopWithTheirRecord) {
    RecordingWindow window;
    window.Create(nullptr, "XML_T");
    std::vector<std::pair<uint32_t, int>> received;
    window.onMessage = [&](uint32_t message, std::unique_ptr<platform::PostedRecord>& record) {
        auto* counted = dynamic_cast<CountedRecord*>(record.get());
        received.emplace_back(message, counted != nullptr ? counted->value : -1);
    };
    std::thread worker([&] {
        for (int i = 0; i < 3; ++i) {
            EXPECT_TRUE(platform::PostMessage(window.Handle(), 1234, 0, 0,
                                              std::make_unique<CountedRecord>(i)));
        }
    });
    worker.join();
    EXPECT_TRUE(received.empty());  // nothing runs on the poster's thread
    ProcessEvents();
    EXPECT_EQ(received, (std::vector<std::pair<uint32_t, int>>{{1234, 0}, {1234, 1}, {1234, 2}}));
    EXPECT_EQ(gLiveRecords, 0);
}

TEST_F(MessagesTest, AMessageForAWindowThatIsGoneFreesItsRecord) {
    platform::WindowHandle handle;
    {
        RecordingWindow window;
        window.Create(nullptr, "XML_T");
        handle = window.Handle();
        EXPECT_TRUE(platform::PostMessage(handle, 1243, 0, 0, std::make_unique<CountedRecord>(1)));
        EXPECT_EQ(gLiveRecords, 1);
    }
    ProcessEvents();
    EXPECT_EQ(gLiveRecords, 0);
    EXPECT_FALSE(platform::PostMessage(handle, 1243, 0, 0, std::make_unique<CountedRecord>(2)));
    EXPECT_EQ(gLiveRecords, 0);
    EXPECT_EQ(window_registry::Find(handle), nullptr);
}

TEST_F(MessagesTest, TimersTickByIdUntilKilled) {
    RecordingWindow window;
    window.Create(nullptr, "XML_T");
    window.onTimer = [&](int id) {
        if (window.timerTicks.size() == 3)
            window.KillTimer(id);
    };
    window.SetTimer(7699, 5);
    EXPECT_TRUE(window.HasTimer(7699));
    QTimer stop;
    QEventLoop loop;
    QTimer::singleShot(200, &loop, &QEventLoop::quit);
    loop.exec();
    EXPECT_EQ(window.timerTicks, (std::vector<int>{7699, 7699, 7699}));
    EXPECT_FALSE(window.HasTimer(7699));
}

TEST_F(MessagesTest, ModalRunsNestAndReturnTheirCodes) {
    RecordingWindow outer;
    outer.Create(nullptr, "XML_T");
    RecordingWindow inner;
    inner.Create(&outer, "XML_T");
    std::vector<std::string> steps;
    int innerResult = -1;
    QTimer::singleShot(0, [&] {
        steps.push_back("outer running");
        QTimer::singleShot(0, [&] {
            steps.push_back("inner running");
            // A message handled while the inner loop waits.
            platform::PostMessage(outer.Handle(), 1275, 0, 0);
            QTimer::singleShot(10, [&] { inner.Close(2); });
        });
        innerResult = inner.RunModal();
        steps.push_back("inner done");
        outer.Close(1);
    });
    outer.onMessage = [&](uint32_t message, std::unique_ptr<platform::PostedRecord>&) {
        steps.push_back("message " + std::to_string(message));
    };
    int outerResult = outer.RunModal();
    EXPECT_EQ(innerResult, 2);
    EXPECT_EQ(outerResult, 1);
    EXPECT_EQ(steps, (std::vector<std::string>{"outer running", "inner running", "message 1275",
                                               "inner done"}));
}

TEST_F(MessagesTest, PopupMenuItemsPostTheMenuClickToTheOwner) {
    Texts().Clear();
    RecordingWindow window;
    window.Create(nullptr, "XML_T");
    std::vector<MenuClick> clicks;
    window.onMessage = [&](uint32_t message, std::unique_ptr<platform::PostedRecord>& record) {
        if (const MenuClick* click = platform::RecordValue<MenuClick>(record);
            message == WM_MENU_CLICK && click) {
            clicks.push_back(*click);
        }
    };
    PopupMenu menu;
    ASSERT_TRUE(menu.Load(window, "xml/menu.xml"));
    EXPECT_FALSE(menu.Load(window, "xml/none.xml"));
    ASSERT_TRUE(menu.Load(window, "xml/menu.xml"));
    ControlHandle* about = menu.FindItem("option_item_about");
    ASSERT_NE(about, nullptr);
    ASSERT_NE(menu.FindItem("output_menu_front"), nullptr);
    about->SetEnabled(false);
    EXPECT_FALSE(about->Enabled());
    about->SetEnabled(true);
    menu.Open(QPoint(100, 100), MenuAlign::BelowRight);
    EXPECT_TRUE(menu.IsOpen());
    about->Activate();
    menu.FindItem("output_menu_front_left_all_freq")->Activate();
    ProcessEvents();
    ASSERT_EQ(clicks.size(), 2u);
    EXPECT_EQ(clicks[0].name, "option_item_about");
    EXPECT_EQ(clicks[0].userData, "9");
    EXPECT_EQ(clicks[0].text, "${about}");
    EXPECT_EQ(clicks[1].userData, "12");
}

}  // namespace
}  // namespace toolkit
