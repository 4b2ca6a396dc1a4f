// Watches the monitors: one that is plugged in, pulled out or changed fires
// a burst of signals, and the watch answers the burst once, when the screens
// have been quiet for a while.
#pragma once

#include <QObject>
#include <QTimer>
#include <chrono>
#include <functional>

class QScreen;

namespace ui {

class DisplayWatch {
public:
    DisplayWatch(std::chrono::milliseconds quiet, std::function<void()> onSettled);

    // Listens to the screens the application has and to those that come.
    void WatchScreens();
    // One change of the screens: the quiet time starts again.
    void Nudge();

private:
    void WatchScreen(QScreen* screen);

    std::function<void()> mOnSettled;
    QObject mContext;  // ends the screen connections with the watch
    QTimer mQuiet;
};

}  // namespace ui
