// Turns layout elements into Qt widgets under a parent, registers each named
// control with its window and connects its signals to notifications.
#pragma once

#include <QWidget>
#include <string>

#include "toolkit/window.h"
#include "toolkit/window_widget.h"
#include "toolkit/xml_document.h"

namespace toolkit {

struct BuildContext {
    Window& window;
    WindowWidget& top;
    const ControlBuilder& builder;
    int scale;
};

// Builds every child element of node under parent; pump is the sub-pump
// inherited from the enclosing containers.
void BuildChildren(const BuildContext& context, const XmlElement& node, QWidget* parent,
                   const std::string& pump);

// The window's theme, font and background from the root element.
void ApplyRootAttributes(const BuildContext& context, const XmlElement& root);

}  // namespace toolkit
