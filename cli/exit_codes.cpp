#include <cjson/cJSON.h>

#include <cstdio>

#include "app/log.h"
#include "cli/exit_codes.h"
#include "cli/json_out.h"

namespace cli {

int Report(const Failure& failure) {
    std::fprintf(stderr, "tq-dsp: %s\n", failure.message.c_str());
    app::Log("tq-dsp: %s (exit %d)\n", failure.message.c_str(), failure.code);
    return failure.code;
}

bool PrintJson(const cJSON* value) {
    char* printed = cJSON_Print(value);
    if (printed == nullptr) {
        return false;
    }
    std::fputs(printed, stdout);
    std::fputc('\n', stdout);
    cJSON_free(printed);
    return true;
}

}  // namespace cli
