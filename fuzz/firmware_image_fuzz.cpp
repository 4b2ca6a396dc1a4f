// Feeds arbitrary bytes to the image parser and both checks. A refused file
// gives no image; an accepted one must have exactly the body its size allows
// and a checksum that really is the sum of its bytes.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <span>

#include "firmware/firmware_image.h"
#include "firmware/image_checks.h"
#include "firmware/image_layout.h"

namespace {

void check(bool ok) {
    if (!ok) {
        std::abort();
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    const std::span<const uint8_t> file(data, size);
    const std::optional<firmware::FirmwareImage> image = firmware::ParseImageBytes(file);
    const bool fits = size >= firmware::kImageOverhead && size <= firmware::kMaxImageFileSize;
    check(image.has_value() == fits);
    if (!image) {
        return 0;
    }
    check(image->body.size() == size - firmware::kImageOverhead);
    check(image->FW_PART == data[0] && image->FW_MODEL_ID == data[1]);
    check(image->computedChecksum == firmware::ImageByteSum(file.first(size - 4)));
    // The model byte of the input decides, so both outcomes of the model check get exercised.
    for (bool noCheckID : {false, true}) {
        const firmware::ImageRules rules{94, noCheckID};
        const bool mcu = firmware::McuImageAcceptable(*image, rules);
        const bool flash = firmware::FlashImageAcceptable(*image, rules);
        check(!mcu || (image->FW_PART == 1 && image->checksumMatches()));
        check(!flash || image->checksumMatches());
        check(noCheckID || !flash || image->FW_MODEL_ID == 94);
        check(mcu == (flash && image->FW_PART == 1));
    }
    return 0;
}
