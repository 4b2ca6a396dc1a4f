#include "bench/soak/readings.h"

#include <cstdio>

namespace soak {

long ResidentKiB() {
    std::FILE* status = std::fopen("/proc/self/status", "r");
    if (status == nullptr) {
        return -1;
    }
    long kib = -1;
    char line[256];
    while (std::fgets(line, sizeof line, status) != nullptr) {
        if (std::sscanf(line, "VmRSS: %ld", &kib) == 1) {
            break;
        }
    }
    std::fclose(status);
    return kib;
}

std::array<double, 3> LoadAverages() {
    std::array<double, 3> load{};
    if (std::FILE* file = std::fopen("/proc/loadavg", "r")) {
        if (std::fscanf(file, "%lf %lf %lf", &load[0], &load[1], &load[2]) != 3) {
            load = {};
        }
        std::fclose(file);
    }
    return load;
}

double OneMinuteLoad() {
    return LoadAverages()[0];
}

std::string LoadText() {
    const std::array<double, 3> load = LoadAverages();
    char text[64];
    std::snprintf(text, sizeof text, "%.2f %.2f %.2f", load[0], load[1], load[2]);
    return text;
}

}  // namespace soak
