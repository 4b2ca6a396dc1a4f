#include "model/json_fields.h"

#include <cfloat>
#include <cmath>

namespace model::json {

const cJSON* object(const cJSON* parent, const char* key) {
    const cJSON* item = cJSON_GetObjectItem(parent, key);
    return cJSON_IsObject(item) ? item : nullptr;
}

const cJSON* array(const cJSON* parent, const char* key, int length) {
    const cJSON* item = cJSON_GetObjectItem(parent, key);
    if (!cJSON_IsArray(item) || cJSON_GetArraySize(item) != length) {
        return nullptr;
    }
    return item;
}

bool readNumber(const cJSON* item, double& value) {
    if (!cJSON_IsNumber(item) || !std::isfinite(item->valuedouble)) {
        return false;
    }
    value = item->valuedouble;
    return true;
}

bool readInt(const cJSON* item, int32_t& value, IntRange range) {
    double number = 0.0;
    // cJSON's integer value saturates at the int limits.
    if (!readNumber(item, number) || item->valueint < range.lowest ||
        item->valueint > range.highest) {
        return false;
    }
    value = item->valueint;
    return true;
}

bool readInt(const cJSON* parent, const char* key, int32_t& value, IntRange range) {
    return readInt(cJSON_GetObjectItem(parent, key), value, range);
}

bool readFloat(const cJSON* parent, const char* key, float& value) {
    double number = 0.0;
    if (!readNumber(cJSON_GetObjectItem(parent, key), number) || std::fabs(number) > FLT_MAX) {
        return false;
    }
    value = static_cast<float>(number);
    return true;
}

bool readIntRow(const cJSON* row, int32_t* values, int count, IntRange range) {
    if (!cJSON_IsArray(row) || cJSON_GetArraySize(row) != count) {
        return false;
    }
    int i = 0;
    for (const cJSON* item = row->child; item != nullptr && i < count; item = item->next, ++i) {
        if (!readInt(item, values[i], range)) {
            return false;
        }
    }
    return true;
}

bool readIntRow(const cJSON* parent, const char* key, int32_t* values, int count, IntRange range) {
    return readIntRow(cJSON_GetObjectItem(parent, key), values, count, range);
}

bool readFloatRow(const cJSON* parent, const char* key, float* values, int count, float lowest,
                  float highest) {
    const cJSON* row = array(parent, key, count);
    if (row == nullptr) {
        return false;
    }
    int i = 0;
    for (const cJSON* item = row->child; item != nullptr && i < count; item = item->next, ++i) {
        double value = 0;
        if (!readNumber(item, value) || value < lowest || value > highest) {
            return false;
        }
        values[i] = static_cast<float>(value);
    }
    return true;
}

}  // namespace model::json
