#include "device/dsp_encoders.h"

#include <algorithm>
#include <cmath>

namespace device {
namespace {

constexpr double kEqGainOffset = 18.0;
constexpr long kEqGainTenthsMax = 319;  // gain + 18 = 31.9, the 5-bit field's top
constexpr double kCompressorThresholdOffset = 100.0;

// The integer part and tenths digit of a non-negative value.
void AppendIntegerAndTenths(std::vector<uint8_t>& data, double value) {
    long tenths = std::max(0L, RoundToUnits(value, 10));
    data.push_back(static_cast<uint8_t>(tenths / 10));
    data.push_back(static_cast<uint8_t>(tenths % 10));
}

}  // namespace

long RoundToUnits(double x, int unitsPerOne) {
    return std::lround(x * unitsPerOne);
}

void AppendBigEndian16(std::vector<uint8_t>& data, unsigned value) {
    data.push_back(static_cast<uint8_t>(value >> 8));
    data.push_back(static_cast<uint8_t>(value));
}

void AppendLittleEndian32(std::vector<uint8_t>& data, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        data.push_back(static_cast<uint8_t>(value >> shift));
    }
}

std::vector<uint8_t> EncodeEqBand(uint8_t scene, uint8_t source, uint8_t channel, uint8_t band,
                                  int frequency, float q, float gain, uint8_t type,
                                  bool eqPrecision) {
    std::vector<uint8_t> data = {scene, source, channel, band};
    AppendBigEndian16(data, static_cast<unsigned>(frequency));
    if (eqPrecision) {
        long thousandths = std::max(0L, RoundToUnits(q, 1000));
        data.push_back(static_cast<uint8_t>(thousandths / 1000));
        AppendBigEndian16(data, static_cast<unsigned>(thousandths % 1000));
    } else {
        long tenths = std::max(0L, RoundToUnits(q, 10));
        data.push_back(static_cast<uint8_t>(tenths / 10));
        data.push_back(static_cast<uint8_t>(tenths % 10));
    }
    long gainTenths = std::clamp(RoundToUnits(gain + kEqGainOffset, 10), 0L, kEqGainTenthsMax);
    data.push_back(static_cast<uint8_t>((gainTenths / 10) | (type << 5)));
    data.push_back(static_cast<uint8_t>(gainTenths % 10));
    return data;
}

void AppendDelay(std::vector<uint8_t>& data, float delayMs) {
    long thousandths = std::max(0L, RoundToUnits(delayMs, 1000));
    data.push_back(static_cast<uint8_t>(thousandths / 1000));
    AppendBigEndian16(data, static_cast<unsigned>(thousandths % 1000));
}

void AppendTrim(std::vector<uint8_t>& data, float trim, bool floatTrim) {
    long hundredths = std::max(0L, RoundToUnits(-static_cast<double>(trim), 100));
    data.push_back(static_cast<uint8_t>(hundredths / 100));
    if (floatTrim) {
        data.push_back(static_cast<uint8_t>(hundredths % 100));
    }
}

int MixMaskBytes(int mixerInputs) {
    if (mixerInputs <= 8) {
        return 1;
    }
    if (mixerInputs <= 16) {
        return 2;
    }
    if (mixerInputs <= 24) {
        return 3;
    }
    return 4;
}

void AppendMixMask(std::vector<uint8_t>& data, uint32_t mask, int mixerInputs) {
    for (int i = MixMaskBytes(mixerInputs) - 1; i >= 0; --i) {
        data.push_back(static_cast<uint8_t>(mask >> (8 * i)));
    }
}

void AppendCompressor(std::vector<uint8_t>& data, float threshold, float ratio, int attack,
                      int release, float knee) {
    AppendIntegerAndTenths(data, threshold + kCompressorThresholdOffset);
    AppendIntegerAndTenths(data, ratio);
    AppendIntegerAndTenths(data, knee);
    AppendBigEndian16(data, static_cast<unsigned>(attack));
    AppendBigEndian16(data, static_cast<unsigned>(release));
}

void AppendCompressor2(std::vector<uint8_t>& data, float threshold, int32_t attack,
                       uint32_t releaseMs) {
    long thresholdTenths = RoundToUnits(threshold, 10);
    long integer = thresholdTenths / 10;  // toward zero: -20.5 gives -20 and -5
    data.push_back(static_cast<uint8_t>(static_cast<int8_t>(integer)));
    data.push_back(static_cast<uint8_t>(static_cast<int8_t>(thresholdTenths - 10 * integer)));
    AppendBigEndian16(data, static_cast<unsigned>(attack));
    long releaseTenths = RoundToUnits(releaseMs / 1000.0, 10);
    data.push_back(static_cast<uint8_t>(releaseTenths / 10));
    data.push_back(static_cast<uint8_t>(releaseTenths % 10));
}

}  // namespace device
