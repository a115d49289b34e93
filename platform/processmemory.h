#pragma once
// How much memory a process holds, for watching a child process (a help
// compiler) that may grow without bound.
#include <sys/types.h>

#include <cstdint>

namespace platform {

// The resident memory of the one process `pid`, in bytes (0 when gone).
std::uint64_t ProcessResidentBytes(pid_t pid);

// The machine's physical memory in bytes (0 when unknown).
std::uint64_t PhysicalMemoryBytes();

} // namespace platform
