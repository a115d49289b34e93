#include "platform/processmemory.h"

#include <dirent.h>
#include <fcntl.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>

namespace platform {

namespace {

// /proc/PID/stat: the process group (field 5) and the resident pages (field
// 24). The command name (field 2) may hold blanks and parentheses, so the
// fields are counted from its closing ")".
bool ReadStat(const char* pid, pid_t& group, std::uint64_t& pages) {
    const std::string path = std::string("/proc/") + pid + "/stat";
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0)
        return false;
    char buffer[1024];
    const ssize_t n = ::read(fd, buffer, sizeof buffer - 1);
    ::close(fd);
    if (n <= 0)
        return false;
    buffer[n] = '\0';
    const char* p = std::strrchr(buffer, ')');
    if (!p)
        return false;
    ++p;
    // Field 3 (state) is the first after ")".
    int field = 2;
    long long groupValue = -1;
    unsigned long long rss = 0;
    while (*p && field < 24) {
        while (*p == ' ')
            ++p;
        ++field;
        char* end = nullptr;
        if (field == 5)
            groupValue = std::strtoll(p, &end, 10);
        else if (field == 24)
            rss = std::strtoull(p, &end, 10);
        while (*p && *p != ' ')
            ++p;
    }
    if (field < 24 || groupValue < 0)
        return false;
    group = static_cast<pid_t>(groupValue);
    pages = rss;
    return true;
}

std::uint64_t PageSize() {
    const long size = ::sysconf(_SC_PAGESIZE);
    return size > 0 ? static_cast<std::uint64_t>(size) : 4096;
}

} // namespace

std::uint64_t ProcessGroupResidentBytes(pid_t group) {
    DIR* proc = ::opendir("/proc");
    if (!proc)
        return 0;
    std::uint64_t pages = 0;
    while (const dirent* entry = ::readdir(proc)) {
        if (entry->d_name[0] < '0' || entry->d_name[0] > '9')
            continue;
        pid_t entryGroup = 0;
        std::uint64_t entryPages = 0;
        if (ReadStat(entry->d_name, entryGroup, entryPages) && entryGroup == group)
            pages += entryPages;
    }
    ::closedir(proc);
    return pages * PageSize();
}

std::uint64_t ProcessResidentBytes(pid_t pid) {
    pid_t group = 0;
    std::uint64_t pages = 0;
    if (!ReadStat(std::to_string(pid).c_str(), group, pages))
        return 0;
    return pages * PageSize();
}

std::uint64_t PhysicalMemoryBytes() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    return pages > 0 ? static_cast<std::uint64_t>(pages) * PageSize() : 0;
}

} // namespace platform
