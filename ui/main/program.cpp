#include "ui/main/program.h"

#include <sys/socket.h>
#include <unistd.h>
#include <QApplication>
#include <QSocketNotifier>
#include <chrono>
#include <csignal>
#include <memory>
#include <optional>

#include "app/log.h"
#include "app/model_cfg.h"
#include "device/hid_backend_chain.h"
#include "device/hidapi_backend.h"
#include "toolkit/qt_setup.h"
#include "ui/dialogs/message_box.h"
#include "ui/main/device_notice.h"
#include "ui/main/display_restart.h"
#include "ui/main/display_watch.h"
#include "ui/main/main_wnd.h"
#include "ui/main/virtual_plugging.h"
#include "ui/skin/display_scale.h"
#include "ui/skin/languages.h"
#include "ui/skin/skin_setup.h"
#include "virtual_device/demo_amplifier.h"
#include "virtual_device/virtual_hid_backend.h"

namespace ui {
namespace {

// SIGINT and SIGTERM end the program through the same path as closing the
// main window: the handler only writes a byte that the event loop reads.
int gSignalPipe[2] = {-1, -1};

void OnSignal(int) {
    const char byte = 1;
    ssize_t ignored = ::write(gSignalPipe[1], &byte, 1);
    (void)ignored;
}

std::unique_ptr<QSocketNotifier> WatchSignals(CMainWnd& window) {
    if (::socketpair(AF_UNIX, SOCK_STREAM, 0, gSignalPipe) != 0) {
        return nullptr;
    }
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGINT, &action, nullptr);
    sigaction(SIGTERM, &action, nullptr);
    auto notifier = std::make_unique<QSocketNotifier>(gSignalPipe[0], QSocketNotifier::Read);
    QObject::connect(notifier.get(), &QSocketNotifier::activated, [&window] {
        char byte = 0;
        ssize_t ignored = ::read(gSignalPipe[0], &byte, 1);
        (void)ignored;
        app::Log("signal received, closing\n");
        window.CloseProgram();
    });
    return notifier;
}

}  // namespace

void TellSecondInstance() {
    app::Log("another instance is running\n");
    ShowMessage(nullptr, "${tips}", "${mutex_tips}");
}

int RunProgram(int argc, char** argv, const ProgramOptions& options) {
    toolkit::PrepareQtEnvironment();
    QApplication application(argc, argv);
    toolkit::SetUpApplication();
    SetUpSkin();
    SetUpLanguages(app::CurrentModelCfg());
    SetDisplayScale(ChooseDisplayScale());
    if (!options.firstInstance) {
        TellSecondInstance();
        return 0;
    }

    auto backends = std::make_shared<device::HidBackendChain>();
    backends->Add(std::make_shared<device::HidapiBackend>());
    auto virtualBackend = std::make_shared<virtual_device::VirtualHidBackend>();
    virtual_device::DemoAmplifier demo;
    std::string demoPath;
    if (options.virtualDevice) {
        std::optional<virtual_device::VersionNumber> firmware;
        if (options.virtualFirmwareMajor >= 0 && options.virtualFirmwareMinor >= 0) {
            firmware =
                virtual_device::VersionNumber{static_cast<uint8_t>(options.virtualFirmwareMajor),
                                              static_cast<uint8_t>(options.virtualFirmwareMinor)};
        }
        demo = virtual_device::MakeDemoAmplifier(L"VTA3300-DEMO", firmware);
        demoPath = virtualBackend->Add(demo.amplifier);
        backends->Add(virtualBackend);
    }

    int result = 0;
    {
        CMainWnd window(backends);
        if (demo.amplifier) {
            AnnounceVirtualPlugging(*demo.amplifier, demoPath, window.Handle());
        }
        window.SetOnClosed([] { QApplication::exit(0); });
        window.SetRestartStarter(ProgramStarter(RestartArguments(options.arguments)));
        auto signalWatch = WatchSignals(window);
        // A monitor plugged in fires several signals: one decision for all.
        DisplayWatch displayWatch(std::chrono::milliseconds(500),
                                  [&window] { window.OnDisplayChanged(ChooseDisplayScale()); });
        displayWatch.WatchScreens();
        if (window.Start()) {
            result = QApplication::exec();
        }
        if (demo.amplifier) {
            demo.amplifier->SetPlugListener(nullptr);
        }
    }
    app::CloseLog();
    return result;
}

}  // namespace ui
