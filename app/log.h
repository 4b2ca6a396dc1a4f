// The process-wide diagnostic log. Off unless "savelog.ini" exists at start;
// once on, every message goes to standard output (the console) and to the log
// file, each preceded by a "[hh:mm:ss.mmm] " time stamp. Callable from any
// thread: one writer at a time, so lines never interleave.
#pragma once

#include <cstddef>
#include <string>

namespace app {

// Narrow form: messages longer than 1024 bytes are truncated.
void Log(const char* format, ...) __attribute__((format(printf, 1, 2)));

// Wide form: messages longer than 1536 characters are truncated. Written as
// UTF-8, like the narrow form, so the file stays readable as one encoding.
void LogW(const wchar_t* format, ...);

// Opens (replacing) the log file; returns false when it cannot be created.
bool OpenLog(const std::string& path);

// Flushes and closes the log file; the log is off afterwards. Called at
// shutdown so that nothing is lost when the process ends by a signal.
void CloseLog();

bool IsLogOpen();

// Flushes what the log has buffered to disk.
void FlushLog();

// Time stamps are on by default; a caller that prints one line in pieces
// switches them off for the continuation pieces.
void SetLogTimeStamp(bool on);

// Console echo (standard output) is on by default.
void SetLogConsole(bool on);

// Messages counted since the program started, written or not.
size_t LogMessageCount();

// The five banner lines written when the start-up sequence opens the log.
void WriteLogBanner();

}  // namespace app
