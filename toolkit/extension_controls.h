// The toolkit's own extension controls that windows create from custom tags
// through their builder: "SButton" (a switch-style button) and
// "CircleProgress" (a circular progress indicator).
#pragma once

#include <QWidget>
#include <string>

namespace toolkit {

// The control for one of those tags (compared without regard to case), or
// nullptr for any other tag.
QWidget* MakeExtensionControl(const std::string& tag, QWidget* parent);

}  // namespace toolkit
