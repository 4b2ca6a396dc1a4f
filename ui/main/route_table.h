// The main window's routing tables: each row names a control (exactly, or
// by the prefix of an indexed family: "eq_freq_" for "eq_freq_%d", or by any
// prefix written with a trailing '*': "option_ch_in*") and the
// action its notification starts. The first row that matches wins, so each
// table reads like the catalogue of the controls it serves.
#pragma once

#include <string>
#include <string_view>
#include <utility>

namespace ui {

class CMainWnd;

// Args are what the action takes besides the window: the control's index,
// and for some tables the direction of a step or the kind of a commit.
template <typename... Args>
struct RouteOf {
    const char* name;  // a name ending in '_' or '*' matches every control it starts
    void (*action)(CMainWnd& window, Args... args);
};

inline bool RouteMatches(std::string_view pattern, const std::string& name) {
    if (!pattern.empty() && pattern.back() == '*') {
        pattern.remove_suffix(1);
        return name.compare(0, pattern.size(), pattern) == 0;
    }
    if (!pattern.empty() && pattern.back() == '_') {
        return name.size() > pattern.size() && name.compare(0, pattern.size(), pattern) == 0;
    }
    return name == pattern;
}

// Runs the first route of the table that matches the name; false when none does.
template <typename Table, typename... Args>
bool RunRoute(const Table& table, const std::string& name, CMainWnd& window, Args&&... args) {
    for (const auto& route : table) {
        if (RouteMatches(route.name, name)) {
            route.action(window, std::forward<Args>(args)...);
            return true;
        }
    }
    return false;
}

}  // namespace ui
