// The main window's handling of the messages that the device link and the
// controller's jobs post to it: each is handed to the controller or shown to
// the user. Qt-free, so the tests run the same handling as the program.
#pragma once

#include "controller/equalizer_manager.h"
#include "controller/ui_services.h"
#include "platform/message_post.h"

namespace controller {

// Returns false for a message that is not one of these.
bool HandlePostedMessage(EqualizerManager& manager, UiServices& ui,
                         const platform::PostedMessage& message);

}  // namespace controller
