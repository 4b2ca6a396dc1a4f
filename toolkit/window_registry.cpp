#include "toolkit/window_registry.h"

#include <QString>
#include <map>
#include <mutex>

#include "toolkit/window.h"

namespace toolkit::window_registry {

namespace {

std::mutex gLock;
std::map<platform::WindowHandle, Window*> gWindows;  // guarded by gLock
platform::WindowHandle gNextHandle = 0x1000;         // guarded by gLock

}  // namespace

platform::WindowHandle Register(Window* window) {
    std::lock_guard<std::mutex> hold(gLock);
    platform::WindowHandle handle = ++gNextHandle;
    gWindows[handle] = window;
    return handle;
}

void Unregister(platform::WindowHandle handle) {
    std::lock_guard<std::mutex> hold(gLock);
    gWindows.erase(handle);
}

Window* Find(platform::WindowHandle handle) {
    std::lock_guard<std::mutex> hold(gLock);
    auto found = gWindows.find(handle);
    return found != gWindows.end() ? found->second : nullptr;
}

bool Exists(platform::WindowHandle handle) {
    std::lock_guard<std::mutex> hold(gLock);
    return gWindows.count(handle) != 0;
}

Window* FindByTitle(const std::string& title) {
    QString wanted = QString::fromStdString(title);
    for (Window* window : All()) {
        if (QString::fromStdString(window->Title()).compare(wanted, Qt::CaseInsensitive) == 0) {
            return window;
        }
    }
    return nullptr;
}

std::vector<Window*> All() {
    std::lock_guard<std::mutex> hold(gLock);
    std::vector<Window*> windows;
    for (const auto& [handle, window] : gWindows) {
        windows.push_back(window);
    }
    return windows;
}

}  // namespace toolkit::window_registry
