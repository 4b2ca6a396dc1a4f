// Finds the main page's controls by name and keeps what it found. A name the
// skin does not have yields a control that ignores every call, so the
// controller can address optional controls without testing each one.
#pragma once

#include <string>
#include <unordered_map>

#include "toolkit/control_access.h"

namespace controller {

class ControlLookup {
public:
    void Bind(toolkit::ControlAccess* page);

    toolkit::ControlHandle& operator()(const std::string& name);
    // The control named by a format with one index ("ch_mute_%d").
    toolkit::ControlHandle& Indexed(const char* format, int index);
    toolkit::ControlHandle& Indexed(const char* format, int first, int second);
    bool Exists(const std::string& name);

private:
    toolkit::ControlAccess* mPage = nullptr;
    std::unordered_map<std::string, toolkit::ControlHandle*> mFound;
};

}  // namespace controller
