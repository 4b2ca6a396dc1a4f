// One deferred command waiting for the link's command thread.
#pragma once

#include <cstdint>
#include <vector>

namespace device {

struct CmdQueueItem {
    uint8_t type = 0;
    uint8_t subCommand = 0;
    uint8_t operation = 0;
    std::vector<uint8_t> data;  // owned by the item; at most 57 bytes
};

}  // namespace device
