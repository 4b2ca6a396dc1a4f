#include "ui/main/display_watch.h"

#include <QGuiApplication>
#include <QScreen>
#include <utility>

namespace ui {

DisplayWatch::DisplayWatch(std::chrono::milliseconds quiet, std::function<void()> onSettled)
    : mOnSettled(std::move(onSettled)) {
    mQuiet.setSingleShot(true);
    mQuiet.setInterval(quiet);
    QObject::connect(&mQuiet, &QTimer::timeout, &mContext, [this] {
        if (mOnSettled) {
            mOnSettled();
        }
    });
}

void DisplayWatch::WatchScreens() {
    auto* application = qGuiApp;
    if (application == nullptr) {
        return;
    }
    QObject::connect(application, &QGuiApplication::screenAdded, &mContext,
                     [this](QScreen* screen) {
                         WatchScreen(screen);
                         Nudge();
                     });
    QObject::connect(application, &QGuiApplication::screenRemoved, &mContext,
                     [this](QScreen*) { Nudge(); });
    QObject::connect(application, &QGuiApplication::primaryScreenChanged, &mContext,
                     [this](QScreen*) { Nudge(); });
    for (QScreen* screen : QGuiApplication::screens()) {
        WatchScreen(screen);
    }
}

void DisplayWatch::WatchScreen(QScreen* screen) {
    QObject::connect(screen, &QScreen::geometryChanged, &mContext, [this] { Nudge(); });
    QObject::connect(screen, &QScreen::logicalDotsPerInchChanged, &mContext, [this] { Nudge(); });
}

void DisplayWatch::Nudge() {
    mQuiet.start();
}

}  // namespace ui
