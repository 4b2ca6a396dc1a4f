// The running program's main window against a virtual amplifier that plays
// the demo tune, for tests that act on the real widgets.
#pragma once

#include <gtest/gtest.h>

#include <QAbstractButton>
#include <QAbstractSlider>
#include <QApplication>
#include <QDir>
#include <QElapsedTimer>
#include <QLineEdit>
#include <QPixmap>
#include <QTest>
#include <QTimer>
#include <functional>
#include <memory>

#include "controller/controller_messages.h"
#include "platform/single_instance.h"
#include "toolkit/text_resources.h"
#include "toolkit/window_registry.h"
#include "ui/main/device_notice.h"
#include "ui/main/main_wnd.h"
#include "ui/main/program.h"
#include "ui/main/virtual_plugging.h"
#include "ui/skin/display_scale.h"
#include "ui/skin/languages.h"
#include "virtual_device/demo_amplifier.h"
#include "virtual_device/virtual_hid_backend.h"

namespace ui::testing {

// Spins the event loop until the condition holds or the time runs out.
inline bool WaitFor(const std::function<bool()>& done, int milliseconds = 20000) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < milliseconds) {
        QApplication::processEvents(QEventLoop::AllEvents, 10);
    }
    return done();
}

inline void SaveScreenshot(toolkit::Window& window, const std::string& name) {
    QDir().mkpath(TQ_SCREENSHOT_DIR);
    QApplication::processEvents();
    window.Widget()->grab().save(
        QString::fromStdString(std::string(TQ_SCREENSHOT_DIR) + "/" + name + ".png"));
}

class MainWindowTest : public ::testing::Test {
protected:
    void SetUp() override {
        mPath = mBackend->Add(mDemo.amplifier);
        MakeWindow();
    }
    void TearDown() override { CloseWindow(); }

    void MakeWindow() {
        mWindow = std::make_unique<CMainWnd>(mBackend);
        AnnounceVirtualPlugging(*mDemo.amplifier, mPath, mWindow->Handle());
    }
    void CloseWindow() {
        mDemo.amplifier->SetPlugListener(nullptr);
        mWindow->CloseProgram();
        mWindow.reset();
        QApplication::processEvents();
    }

    // A new main window at another display scale, connected and synchronised.
    bool RestartAt(int scalePercent) {
        CloseWindow();
        SetDisplayScale(scalePercent);
        MakeWindow();
        const bool started = StartAndSync();
        SetDisplayScale(100);  // the next window of the test program starts at 100 %
        return started;
    }

    bool StartAndSync() {
        if (!mWindow->Start()) {
            return false;
        }
        return WaitFor(
            [&] { return mWindow->Manager().IsSynchronised() && !mWindow->IsLoadingShown(); });
    }
    bool WaitQueueIdle() {
        return WaitFor([&] { return mWindow->Manager().Link().IsCmdQueueIdle(); }, 5000);
    }
    toolkit::Control& Control(const std::string& name) {
        toolkit::Control* control = mWindow->Find(name);
        EXPECT_NE(control, nullptr) << name;
        static toolkit::Control* none = nullptr;
        return control != nullptr ? *control : *none;
    }
    virtual_device::AmplifierState Amp() { return mDemo.protocol->State(0); }

    std::shared_ptr<virtual_device::VirtualHidBackend> mBackend =
        std::make_shared<virtual_device::VirtualHidBackend>();
    virtual_device::DemoAmplifier mDemo = virtual_device::MakeDemoAmplifier(L"AMP-UI");
    std::unique_ptr<CMainWnd> mWindow;
    std::string mPath;
};

}  // namespace ui::testing
