#pragma once
// The data of a link command that carries a topic number, written as a
// client writes it: four bytes, little-endian.
#include <cstddef>
#include <cstdint>
#include <string>

namespace editortest {

inline std::string NumberData(std::int32_t n) {
    std::string data(4, '\0');
    const auto value = static_cast<std::uint32_t>(n);
    for (int i = 0; i < 4; ++i)
        data[static_cast<std::size_t>(i)] = static_cast<char>((value >> (8 * i)) & 0xFF);
    return data;
}

} // namespace editortest
