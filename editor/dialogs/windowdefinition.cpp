#include "editor/dialogs/windowdefinition.h"

#include <algorithm>
#include <charconv>
#include <string_view>

namespace editor {

namespace {

// A cursor over the definition's text.
class TReader {
public:
    explicit TReader(std::string_view text) : text_(text) {}
    bool AtEnd() const { return pos_ >= text_.size(); }
    char Peek() const { return AtEnd() ? '\0' : text_[pos_]; }
    bool Skip(char c) {
        if (Peek() != c)
            return false;
        ++pos_;
        return true;
    }
    // Up to (not including) `c`, or to the end; the position moves past it.
    std::string_view UpTo(char c) {
        const std::size_t end = std::min(text_.find(c, pos_), text_.size());
        std::string_view part = text_.substr(pos_, end - pos_);
        pos_ = std::min(end + 1, text_.size());
        return part;
    }
    std::string_view Rest() const { return text_.substr(std::min(pos_, text_.size())); }
    // A whole number (blanks around it allowed); `fallback` when there is none.
    int Number(int fallback) {
        while (Peek() == ' ')
            ++pos_;
        int value = fallback;
        const char* begin = text_.data() + pos_;
        const char* end = text_.data() + text_.size();
        auto [next, error] = std::from_chars(begin, end, value);
        if (error != std::errc())
            value = fallback;
        pos_ += static_cast<std::size_t>(next - begin);
        while (Peek() == ' ')
            ++pos_;
        return value;
    }

private:
    std::string_view text_;
    std::size_t pos_ = 0;
};

// "(r,g,b)" as 0x00BBGGRR; false when the text holds no triple.
bool ReadColour(TReader& reader, std::uint32_t& colour) {
    if (!reader.Skip('('))
        return false;
    const int r = std::clamp(reader.Number(0), 0, 255);
    reader.Skip(',');
    const int g = std::clamp(reader.Number(0), 0, 255);
    reader.Skip(',');
    const int b = std::clamp(reader.Number(0), 0, 255);
    reader.UpTo(')');
    colour = static_cast<std::uint32_t>(r + g * 256 + b * 65536);
    return true;
}

std::string ColourText(std::uint32_t colour) {
    return "(" + std::to_string(colour & 0xFF) + "," + std::to_string((colour >> 8) & 0xFF) + "," +
           std::to_string((colour >> 16) & 0xFF) + ")";
}

} // namespace

TWindowDefinition TWindowDefinition::Parse(const std::string& text) {
    TWindowDefinition d;
    const std::size_t equals = text.find('=');
    d.Name = text.substr(0, equals);
    if (equals == std::string::npos)
        return d;
    TReader reader(std::string_view(text).substr(equals + 1));
    if (reader.Skip('"'))
        d.Caption = std::string(reader.UpTo('"'));
    reader.UpTo('(');
    d.X = reader.Number(d.X);
    reader.Skip(',');
    d.Y = reader.Number(d.Y);
    reader.Skip(',');
    d.Width = reader.Number(d.Width);
    reader.Skip(',');
    d.Height = reader.Number(d.Height);
    reader.UpTo(')');
    reader.Skip(',');
    d.Maximized = reader.Peek() == '1';
    reader.UpTo(',');
    if (reader.Peek() == ',') {
        reader.Skip(',');
        reader.Skip(',');
    } else {
        d.DefaultColors = !ReadColour(reader, d.WindowColor);
        reader.Skip(',');
        if (!d.DefaultColors)
            ReadColour(reader, d.KeepnColor);
        reader.Skip(',');
    }
    d.OnTop = reader.Rest() == "1";
    return d;
}

std::string TWindowDefinition::Format() const {
    std::string text = Name + "=\"" + Caption + "\",(" + std::to_string(X) + "," +
                       std::to_string(Y) + "," + std::to_string(Width) + "," +
                       std::to_string(Height) + ")," + (Maximized ? "1," : "0,");
    text += DefaultColors ? ",," : ColourText(WindowColor) + "," + ColourText(KeepnColor) + ",";
    text += OnTop ? "1" : "0";
    return text;
}

void TWindowDefinition::HoldToScale() {
    X = std::clamp(X, 0, kScale);
    Y = std::clamp(Y, 0, kScale);
    if (X + Width > kScale)
        Width = kScale - X;
    if (Y + Height > kScale)
        Height = kScale - Y;
    Width = std::clamp(Width, 1, kScale);
    Height = std::clamp(Height, 1, kScale);
}

} // namespace editor
