#pragma once
// The one exception the RTF engine raises. It carries a message meant for the
// user; callers that know the topic at fault wrap it in their own error.
#include <stdexcept>
#include <string>

namespace rtf {

class ERtfError : public std::runtime_error {
public:
    explicit ERtfError(const std::string& message) : std::runtime_error(message) {}
};

// Deeper nesting than this is refused: no RTF written by a person or a word
// processor comes near it, and unbounded depth is how hostile input exhausts
// memory.
inline constexpr int kMaxGroupDepth = 1000;

} // namespace rtf
