#include "ui/main/display_restart.h"

#include <QCoreApplication>
#include <QProcess>
#include <QStringList>
#include <algorithm>
#include <utility>

#include "app/log.h"
#include "ui/skin/display_scale.h"

namespace ui {
namespace {

constexpr const char* kRestartedOption = "--restarted";

}  // namespace

DisplayRestart::DisplayRestart(Starter start, std::function<void()> close,
                               std::function<void()> tellFailure)
    : mStart(std::move(start)), mClose(std::move(close)), mTellFailure(std::move(tellFailure)) {
    mRecheck.setInterval(kBusyRecheckMs);
    QObject::connect(&mRecheck, &QTimer::timeout, [this] { RecheckWhenFree(); });
}

bool DisplayRestart::OnDisplayChanged(int newScale) {
    const int scale = DisplayScale();
    if (newScale == scale) {
        app::Log("display changed, scale stays %d\n", scale);
        // Back to the windows' own scale: a change that waited is void.
        mWaitingScale = -1;
        mRecheck.stop();
        return false;
    }
    app::Log("display changed, scale %d -> %d\n", scale, newScale);
    if (mRestarting || mTellingFailure) {
        return mRestarting;
    }
    if (mBusy && mBusy()) {
        if (!IsWaiting()) {
            app::Log("the restart waits until the amplifier's job and the open boxes end\n");
        }
        mWaitingScale = newScale;
        mRecheck.start();
        return false;
    }
    return Restart();
}

void DisplayRestart::RecheckWhenFree() {
    if (mBusy && mBusy()) {
        return;
    }
    const int scale = mWaitingScale;
    mWaitingScale = -1;
    mRecheck.stop();
    if (scale >= 0 && !mRestarting) {
        app::Log("the program is free: restarting for scale %d\n", scale);
        Restart();
    }
}

bool DisplayRestart::Restart() {
    std::string error;
    if (!mStart || !mStart(&error)) {
        app::Log("restart after display change failed: %s\n", error.c_str());
        mTellingFailure = true;
        if (mTellFailure) {
            mTellFailure();
        }
        mTellingFailure = false;
        return false;
    }
    mRestarting = true;
    if (mClose) {
        mClose();
    }
    return true;
}

std::vector<std::string> RestartArguments(const std::vector<std::string>& given) {
    std::vector<std::string> arguments = given;
    if (std::find(arguments.begin(), arguments.end(), kRestartedOption) == arguments.end()) {
        arguments.emplace_back(kRestartedOption);
    }
    return arguments;
}

bool StartDetached(const std::string& program, const std::vector<std::string>& arguments,
                   std::string* error) {
    QStringList list;
    for (const std::string& argument : arguments) {
        list << QString::fromStdString(argument);
    }
    QProcess process;
    process.setProgram(QString::fromStdString(program));
    process.setArguments(list);
    if (process.startDetached()) {
        return true;
    }
    if (error != nullptr) {
        *error = program + ": " + process.errorString().toStdString();
    }
    return false;
}

DisplayRestart::Starter ProgramStarter(std::vector<std::string> arguments) {
    return [arguments = std::move(arguments)](std::string* error) {
        return StartDetached(QCoreApplication::applicationFilePath().toStdString(), arguments,
                             error);
    };
}

}  // namespace ui
