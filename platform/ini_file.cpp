#include "platform/ini_file.h"

#include "platform/text_util.h"

#include <unistd.h>

#include <cctype>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <optional>
#include <sstream>
#include <vector>

namespace platform {
namespace {

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::ifstream in(path);
    for (std::string line; std::getline(in, line);) {
        if (!line.empty() && line.back() == '\r') {
            line.pop_back();
        }
        lines.push_back(line);
    }
    return lines;
}

// The section name when the line is a "[section]" heading.
std::optional<std::string> SectionOf(const std::string& line) {
    std::string trimmed = Trimmed(line);
    if (trimmed.size() >= 2 && trimmed.front() == '[' && trimmed.back() == ']') {
        return Trimmed(trimmed.substr(1, trimmed.size() - 2));
    }
    return std::nullopt;
}

// The key when the line is "key=value" (sets value).
std::optional<std::string> KeyOf(const std::string& line, std::string* value) {
    size_t equals = line.find('=');
    if (equals == std::string::npos) {
        return std::nullopt;
    }
    if (value != nullptr) {
        *value = Trimmed(line.substr(equals + 1));
    }
    return Trimmed(line.substr(0, equals));
}

std::optional<std::string> Lookup(const std::string& section, const std::string& key,
                                  const std::string& path) {
    bool inSection = false;
    for (const std::string& line : ReadLines(path)) {
        if (auto heading = SectionOf(line)) {
            inSection = EqualsIgnoringCase(*heading, section);
            continue;
        }
        std::string value;
        auto lineKey = KeyOf(line, &value);
        if (inSection && lineKey && EqualsIgnoringCase(*lineKey, key)) {
            return value;
        }
    }
    return std::nullopt;
}

}  // namespace

int GetPrivateProfileInt(const std::string& section, const std::string& key, int fallback,
                         const std::string& path) {
    auto value = Lookup(section, key, path);
    if (!value || value->empty()) {
        return fallback;
    }
    char* end = nullptr;
    long number = std::strtol(value->c_str(), &end, 10);
    if (end == value->c_str()) {
        return fallback;
    }
    return static_cast<int>(number);
}

std::string GetPrivateProfileString(const std::string& section, const std::string& key,
                                    const std::string& fallback, const std::string& path,
                                    size_t maxChars) {
    std::string value = Lookup(section, key, path).value_or(fallback);
    if (maxChars > 0 && value.size() > maxChars - 1) {
        value.resize(maxChars - 1);
    }
    return value;
}

bool WritePrivateProfileString(const std::string& section, const std::string& key,
                               const std::string& value, const std::string& path) {
    std::vector<std::string> lines = ReadLines(path);
    bool inSection = false;
    bool written = false;
    size_t sectionEnd = lines.size();
    bool sectionFound = false;
    for (size_t i = 0; i < lines.size() && !written; ++i) {
        if (auto heading = SectionOf(lines[i])) {
            if (inSection) {
                sectionEnd = i;
            }
            inSection = EqualsIgnoringCase(*heading, section);
            sectionFound = sectionFound || inSection;
            continue;
        }
        auto lineKey = KeyOf(lines[i], nullptr);
        if (inSection && lineKey && EqualsIgnoringCase(*lineKey, key)) {
            lines[i] = key + "=" + value;
            written = true;
        }
    }
    if (!written) {
        if (sectionFound) {
            // Keep the new key inside its section, before the next heading.
            lines.insert(lines.begin() + static_cast<std::ptrdiff_t>(sectionEnd),
                         key + "=" + value);
        } else {
            lines.push_back("[" + section + "]");
            lines.push_back(key + "=" + value);
        }
    }

    std::string temporary = path + ".tmp";
    {
        std::ofstream out(temporary, std::ios::trunc);
        for (const std::string& line : lines) {
            out << line << '\n';
        }
        out.flush();
        if (!out) {
            std::remove(temporary.c_str());
            return false;
        }
    }
    if (std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace platform
