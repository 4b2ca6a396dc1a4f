#include "app/log.h"

#include <sys/time.h>

#include <atomic>
#include <cstdarg>
#include <cstdio>
#include <ctime>
#include <cwchar>
#include <mutex>

#include "app/model_cfg.h"
#include "app/version.h"
#include "platform/text_util.h"

namespace app {
namespace {

constexpr size_t kNarrowBufferBytes = 1024;
constexpr size_t kWideBufferChars = 1536;
constexpr int kMessagesPerFlush = 10;

std::mutex gWriterLock;       // one writer at a time
FILE* gLogFile = nullptr;     // guarded by gWriterLock
int gMessagesSinceFlush = 0;  // guarded by gWriterLock
std::atomic<bool> gLogOpen{false};
std::atomic<bool> gTimeStamp{true};
std::atomic<bool> gConsole{true};
std::atomic<size_t> gMessageCount{0};

std::string TimeStamp() {
    timeval now{};
    gettimeofday(&now, nullptr);
    tm local{};
    localtime_r(&now.tv_sec, &local);
    char text[32];
    std::snprintf(text, sizeof text, "[%02d:%02d:%02d.%03d] ", local.tm_hour, local.tm_min,
                  local.tm_sec, static_cast<int>(now.tv_usec / 1000));
    return text;
}

// Writes one formatted message under the writer lock (steps 2 to 5 of a
// message: wait for the log, time stamp, text, periodic flush).
void WriteMessage(const char* text, size_t length) {
    std::lock_guard<std::mutex> hold(gWriterLock);
    if (gLogFile == nullptr) {
        return;
    }
    if (gTimeStamp.load()) {
        std::string stamp = TimeStamp();
        std::fwrite(stamp.data(), 1, stamp.size(), gLogFile);
        if (gConsole.load()) {
            std::fwrite(stamp.data(), 1, stamp.size(), stdout);
        }
    }
    std::fwrite(text, 1, length, gLogFile);
    if (gConsole.load()) {
        std::fwrite(text, 1, length, stdout);
        std::fflush(stdout);
    }
    if (++gMessagesSinceFlush > kMessagesPerFlush) {
        std::fflush(gLogFile);
        gMessagesSinceFlush = 0;
    }
}

}  // namespace

void Log(const char* format, ...) {
    gMessageCount.fetch_add(1);
    if (!gLogOpen.load()) {
        return;
    }
    char buffer[kNarrowBufferBytes];
    va_list args;
    va_start(args, format);
    int written = std::vsnprintf(buffer, sizeof buffer, format, args);
    va_end(args);
    if (written < 0) {
        return;
    }
    size_t length = static_cast<size_t>(written) < sizeof buffer ? static_cast<size_t>(written)
                                                                 : sizeof buffer - 1;
    WriteMessage(buffer, length);
}

void LogW(const wchar_t* format, ...) {
    gMessageCount.fetch_add(1);
    if (!gLogOpen.load()) {
        return;
    }
    wchar_t buffer[kWideBufferChars];
    va_list args;
    va_start(args, format);
    int written = std::vswprintf(buffer, kWideBufferChars, format, args);
    va_end(args);
    // vswprintf reports -1 when the text did not fit, leaving the buffer
    // terminated at its end: keep the truncated text.
    buffer[kWideBufferChars - 1] = L'\0';
    (void)written;
    std::string utf8;
    for (const wchar_t* c = buffer; *c != L'\0'; ++c) {
        platform::AppendUtf8(utf8, static_cast<char32_t>(*c));
    }
    WriteMessage(utf8.data(), utf8.size());
}

bool OpenLog(const std::string& path) {
    std::lock_guard<std::mutex> hold(gWriterLock);
    if (gLogFile != nullptr) {
        std::fclose(gLogFile);
    }
    gLogFile = std::fopen(path.c_str(), "wb");
    gMessagesSinceFlush = 0;
    gLogOpen.store(gLogFile != nullptr);
    return gLogFile != nullptr;
}

void CloseLog() {
    std::lock_guard<std::mutex> hold(gWriterLock);
    gLogOpen.store(false);
    if (gLogFile != nullptr) {
        std::fclose(gLogFile);
        gLogFile = nullptr;
    }
}

bool IsLogOpen() {
    return gLogOpen.load();
}

void FlushLog() {
    std::lock_guard<std::mutex> hold(gWriterLock);
    if (gLogFile != nullptr) {
        std::fflush(gLogFile);
    }
}

void SetLogTimeStamp(bool on) {
    gTimeStamp.store(on);
}

void SetLogConsole(bool on) {
    gConsole.store(on);
}

size_t LogMessageCount() {
    return gMessageCount.load();
}

void WriteLogBanner() {
    const ModelCfg& cfg = CurrentModelCfg();
    Log("MODEL_NAME: %s\n", cfg.mMODEL_NAME);
    Log("FW_MODEL_ID: %d\n", cfg.mFw_Model_ID);
    Log("SW_MODEL_ID: %d\n", cfg.mSw_Model_ID);
    Log("VERSION: %s\n", kSoftwareVersion);
    Log("INNER_FW: %d, %d\n", cfg.mINNER_FW_MAIN_VER, cfg.mINNER_FW_SLAVE_VER);
}

}  // namespace app
