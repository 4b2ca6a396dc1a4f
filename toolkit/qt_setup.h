// Process-wide Qt set-up for skinned windows.
#pragma once

namespace toolkit {

// Before the QApplication exists: Qt's own high-DPI scaling off, so that the
// program's display-scale rule alone decides sizes.
void PrepareQtEnvironment();

// After the QApplication exists: the application font with a CJK fallback
// (so Chinese texts never show empty boxes) and the message sink.
void SetUpApplication();

}  // namespace toolkit
