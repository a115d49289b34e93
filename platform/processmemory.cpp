#include "platform/processmemory.h"

#include <unistd.h>

#include "platform/processtree.h"

namespace platform {

std::uint64_t ProcessResidentBytes(pid_t pid) {
    const auto process = ReadProcess(pid);
    return process ? process->ResidentBytes : 0;
}

std::uint64_t PhysicalMemoryBytes() {
    const long pages = ::sysconf(_SC_PHYS_PAGES);
    const long size = ::sysconf(_SC_PAGESIZE);
    return pages > 0 && size > 0
               ? static_cast<std::uint64_t>(pages) * static_cast<std::uint64_t>(size)
               : 0;
}

} // namespace platform
