// A small skin on disk for the toolkit's window tests.
#pragma once

#include <unistd.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <vector>

#include "toolkit/control_access.h"
#include "toolkit/skin.h"
#include "toolkit/window.h"

namespace toolkit::testing {

inline void UseTestSkin(const std::vector<std::pair<std::string, std::string>>& files) {
    std::filesystem::path root = std::filesystem::temp_directory_path() /
                                 ("tq_toolkit_test_skin_" + std::to_string(::getpid()));
    std::filesystem::remove_all(root);
    for (const auto& [name, content] : files) {
        std::filesystem::create_directories((root / name).parent_path());
        std::ofstream(root / name, std::ios::binary) << content;
    }
    Skin::Instance().Reset();
    Skin::Instance().SetResourcePath(root.string());
    Skin::Instance().LoadResourceIndex("xml/res.xml");
}

// A window that records what reaches it.
class RecordingWindow : public Window {
public:
    RecordingWindow() : Window("TestWnd", "testwnd") {}
    std::vector<Notification> notes;
    std::vector<int> timerTicks;
    std::function<void(int)> onTimer;
    std::function<void(uint32_t, std::unique_ptr<platform::PostedRecord>&)> onMessage;

    std::string Types() const {
        std::string all;
        for (const auto& n : notes)
            all += n.type + ":" + n.name + ";";
        return all;
    }

protected:
    void Notify(const Notification& notification) override {
        notes.push_back(notification);
        DefaultNotify(notification);
    }
    void OnTimer(int id) override {
        timerTicks.push_back(id);
        if (onTimer)
            onTimer(id);
    }
    void OnMessage(uint32_t message, uintptr_t, intptr_t,
                   std::unique_ptr<platform::PostedRecord>& record) override {
        if (onMessage)
            onMessage(message, record);
    }
};

}  // namespace toolkit::testing
