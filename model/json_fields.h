// Checked reads of cJSON members: each returns false when the member is
// missing, has the wrong JSON type, the wrong array length, a number that is
// not finite, or a value outside the range its use allows. Nothing is
// written to the output on failure of a scalar read.
#pragma once

#include <cjson/cJSON.h>

#include <climits>
#include <cstdint>

namespace model::json {

struct IntRange {
    int32_t lowest = INT32_MIN;
    int32_t highest = INT32_MAX;
};

// Member names are looked up regardless of letter case.
const cJSON* object(const cJSON* parent, const char* key);
const cJSON* array(const cJSON* parent, const char* key, int length);

bool readNumber(const cJSON* item, double& value);
bool readInt(const cJSON* item, int32_t& value, IntRange range = {});
bool readInt(const cJSON* parent, const char* key, int32_t& value, IntRange range = {});
bool readFloat(const cJSON* parent, const char* key, float& value);

// Reads an array of exactly count numbers into values[0..count).
bool readIntRow(const cJSON* row, int32_t* values, int count, IntRange range = {});
bool readIntRow(const cJSON* parent, const char* key, int32_t* values, int count,
                IntRange range = {});

// Reads an array of exactly count finite numbers, each within
// [lowest, highest], into values[0..count).
bool readFloatRow(const cJSON* parent, const char* key, float* values, int count, float lowest,
                  float highest);

}  // namespace model::json
