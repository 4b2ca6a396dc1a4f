#include "model/base64.h"

namespace model {

namespace {

constexpr char kAlphabet[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789+/";

int sextet(char c) {
    if (c >= 'A' && c <= 'Z') {
        return c - 'A';
    }
    if (c >= 'a' && c <= 'z') {
        return c - 'a' + 26;
    }
    if (c >= '0' && c <= '9') {
        return c - '0' + 52;
    }
    if (c == '+') {
        return 62;
    }
    return c == '/' ? 63 : -1;
}

}  // namespace

std::string encodeBase64(std::span<const uint8_t> bytes) {
    std::string text;
    text.reserve((bytes.size() + 2) / 3 * 4);
    for (size_t i = 0; i < bytes.size(); i += 3) {
        size_t left = bytes.size() - i;
        uint32_t group = bytes[i] << 16;
        group |= left > 1 ? bytes[i + 1] << 8 : 0;
        group |= left > 2 ? bytes[i + 2] : 0;
        text.push_back(kAlphabet[(group >> 18) & 0x3F]);
        text.push_back(kAlphabet[(group >> 12) & 0x3F]);
        text.push_back(left > 1 ? kAlphabet[(group >> 6) & 0x3F] : '=');
        text.push_back(left > 2 ? kAlphabet[group & 0x3F] : '=');
    }
    return text;
}

std::vector<uint8_t> decodeBase64(std::string_view text) {
    std::vector<uint8_t> bytes;
    uint32_t bits = 0;
    int bitCount = 0;
    for (char c : text) {
        int value = sextet(c);
        if (value < 0) {
            break;
        }
        bits = (bits << 6) | static_cast<uint32_t>(value);
        bitCount += 6;
        if (bitCount >= 8) {
            bitCount -= 8;
            bytes.push_back(static_cast<uint8_t>(bits >> bitCount));
            bits &= (1u << bitCount) - 1;
        }
    }
    return bytes;
}

}  // namespace model
