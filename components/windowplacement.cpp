#include "components/windowplacement.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <string>

#include "platform/littleendian.h"
#include "platform/registry.h"

namespace components {

namespace {

constexpr std::string_view kMaxValue = "Max";
constexpr std::string_view kRectValue = "Rect";
constexpr std::size_t kRectBytes = 16;

// Stored rectangles may hold anything; the arithmetic below runs in 64 bits
// and the result is brought back into the int range.
int ToInt(std::int64_t value) {
    return static_cast<int>(std::clamp<std::int64_t>(value, std::numeric_limits<int>::min(),
                                                     std::numeric_limits<int>::max()));
}

} // namespace

void FitRectToWorkArea(TPlacementRect& rect, const TPlacementRect& workArea,
                       const TSizeConstraints& constraints) {
    const std::int64_t x = workArea.Left;
    const std::int64_t y = workArea.Top;
    const std::int64_t w = std::int64_t(workArea.Right) - workArea.Left;
    const std::int64_t h = std::int64_t(workArea.Bottom) - workArea.Top;
    const std::int64_t right = rect.Right;
    const std::int64_t bottom = rect.Bottom;
    const std::int64_t effectiveWidth =
        std::max<std::int64_t>(std::min<std::int64_t>(right - rect.Left, w), constraints.MinWidth);
    const std::int64_t effectiveHeight =
        std::max<std::int64_t>(std::min<std::int64_t>(bottom - rect.Top, h), constraints.MinHeight);

    std::int64_t left = rect.Left;
    if (left < x)
        left = x;
    else if (left >= x + w - effectiveWidth)
        left = x + w - effectiveWidth;

    std::int64_t top = rect.Top;
    if (top < y)
        top = y;
    else
        top = std::min(top, y + h - effectiveHeight);

    std::int64_t newRight = right < x + w ? std::max(x + effectiveWidth, right) : x + w;

    std::int64_t newBottom = bottom;
    if (bottom >= y + h)
        newBottom = y + h;
    else if (bottom <= y + effectiveHeight)
        newBottom = y + effectiveHeight;

    rect = {ToInt(left), ToInt(top), ToInt(newRight), ToInt(newBottom)};
}

void WriteWindowPlacement(platform::Registry& registry, std::string_view key,
                          const TWindowPlacement& placement) {
    const auto root = platform::RootKey::CurrentUser;
    registry.WriteDword(root, key, kMaxValue, placement.Maximized ? 1 : 0);
    std::string bytes;
    platform::AppendLE32(bytes, static_cast<std::uint32_t>(placement.Rect.Left));
    platform::AppendLE32(bytes, static_cast<std::uint32_t>(placement.Rect.Top));
    platform::AppendLE32(bytes, static_cast<std::uint32_t>(placement.Rect.Right));
    platform::AppendLE32(bytes, static_cast<std::uint32_t>(placement.Rect.Bottom));
    registry.WriteBinary(root, key, kRectValue, bytes);
}

std::optional<TWindowPlacement> ReadWindowPlacement(platform::Registry& registry,
                                                    std::string_view key) {
    const auto root = platform::RootKey::CurrentUser;
    std::optional<std::uint32_t> max = registry.ReadDword(root, key, kMaxValue);
    if (!max)
        return std::nullopt;
    TWindowPlacement placement;
    placement.Maximized = *max != 0;
    if (placement.Maximized)
        return placement;
    std::optional<std::string> bytes = registry.ReadBinary(root, key, kRectValue);
    if (!bytes || bytes->size() != kRectBytes)
        return std::nullopt;
    auto field = [&](std::size_t index) {
        return static_cast<int>(platform::GetLE32(platform::BytesAt(*bytes, 4 * index)));
    };
    placement.Rect = {field(0), field(1), field(2), field(3)};
    if (placement.Rect.Right <= placement.Rect.Left || placement.Rect.Bottom <= placement.Rect.Top)
        return std::nullopt;
    return placement;
}

} // namespace components
