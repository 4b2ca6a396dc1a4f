// The fixed-point encodings of the DSP parameters. Fractions are rounded to
// the precision the wire carries: a Q of 1.4 is 1.3999999 as a float, and
// truncating its tenths would send 1.3.
#pragma once

#include <cstdint>
#include <vector>

namespace device {

// EqBandData: scene, source, channel, band, frequency (16 bits), Q integer,
// Q fraction (a tenths digit, or 16-bit thousandths with eqPrecision), the
// gain byte (low 5 bits integer part of gain + 18, high 3 bits the filter
// type) and the gain's tenths digit. Gain + 18 is held within 0..31.9 so
// that it can never spill into the type bits.
std::vector<uint8_t> EncodeEqBand(uint8_t scene, uint8_t source, uint8_t channel, uint8_t band,
                                  int frequency, float q, float gain, uint8_t type,
                                  bool eqPrecision);

// Delay entry: integer milliseconds, thousandths (16 bits).
void AppendDelay(std::vector<uint8_t>& data, float delayMs);

// Trim entry from the attenuation a = -trim (not negative): its integer part,
// and with floatTrim the hundredths.
void AppendTrim(std::vector<uint8_t>& data, float trim, bool floatTrim);

// The mixer's input mask: 1, 2, 3 or 4 bytes for at most 8, 16, 24 or more
// inputs, most significant byte first.
int MixMaskBytes(int mixerInputs);
void AppendMixMask(std::vector<uint8_t>& data, uint32_t mask, int mixerInputs);

// CompressorData's value bytes after scene, source, channel and bypass:
// threshold + 100, ratio and knee as integer and tenths, attack and release.
void AppendCompressor(std::vector<uint8_t>& data, float threshold, float ratio, int attack,
                      int release, float knee);

// Compressor2 entry: signed threshold integer and tenths, attack (16 bits),
// release seconds and tenths.
void AppendCompressor2(std::vector<uint8_t>& data, float threshold, int32_t attack,
                       uint32_t releaseMs);

void AppendBigEndian16(std::vector<uint8_t>& data, unsigned value);
void AppendLittleEndian32(std::vector<uint8_t>& data, uint32_t value);

// x rounded to tenths (hundredths, thousandths), as a whole number of them.
long RoundToUnits(double x, int unitsPerOne);

}  // namespace device
