#include "unitparser/projecttopicsink.h"

#include "components/rtf/rtfwriter.h"
#include "unitparser/pascalhighlight.h"

namespace unitparser {

namespace {

// The system colour "window text": shown as the automatic colour.
constexpr helpproject::TColor WindowText = static_cast<helpproject::TColor>(0x80000008u);
constexpr helpproject::TColor Blue = 0xFF0000;

helpproject::TTextStyleMacro Style(const char* face, helpproject::TColor color, int size,
                                   bool bold) {
    helpproject::TTextStyleMacro style;
    style.Font.Name = face;
    style.Font.Color = color;
    style.Font.Size = size;
    style.Font.Bold = bold;
    return style;
}

} // namespace

helpproject::TTextStyleMacro DefaultTextStyle(const std::string& name) {
    if (name == "*TopicTitle")
        return Style("Arial", Blue, 16, true);
    if (name == "*PopupTopicTitle")
        return Style("Arial", Blue, 10, true);
    if (name == "*PopupLink")
        return Style("Arial", WindowText, 8, false);
    if (name == "*ParagraphTitle")
        return Style("Arial", WindowText, 11, true);
    if (name == "*SourceCode")
        return Style("Courier New", WindowText, 10, false);
    if (name == "*InternetLink")
        return Style("Courier New", Blue, 10, false);
    return Style("Arial", WindowText, 10, false);
}

rtf::CharFormat CharFormatOfStyle(const helpproject::TTextStyleMacro& style) {
    rtf::CharFormat format;
    const helpproject::TFont& font = style.Font;
    format.face = font.Name;
    format.charset = font.Charset == 1 ? 0 : font.Charset; // DEFAULT_CHARSET reads as ANSI
    // The style's pitch is 0 default, 1 variable, 2 fixed; the document's 1 fixed, 2 variable.
    format.pitch = font.Pitch == 1 ? 2 : font.Pitch == 2 ? 1 : 0;
    bool fixed = font.Pitch == 2 || font.Name == "Courier New" || font.Name == "Courier";
    format.family = fixed ? rtf::FontFamily::Modern : rtf::FontFamily::Swiss;
    format.size = font.Size > 0 ? font.Size * 2 : 20;
    format.color = rtf::Color::FromTColor(static_cast<std::uint32_t>(font.Color));
    format.bold = font.Bold;
    format.italic = font.Italic;
    format.underline = font.Underline ? rtf::UnderlineKind::Single : rtf::UnderlineKind::None;
    format.strike = font.StrikeOut;
    return format;
}

TProjectTopicSink::TProjectTopicSink(helpproject::TBrindlewovenProject& project,
                                     const helpproject::TTextStyleList* styles)
    : project(project), styles(styles) {
    format = CharFormatOfStyle(DefaultTextStyle("*TopicText"));
}

void TProjectTopicSink::Flush() {
    if (topic)
        topic->SetText(rtf::WriteRtfLines(document));
}

std::size_t TProjectTopicSink::Caret() const {
    // Always at the end of the text, before the final paragraph mark.
    std::size_t length = document.TextLength();
    return length > 0 ? length - 1 : 0;
}

void TProjectTopicSink::AddParsedTopic(std::int32_t number, const std::string& title) {
    Flush();
    topic = nullptr;
    topic = project.AddTopic(number, title);
    created.push_back(topic->Number);
    document = rtf::RtfDocument();
    format = CharFormatOfStyle(DefaultTextStyle("*TopicText"));
}

void TProjectTopicSink::SetTopicFields(const std::string& kKeywords, const std::string& aKeywords,
                                       const std::string& browseSequence) {
    if (!topic)
        return;
    topic->KKeywords = kKeywords;
    topic->AKeywords = aKeywords;
    topic->BrowseSequence = browseSequence;
}

void TProjectTopicSink::ClearText() {
    document = rtf::RtfDocument();
}

void TProjectTopicSink::ApplyMacroFont(const std::string& macroName) {
    const helpproject::TTextStyleMacro* style = nullptr;
    if (styles) {
        for (const auto& item : styles->Items())
            if (item.Name == macroName) {
                style = item.Style;
                break;
            }
    }
    format = style ? CharFormatOfStyle(*style) : CharFormatOfStyle(DefaultTextStyle(macroName));
}

void TProjectTopicSink::SetColor(TTopicColor color) {
    format.color = rtf::Color::FromTColor(color);
}

void TProjectTopicSink::SetUnderline(bool on) {
    format.underline = on ? rtf::UnderlineKind::Single : rtf::UnderlineKind::None;
}

void TProjectTopicSink::InsertText(const std::string& text) {
    document.InsertText(Caret(), text, format);
}

void TProjectTopicSink::SetTabStops(const std::vector<int>& points) {
    rtf::ParaFormat para;
    for (int point : points) {
        if (para.tabs.size() >= rtf::kMaxTabStops)
            break;
        rtf::TabStop tab;
        tab.position = rtf::PointsToTwips(point);
        para.tabs.push_back(tab);
    }
    document.SetParaFormat(Caret(), 0, para, rtf::kParaTabs);
}

void TProjectTopicSink::InsertSourceCode(const std::string& source) {
    // One character per paragraph end, as the document counts them, so the
    // highlight spans line up with the inserted text.
    std::string text;
    text.reserve(source.size());
    for (std::size_t i = 0; i < source.size(); ++i) {
        if (source[i] == '\r' && i + 1 < source.size() && source[i + 1] == '\n')
            continue;
        text += source[i] == '\n' ? '\r' : source[i];
    }
    std::size_t start = Caret();
    rtf::CharFormat plain = format;
    plain.bold = false;
    plain.italic = false;
    document.InsertText(start, text, plain);
    rtf::CharFormat marked;
    marked.bold = true;
    marked.italic = true;
    for (const THighlightSpan& span : HighlightPascal(text)) {
        std::uint32_t mask =
            span.kind == THighlightKind::ReservedWord ? rtf::kCharBold : rtf::kCharItalic;
        document.SetCharFormat(start + span.start, span.length, marked, mask);
    }
}

void TProjectTopicSink::AddContentsLine(const std::string& line) {
    project.ContentsLines.push_back(line);
}

} // namespace unitparser
