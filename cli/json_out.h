// Printing a cJSON value on standard output for --json.
#pragma once

#include <cjson/cJSON.h>

#include <memory>

namespace cli {

using JsonPtr = std::unique_ptr<cJSON, decltype(&cJSON_Delete)>;

inline JsonPtr NewJsonObject() {
    return JsonPtr(cJSON_CreateObject(), cJSON_Delete);
}
inline JsonPtr NewJsonArray() {
    return JsonPtr(cJSON_CreateArray(), cJSON_Delete);
}

// Prints the value and a newline; false when it could not be printed.
bool PrintJson(const cJSON* value);

}  // namespace cli
