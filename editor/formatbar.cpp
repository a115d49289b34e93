#include "editor/formatbar.h"

#include "editor/defaulttextstyles.h"
#include "editor/topiceditor.h"

namespace editor {

const std::array<helpproject::TColor, 16> kTextColors = {
    clWindowText, clBlack,  clMaroon, clGreen,  0x008080, 0x800000, 0x800080, 0x808000,
    0x808080,     0xC0C0C0, 0x0000FF, 0x00FF00, 0x00FFFF, clBlue,   0xFF00FF, 0xFFFF00,
};

int TextColorIndex(const TSelectionFormat& format) {
    const rtf::Color& color = format.Format.color;
    if (!format.IsUniform(rtf::kCharColor) || color.isAuto)
        return 0;
    const auto value = static_cast<helpproject::TColor>(color.ToTColor());
    for (std::size_t i = 1; i < kTextColors.size(); ++i)
        if (kTextColors[i] == value)
            return static_cast<int>(i);
    return 0;
}

TFormatBarState MirrorFormat(const TSelectionFormat& format, const rtf::ParaFormat& paragraph,
                             std::size_t selectionLength) {
    const rtf::CharFormat& f = format.Format;
    TFormatBarState state;
    state.HasSelection = selectionLength > 0;
    // Mixed fonts and sizes show nothing rather than the first one.
    if (format.IsUniform(rtf::kCharFace))
        state.FontName = f.face;
    if (format.IsUniform(rtf::kCharSize))
        state.FontSize = f.size / 2;
    state.ColorIndex = TextColorIndex(format);
    state.Bold = f.bold && format.IsUniform(rtf::kCharBold);
    state.Italic = f.italic && format.IsUniform(rtf::kCharItalic);
    state.Underline =
        f.underline != rtf::UnderlineKind::None && format.IsUniform(rtf::kCharUnderline);
    state.StrikeOut = f.strike && format.IsUniform(rtf::kCharStrike);
    state.AlignLeft = paragraph.alignment == rtf::Alignment::Left;
    state.AlignCenter = paragraph.alignment == rtf::Alignment::Center;
    state.AlignRight = paragraph.alignment == rtf::Alignment::Right;
    state.Bullet = paragraph.bullet;
    return state;
}

rtf::ParaFormat BulletParagraph(const rtf::ParaFormat& paragraph, bool on) {
    rtf::ParaFormat result = paragraph;
    result.bullet = on;
    if (!on)
        return result;
    // In points, as the editor's paragraph attributes give them: the first
    // line's indent from the margin, the other lines' indent from the first.
    const int first = rtf::TwipsToPoints(paragraph.leftIndent + paragraph.firstIndent);
    int left = rtf::TwipsToPoints(-paragraph.firstIndent);
    auto firstTab = [&]() -> rtf::TabStop& {
        if (result.tabs.empty())
            result.tabs.push_back({});
        return result.tabs.front();
    };
    constexpr int kMinimumIndent = 6;
    constexpr int kBulletIndent = 8;
    if (left < kMinimumIndent) {
        const int tab = result.tabs.empty() ? 0 : rtf::TwipsToPoints(result.tabs.front().position);
        if (!result.tabs.empty() && tab - first > kMinimumIndent - 1) {
            left = tab - first;
        } else {
            left = kBulletIndent;
            firstTab().position = rtf::PointsToTwips(first + kBulletIndent);
        }
    } else {
        firstTab().position = rtf::PointsToTwips(first + left);
    }
    result.leftIndent = rtf::PointsToTwips(first + left);
    result.firstIndent = rtf::PointsToTwips(-left);
    return result;
}

bool TFormatBar::Suspended() const {
    return editor_.BulkUpdate() || editor_.CreatingTopic();
}

void TFormatBar::Mirror() {
    if (mirroring_ || Suspended())
        return;
    mirroring_ = true;
    struct TReset {
        bool& flag;
        ~TReset() { flag = false; }
    } reset{mirroring_};
    ITextEditor& text = editor_.View().TextEditor();
    state_ = MirrorFormat(text.SelFormat(), text.SelParaFormat(), text.SelLength());
    view_.ShowFormat(state_);
}

void TFormatBar::SetCharFormat(const rtf::CharFormat& format, std::uint32_t mask) {
    if (mirroring_)
        return;
    editor_.View().TextEditor().SetSelFormat(format, mask);
    Mirror();
}

void TFormatBar::ToggleBold() {
    rtf::CharFormat format;
    format.bold = !state_.Bold;
    SetCharFormat(format, rtf::kCharBold);
}

void TFormatBar::ToggleItalic() {
    rtf::CharFormat format;
    format.italic = !state_.Italic;
    SetCharFormat(format, rtf::kCharItalic);
}

void TFormatBar::ToggleUnderline() {
    rtf::CharFormat format;
    format.underline = state_.Underline ? rtf::UnderlineKind::None : rtf::UnderlineKind::Single;
    SetCharFormat(format, rtf::kCharUnderline);
}

void TFormatBar::ToggleStrikeOut() {
    rtf::CharFormat format;
    format.strike = !state_.StrikeOut;
    SetCharFormat(format, rtf::kCharStrike);
}

void TFormatBar::SetFontName(const std::string& name) {
    if (mirroring_ || name.empty())
        return;
    rtf::CharFormat format = editor_.View().TextEditor().SelFormat().Format;
    format.face = name;
    SetCharFormat(format, rtf::kCharFace);
}

void TFormatBar::SetFontSize(int points) {
    constexpr int kSmallest = 4;
    constexpr int kLargest = 99;
    if (points < kSmallest || points > kLargest)
        return;
    rtf::CharFormat format;
    format.size = points * 2;
    SetCharFormat(format, rtf::kCharSize);
}

void TFormatBar::SetColorIndex(int index) {
    if (index < 0 || static_cast<std::size_t>(index) >= kTextColors.size())
        return;
    rtf::CharFormat format;
    format.color = index == 0 ? rtf::Color::Auto()
                              : rtf::Color::FromTColor(static_cast<std::uint32_t>(
                                    kTextColors[static_cast<std::size_t>(index)]));
    SetCharFormat(format, rtf::kCharColor);
}

void TFormatBar::SetAlignment(rtf::Alignment alignment) {
    if (mirroring_)
        return;
    rtf::ParaFormat format;
    format.alignment = alignment;
    editor_.View().TextEditor().SetSelParaFormat(format, rtf::kParaAlignment);
    Mirror();
}

void TFormatBar::AlignLeft() {
    SetAlignment(rtf::Alignment::Left);
}

void TFormatBar::AlignCenter() {
    SetAlignment(rtf::Alignment::Center);
}

void TFormatBar::AlignRight() {
    SetAlignment(rtf::Alignment::Right);
}

void TFormatBar::ToggleBullet() {
    if (mirroring_)
        return;
    ITextEditor& text = editor_.View().TextEditor();
    text.SetSelParaFormat(BulletParagraph(text.SelParaFormat(), !state_.Bullet),
                          rtf::kParaBullet | rtf::kParaLeftIndent | rtf::kParaFirstIndent |
                              rtf::kParaTabs);
    editor_.View().RefreshEditorState();
    Mirror();
}

} // namespace editor
