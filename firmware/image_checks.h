// Whether a parsed image may be sent to the connected amplifier: the part
// byte (microcontroller files only), the model and the checksum. Each check
// writes the log line that says what it compared.
#pragma once

#include <cstdint>

#include "firmware/firmware_image.h"

namespace firmware {

struct ImageRules {
    uint8_t pc_model_id = 0;  // this program's model number
    bool noCheckID = false;   // skip the model comparison (device not in normal mode)
    // The build's stand-in images may go to the virtual amplifier only: a
    // real amplifier must never be sent one.
    bool standInsAllowed = false;
};

// A microcontroller or bootloader image: part 1, the program's model unless
// noCheckID is set, and a matching checksum.
bool McuImageAcceptable(const FirmwareImage& image, const ImageRules& rules);

// A DSP flash image: a matching checksum and the program's model unless
// noCheckID is set. The part byte is not examined.
bool FlashImageAcceptable(const FirmwareImage& image, const ImageRules& rules);

}  // namespace firmware
