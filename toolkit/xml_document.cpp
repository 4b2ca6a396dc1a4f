#include "toolkit/xml_document.h"

#include <cstdint>

namespace toolkit {

const std::string* XmlElement::Attribute(std::string_view key) const {
    for (const auto& [k, v] : attributes) {
        if (k == key) {
            return &v;
        }
    }
    return nullptr;
}

std::string XmlElement::AttributeOr(std::string_view key, std::string_view fallback) const {
    const std::string* value = Attribute(key);
    return value != nullptr ? *value : std::string(fallback);
}

namespace {

bool IsNameChar(char c) {
    unsigned char u = static_cast<unsigned char>(c);
    return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z') || (c >= '0' && c <= '9') || c == '_' ||
           c == '-' || c == '.' || c == ':' || u >= 0x80;
}

bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\r' || c == '\n';
}

void AppendUtf8(std::string& out, uint32_t cp) {
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else if (cp < 0x10000) {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (cp >> 18));
        out += static_cast<char>(0x80 | ((cp >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// Decodes one entity starting after '&'; false on an unknown or malformed one.
bool DecodeEntity(std::string_view entity, std::string& out) {
    if (entity == "amp") {
        out += '&';
    } else if (entity == "lt") {
        out += '<';
    } else if (entity == "gt") {
        out += '>';
    } else if (entity == "quot") {
        out += '"';
    } else if (entity == "apos") {
        out += '\'';
    } else if (entity.size() >= 2 && entity[0] == '#') {
        bool hex = entity[1] == 'x' || entity[1] == 'X';
        size_t start = hex ? 2 : 1;
        if (start >= entity.size() || entity.size() - start > 8) {
            return false;
        }
        uint32_t cp = 0;
        for (size_t i = start; i < entity.size(); ++i) {
            char c = entity[i];
            uint32_t digit;
            if (c >= '0' && c <= '9') {
                digit = static_cast<uint32_t>(c - '0');
            } else if (hex && c >= 'a' && c <= 'f') {
                digit = static_cast<uint32_t>(c - 'a' + 10);
            } else if (hex && c >= 'A' && c <= 'F') {
                digit = static_cast<uint32_t>(c - 'A' + 10);
            } else {
                return false;
            }
            cp = cp * (hex ? 16 : 10) + digit;
        }
        if (cp == 0 || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF)) {
            return false;
        }
        AppendUtf8(out, cp);
    } else {
        return false;
    }
    return true;
}

class Parser {
public:
    explicit Parser(std::string_view text) : mText(text) {}

    std::optional<XmlElement> Document() {
        if (mText.substr(0, 3) == "\xEF\xBB\xBF") {
            mPos = 3;
        }
        if (!SkipMisc()) {
            return std::nullopt;
        }
        XmlElement root;
        if (!Element(root, 1)) {
            return std::nullopt;
        }
        if (!SkipMisc() || mPos != mText.size()) {
            return std::nullopt;
        }
        return root;
    }

private:
    bool AtEnd() const { return mPos >= mText.size(); }
    bool StartsWith(std::string_view s) const { return mText.substr(mPos, s.size()) == s; }

    void SkipSpace() {
        while (!AtEnd() && IsSpace(mText[mPos])) {
            ++mPos;
        }
    }

    // Skips up to and including the terminator; false when it never comes.
    bool SkipPast(std::string_view terminator) {
        size_t found = mText.find(terminator, mPos);
        if (found == std::string_view::npos) {
            return false;
        }
        mPos = found + terminator.size();
        return true;
    }

    // Whitespace, comments, processing instructions and a doctype.
    bool SkipMisc() {
        while (true) {
            SkipSpace();
            if (StartsWith("<!--")) {
                if (!SkipPast("-->")) {
                    return false;
                }
            } else if (StartsWith("<?")) {
                if (!SkipPast("?>")) {
                    return false;
                }
            } else if (StartsWith("<!DOCTYPE")) {
                if (!SkipPast(">")) {
                    return false;
                }
            } else {
                return true;
            }
        }
    }

    bool Name(std::string& out) {
        size_t start = mPos;
        while (!AtEnd() && IsNameChar(mText[mPos])) {
            ++mPos;
        }
        if (mPos == start) {
            return false;
        }
        out.assign(mText.substr(start, mPos - start));
        return true;
    }

    bool AttributeValue(std::string& out) {
        if (AtEnd() || (mText[mPos] != '"' && mText[mPos] != '\'')) {
            return false;
        }
        char quote = mText[mPos++];
        while (!AtEnd() && mText[mPos] != quote) {
            char c = mText[mPos];
            if (c == '<') {
                return false;
            }
            if (c == '&') {
                size_t semi = mText.find(';', mPos);
                if (semi == std::string_view::npos || semi - mPos > 12) {
                    return false;
                }
                if (!DecodeEntity(mText.substr(mPos + 1, semi - mPos - 1), out)) {
                    return false;
                }
                mPos = semi + 1;
                continue;
            }
            out += c;
            ++mPos;
        }
        if (AtEnd()) {
            return false;
        }
        ++mPos;
        return true;
    }

    bool Element(XmlElement& element, int depth) {
        if (depth > kMaxXmlDepth || AtEnd() || mText[mPos] != '<') {
            return false;
        }
        ++mPos;
        if (!Name(element.name)) {
            return false;
        }
        while (true) {
            size_t before = mPos;
            SkipSpace();
            if (AtEnd()) {
                return false;
            }
            if (StartsWith("/>")) {
                mPos += 2;
                return true;
            }
            if (mText[mPos] == '>') {
                ++mPos;
                return Content(element, depth);
            }
            if (mPos == before) {
                return false;  // attributes must be separated by whitespace
            }
            std::string key;
            std::string value;
            if (!Name(key)) {
                return false;
            }
            SkipSpace();
            if (AtEnd() || mText[mPos] != '=') {
                return false;
            }
            ++mPos;
            SkipSpace();
            if (!AttributeValue(value)) {
                return false;
            }
            if (element.Attribute(key) != nullptr) {
                return false;  // duplicate attribute
            }
            element.attributes.emplace_back(std::move(key), std::move(value));
        }
    }

    bool Content(XmlElement& element, int depth) {
        while (true) {
            size_t lt = mText.find('<', mPos);
            if (lt == std::string_view::npos) {
                return false;
            }
            mPos = lt;
            if (StartsWith("</")) {
                mPos += 2;
                std::string closing;
                if (!Name(closing) || closing != element.name) {
                    return false;
                }
                SkipSpace();
                if (AtEnd() || mText[mPos] != '>') {
                    return false;
                }
                ++mPos;
                return true;
            }
            if (StartsWith("<!--")) {
                if (!SkipPast("-->")) {
                    return false;
                }
                continue;
            }
            if (StartsWith("<![CDATA[")) {
                if (!SkipPast("]]>")) {
                    return false;
                }
                continue;
            }
            if (StartsWith("<?")) {
                if (!SkipPast("?>")) {
                    return false;
                }
                continue;
            }
            XmlElement child;
            if (!Element(child, depth + 1)) {
                return false;
            }
            element.children.push_back(std::move(child));
        }
    }

    std::string_view mText;
    size_t mPos = 0;
};

}  // namespace

std::optional<XmlElement> ParseXml(std::string_view text) {
    if (text.size() > kMaxXmlSize) {
        return std::nullopt;
    }
    return Parser(text).Document();
}

}  // namespace toolkit
