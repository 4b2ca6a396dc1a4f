// Times what a user waits for: from the program's start to its main window,
// and from plugging in an amplifier (paced like a full-speed USB HID device,
// one report per 1 ms each way) to its whole state on screen. Also the
// program's resident memory once connected. Prints one line per figure.
#include <QApplication>
#include <QElapsedTimer>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <string>

#include "app/model_cfg.h"
#include "toolkit/qt_setup.h"
#include "ui/main/main_wnd.h"
#include "ui/main/virtual_plugging.h"
#include "ui/skin/display_scale.h"
#include "ui/skin/languages.h"
#include "ui/skin/skin_setup.h"
#include "virtual_device/demo_amplifier.h"
#include "virtual_device/virtual_hid_backend.h"

namespace {

using Clock = std::chrono::steady_clock;

double MsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

long ResidentKilobytes() {
    std::ifstream status("/proc/self/status");
    for (std::string line; std::getline(status, line);) {
        if (line.rfind("VmRSS:", 0) == 0) {
            return std::strtol(line.c_str() + 6, nullptr, 10);
        }
    }
    return -1;
}

template <typename Done>
bool Spin(Done done, int limitMs) {
    QElapsedTimer timer;
    timer.start();
    while (!done() && timer.elapsed() < limitMs) {
        QApplication::processEvents(QEventLoop::AllEvents, 5);
    }
    return done();
}

}  // namespace

int main(int argc, char** argv) {
    const Clock::time_point processStart = Clock::now();
    setenv("QT_QPA_PLATFORM", "offscreen", 0);
    app::FillModelCfg();
    toolkit::PrepareQtEnvironment();
    QApplication application(argc, argv);
    toolkit::SetUpApplication();
    ui::SetUpSkin();
    ui::SetUpLanguages(app::CurrentModelCfg());
    ui::SetDisplayScale(100);

    auto backend = std::make_shared<virtual_device::VirtualHidBackend>();
    virtual_device::DemoAmplifier demo = virtual_device::MakeDemoAmplifier();
    demo.amplifier->SetPacing(true);
    demo.amplifier->Unplug();
    const std::string path = backend->Add(demo.amplifier);

    auto window = std::make_unique<ui::CMainWnd>(backend);
    ui::AnnounceVirtualPlugging(*demo.amplifier, path, window->Handle());
    window->Start();
    Spin([&] { return window->Widget() != nullptr && window->Widget()->isVisible(); }, 5000);
    QApplication::processEvents();
    std::printf("start to main window shown: %.1f ms\n", MsSince(processStart));

    const uint64_t reportsBefore = demo.amplifier->ReceivedCount();
    const Clock::time_point plugged = Clock::now();
    demo.amplifier->Plug();
    const bool synced = Spin(
        [&] { return window->Manager().IsSynchronised() && !window->IsLoadingShown(); }, 120000);
    const double syncMs = MsSince(plugged);
    const uint64_t roundTrips = demo.amplifier->ReceivedCount() - reportsBefore;
    std::printf("connect and first synchronisation: %s in %.1f ms, %llu reports sent\n",
                synced ? "done" : "NOT DONE", syncMs, static_cast<unsigned long long>(roundTrips));
    std::printf("  paced ideal (round trips x 2 ms): %.1f ms, ratio %.3f\n", roundTrips * 2.0,
                syncMs / (roundTrips * 2.0));
    std::printf("resident memory once connected: %.1f MB\n", ResidentKilobytes() / 1024.0);

    demo.amplifier->SetPlugListener(nullptr);
    window->Manager().DisconnectDevice();
    window.reset();
    return synced ? 0 : 1;
}
