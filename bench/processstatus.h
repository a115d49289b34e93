#pragma once
// The benchmarks' view of their own memory: lines of /proc/self/status.
#include <fstream>
#include <string>

namespace benchproject {

// kB of a /proc/self/status field ("VmRSS:" now, "VmHWM:" at its peak).
inline long StatusKb(const char* field) {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind(field, 0) == 0)
            return std::stol(line.substr(line.find(':') + 1));
    return 0;
}

// Starts a new peak ("VmHWM") from the memory held now.
inline void ResetPeak() {
    std::ofstream("/proc/self/clear_refs") << "5";
}

} // namespace benchproject
