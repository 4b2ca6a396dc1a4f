// Delivers platform::PostMessage calls to toolkit windows on the Qt event
// loop. Each message travels as an event that owns its record; a message for
// a window that has closed meanwhile is dropped with its record.
#pragma once

namespace toolkit {

// Installs the sink (once the QApplication exists). Idempotent.
void InstallMessageSink();

}  // namespace toolkit
