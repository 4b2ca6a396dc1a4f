// The registry of open windows: handles for posted messages, and lookup by
// title for the program's "find my own window" needs.
#pragma once

#include <string>
#include <vector>

#include "platform/message_post.h"

namespace toolkit {

class Window;

namespace window_registry {

// A new handle (never reused) for the window.
platform::WindowHandle Register(Window* window);
void Unregister(platform::WindowHandle handle);
// UI thread only.
Window* Find(platform::WindowHandle handle);
// Any thread.
bool Exists(platform::WindowHandle handle);
// The first open window whose title equals this one (case-insensitive).
Window* FindByTitle(const std::string& title);
std::vector<Window*> All();

}  // namespace window_registry
}  // namespace toolkit
