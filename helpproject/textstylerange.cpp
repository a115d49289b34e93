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

TTextStyleMacro StyleFromDocument(const rtf::RtfDocument& document, std::size_t pos) {
    TTextStyleMacro style;
    const rtf::CharFormat cf = document.CharFormatAt(pos);
    style.Font.Name = cf.face;
    style.Font.Charset = cf.charset;
    style.Font.Pitch = SwapPitch(cf.pitch);
    style.Font.Size = cf.size / 2;
    style.Font.Color = static_cast<TColor>(cf.color.ToTColor());
    style.Font.Bold = cf.bold;
    style.Font.Italic = cf.italic;
    style.Font.Underline = cf.underline != rtf::UnderlineKind::None;
    style.Font.StrikeOut = cf.strike;

    const rtf::ParaFormat& pf = document.ParaFormatAt(pos);
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

void ApplyStyleToDocument(const TTextStyleMacro& style, rtf::RtfDocument& document, std::size_t pos,
                          std::size_t count) {
    rtf::CharFormat cf;
    cf.face = style.Font.Name;
    cf.charset = style.Font.Charset;
    cf.pitch = SwapPitch(style.Font.Pitch);
    cf.family = cf.pitch == 1 ? rtf::FontFamily::Modern : rtf::FontFamily::Nil;
    cf.size = style.Font.Size * 2;
    cf.color = rtf::Color::FromTColor(static_cast<std::uint32_t>(style.Font.Color));
    cf.bold = style.Font.Bold;
    cf.italic = style.Font.Italic;
    cf.underline = style.Font.Underline ? rtf::UnderlineKind::Single : rtf::UnderlineKind::None;
    cf.strike = style.Font.StrikeOut;
    document.SetCharFormat(pos, count, cf,
                           rtf::kCharFace | rtf::kCharSize | rtf::kCharColor | rtf::kCharBold |
                               rtf::kCharItalic | rtf::kCharUnderline | rtf::kCharStrike);

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
    document.SetParaFormat(pos, count, pf,
                           rtf::kParaAlignment | rtf::kParaFirstIndent | rtf::kParaLeftIndent |
                               rtf::kParaRightIndent | rtf::kParaTabs | rtf::kParaBullet);
}

} // namespace helpproject
