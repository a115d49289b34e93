#include "helpproject/textstylerange.h"

#include <algorithm>

namespace helpproject {

namespace {

// The style's pitch is 0 default, 1 variable, 2 fixed; the document's
// 0 default, 1 fixed, 2 variable.
int SwapPitch(int pitch) {
    return pitch == 1 ? 2 : (pitch == 2 ? 1 : pitch);
}

} // namespace

TTextStyleMacro StyleFromFormats(const rtf::CharFormat& cf, const rtf::ParaFormat& pf) {
    TTextStyleMacro style;
    style.Font.Name = cf.face;
    style.Font.Charset = cf.charset;
    style.Font.Pitch = SwapPitch(cf.pitch);
    style.Font.Size = cf.size / 2;
    style.Font.Color = static_cast<TColor>(cf.color.ToTColor());
    style.Font.Bold = cf.bold;
    style.Font.Italic = cf.italic;
    style.Font.Underline = cf.underline != rtf::UnderlineKind::None;
    style.Font.StrikeOut = cf.strike;

    switch (pf.alignment) {
    case rtf::Alignment::Right:
        style.Alignment = 1;
        break;
    case rtf::Alignment::Center:
        style.Alignment = 2;
        break;
    default:
        style.Alignment = 0; // justified text has no style value of its own
        break;
    }
    style.Numbering = pf.bullet ? 1 : 0;
    style.FirstIndent = rtf::TwipsToPoints(pf.leftIndent + pf.firstIndent);
    style.LeftIndent = rtf::TwipsToPoints(-pf.firstIndent);
    style.RightIndent = rtf::TwipsToPoints(pf.rightIndent);
    const std::size_t count = std::min<std::size_t>(pf.tabs.size(), TTextStyleMacro::MaxTabs);
    style.TabCount = static_cast<std::int32_t>(count);
    for (std::size_t i = 0; i < count; ++i)
        style.Tabs[i] = rtf::TwipsToPoints(pf.tabs[i].position);
    return style;
}

TTextStyleMacro StyleFromDocument(const rtf::RtfDocument& document, std::size_t pos) {
    return StyleFromFormats(document.CharFormatAt(pos), document.ParaFormatAt(pos));
}

rtf::CharFormat CharFormatFromFont(const TFont& font) {
    rtf::CharFormat cf;
    cf.face = font.Name;
    cf.charset = font.Charset;
    cf.pitch = SwapPitch(font.Pitch);
    cf.family = cf.pitch == 1 ? rtf::FontFamily::Modern : rtf::FontFamily::Nil;
    cf.size = font.Size * 2;
    cf.color = rtf::Color::FromTColor(static_cast<std::uint32_t>(font.Color));
    cf.bold = font.Bold;
    cf.italic = font.Italic;
    cf.underline = font.Underline ? rtf::UnderlineKind::Single : rtf::UnderlineKind::None;
    cf.strike = font.StrikeOut;
    return cf;
}

rtf::ParaFormat ParaFormatFromStyle(const TTextStyleMacro& style) {
    rtf::ParaFormat pf;
    pf.alignment = style.Alignment == 1   ? rtf::Alignment::Right
                   : style.Alignment == 2 ? rtf::Alignment::Center
                                          : rtf::Alignment::Left;
    pf.bullet = style.Numbering == 1;
    pf.leftIndent = rtf::PointsToTwips(style.FirstIndent + style.LeftIndent);
    pf.firstIndent = rtf::PointsToTwips(-style.LeftIndent);
    pf.rightIndent = rtf::PointsToTwips(style.RightIndent);
    const std::int32_t tabs = std::clamp(style.TabCount, 0, TTextStyleMacro::MaxTabs);
    for (std::int32_t i = 0; i < tabs; ++i)
        pf.tabs.push_back({rtf::PointsToTwips(style.Tabs[static_cast<std::size_t>(i)])});
    return pf;
}

void ApplyStyleToDocument(const TTextStyleMacro& style, rtf::RtfDocument& document, std::size_t pos,
                          std::size_t count) {
    document.SetCharFormat(pos, count, CharFormatFromFont(style.Font), kStyleCharMask);
    document.SetParaFormat(pos, count, ParaFormatFromStyle(style), kStyleParaMask);
}

} // namespace helpproject
