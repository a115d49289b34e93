#include "helpproject/writers/markuphtml.h"

#include <algorithm>
#include <set>
#include <unordered_map>
#include <vector>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/buildselection.h"
#include "helpproject/helputils.h"
#include "helpproject/images/flashmovie.h"
#include "helpproject/writers/rtftohtml.h"
#include "platform/codepage.h"

namespace helpproject {

namespace {

bool IsDigit(char c) {
    return c >= '0' && c <= '9';
}

// A decimal integer with an optional sign that fits 32 bits.
bool ParseInt32(std::string_view text, std::int32_t& value) {
    std::size_t i = 0;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    if (i == text.size())
        return false;
    std::int64_t v = 0;
    for (; i < text.size(); ++i) {
        if (!IsDigit(text[i]))
            return false;
        v = v * 10 + (text[i] - '0');
        if (v > 2147483648LL)
            return false;
    }
    if (negative)
        v = -v;
    if (v > 2147483647LL || v < -2147483648LL)
        return false;
    value = static_cast<std::int32_t>(v);
    return true;
}

std::string BrokenLine(const std::string& what, const std::string& label) {
    return label.empty() ? what : what + " in topic " + label;
}

// Key lookups on a "key=value" list, built on first use: the first line of a
// key wins.
class TKeyIndex {
public:
    explicit TKeyIndex(const TStringList* list) : list_(list) {}
    bool Find(const std::string& key, std::string& value) {
        if (!list_)
            return false;
        if (!built_) {
            for (const auto& line : *list_) {
                const auto eq = line.find('=');
                const std::string k = eq == std::string::npos ? line : line.substr(0, eq);
                map_.emplace(k, eq == std::string::npos ? std::string() : line.substr(eq + 1));
            }
            built_ = true;
        }
        const auto it = map_.find(key);
        if (it == map_.end())
            return false;
        value = it->second;
        return true;
    }

private:
    const TStringList* list_;
    bool built_ = false;
    std::unordered_map<std::string, std::string> map_;
};

// The output of one translator pass. Text goes into text segments; each
// STRIKE/U tag gets a segment of its own so that a hotspot found later can
// be rewritten in place without moving what follows it.
class THotspotOutput {
public:
    enum TKind : char { Text = 0, StrikeOpen, StrikeClose, UOpen, UClose };

    // Copies html[from, to), splitting out hotspot tags. `lower` is the
    // lower-cased copy of html.
    void Copy(const std::string& html, const std::string& lower, std::size_t from, std::size_t to) {
        std::size_t runStart = from;
        for (std::size_t i = from; i < to; ++i) {
            const char c = html[i];
            if (static_cast<unsigned char>(c) < 32) {
                AppendText(std::string_view(html).substr(runStart, i + 1 - runStart));
                runStart = i + 1;
                lastControl_ = static_cast<long>(segs_.size()) - 1;
                continue;
            }
            if (c != '<')
                continue;
            const std::string_view rest = std::string_view(lower).substr(i, to - i);
            TKind kind = Text;
            std::size_t len = 0;
            if (rest.substr(0, 8) == "<strike>")
                kind = StrikeOpen, len = 8;
            else if (rest.substr(0, 9) == "</strike>")
                kind = StrikeClose, len = 9;
            else if (rest.substr(0, 3) == "<u>")
                kind = UOpen, len = 3;
            else if (rest.substr(0, 4) == "</u>")
                kind = UClose, len = 4;
            if (kind == Text)
                continue;
            AppendText(std::string_view(html).substr(runStart, i - runStart));
            AppendTag(html.substr(i, len), kind);
            i += len - 1;
            runStart = i + 1;
        }
        AppendText(std::string_view(html).substr(runStart, to - runStart));
    }

    void AppendText(std::string_view text) {
        if (text.empty())
            return;
        if (segs_.empty() || kinds_.back() != Text) {
            segs_.emplace_back();
            kinds_.push_back(Text);
        }
        segs_.back() += text;
    }

    struct THotspot {
        long Close = -1; // -1: the code stands inside the hotspot's tags
        long Open = -1;
        bool Jump = false;
    };

    // The hotspot just before the end: the last closing tag still in the
    // text, and the last opening tag of its kind before it. With
    // `stopAtControl` neither may lie before a line break. The tags found
    // are no longer hotspot tags.
    //
    // With `allowInside`, an opening tag after the last closing one means
    // that the code stands inside its hotspot's format (set for the whole
    // paragraph, or over the code too): the hotspot runs from that tag to
    // the code, and its closing tag, still to come, is dropped.
    bool FindHotspot(bool stopAtControl, bool requireOpen, THotspot& spot,
                     bool allowInside = false) {
        if (allowInside && FindOpenHotspot(stopAtControl, spot))
            return true;
        if (closing_.empty())
            return false;
        const long close = *closing_.rbegin();
        if (stopAtControl && lastControl_ > close)
            return false;
        spot.Close = close;
        spot.Jump = kinds_[static_cast<std::size_t>(close)] == StrikeClose;
        std::set<long>& opens = spot.Jump ? openStrike_ : openU_;
        auto it = opens.lower_bound(close);
        long open = -1;
        if (it != opens.begin()) {
            --it;
            if (!(stopAtControl && lastControl_ > *it))
                open = *it;
        }
        if (requireOpen && open < 0)
            return false;
        closing_.erase(close);
        if (open >= 0)
            opens.erase(open);
        spot.Open = open;
        return true;
    }

    // Drops the next closing tag of a hotspot found open (FindHotspot).
    void DropNextClose(bool jump) { ++(jump ? dropStrikeClose_ : dropUClose_); }

    std::string& Seg(long index) { return segs_[static_cast<std::size_t>(index)]; }
    TKind KindOf(long index) const { return kinds_[static_cast<std::size_t>(index)]; }

    // Drops a hotspot tag segment from the live sets (its text is the
    // caller's business).
    void Forget(long index) {
        closing_.erase(index);
        openStrike_.erase(index);
        openU_.erase(index);
    }

    std::string Join() const {
        std::size_t size = 0;
        for (const auto& s : segs_)
            size += s.size();
        std::string out;
        out.reserve(size);
        for (const auto& s : segs_)
            out += s;
        return out;
    }

private:
    bool FindOpenHotspot(bool stopAtControl, THotspot& spot) {
        const long strike = openStrike_.empty() ? -1 : *openStrike_.rbegin();
        const long u = openU_.empty() ? -1 : *openU_.rbegin();
        const long open = std::max(strike, u);
        const long close = closing_.empty() ? -1 : *closing_.rbegin();
        if (open < 0 || open < close || (stopAtControl && lastControl_ > open))
            return false;
        spot.Open = open;
        spot.Close = -1;
        spot.Jump = open == strike;
        (spot.Jump ? openStrike_ : openU_).erase(open);
        return true;
    }

    void AppendTag(std::string tag, TKind kind) {
        int& drop = kind == StrikeClose ? dropStrikeClose_ : dropUClose_;
        if ((kind == StrikeClose || kind == UClose) && drop > 0) {
            --drop;
            return;
        }
        segs_.push_back(std::move(tag));
        kinds_.push_back(kind);
        const long index = static_cast<long>(segs_.size()) - 1;
        if (kind == StrikeClose || kind == UClose)
            closing_.insert(index);
        else if (kind == StrikeOpen)
            openStrike_.insert(index);
        else
            openU_.insert(index);
    }

    std::vector<std::string> segs_;
    std::vector<TKind> kinds_;
    std::set<long> closing_, openStrike_, openU_;
    long lastControl_ = -1;
    int dropStrikeClose_ = 0, dropUClose_ = 0;
};

// Rewrites a found hotspot: the closing tag becomes "</A>" (or goes), the
// opening tag becomes the anchor (or goes). A hotspot found open ends at
// the code.
void RewriteHotspot(THotspotOutput& out, const THotspotOutput::THotspot& spot, bool link,
                    const std::string& anchor) {
    if (spot.Close >= 0) {
        out.Seg(spot.Close) = link ? "</A>" : "";
    } else {
        if (link)
            out.AppendText("</A>");
        out.DropNextClose(spot.Jump);
    }
    if (spot.Open >= 0)
        out.Seg(spot.Open) = link ? anchor : "";
}

std::size_t CodeEnd(const std::string& html, std::size_t from) {
    const auto close = html.find('}', from);
    return close == std::string::npos ? html.size() : close + 1;
}

std::size_t ValueEnd(const std::string& html, std::size_t from) {
    const auto close = html.find('}', from);
    return close == std::string::npos ? html.size() : close;
}

// A code's value, from `start` up to its closing brace; `copied` moves past
// the brace (to the page's end when there is none).
std::string TakeValue(const std::string& html, std::size_t start, std::size_t& copied) {
    const std::size_t end = ValueEnd(html, start);
    copied = end < html.size() ? end + 1 : end;
    return html.substr(start, end - start);
}

std::size_t SkipPrefix(const std::string& html, std::size_t at) {
    return at < html.size() && (html[at] == '%' || html[at] == '*') ? at + 1 : at;
}

// The part of a macro argument that is a web address, or empty.
std::string MacroUrl(const std::string& argument) {
    const std::string lower = platform::AnsiLowerCase(argument);
    static const char* const kWords[] = {"http:", "https:", "mailto:", "ftp:", "www."};
    std::size_t start = std::string::npos;
    for (const char* word : kWords) {
        start = lower.find(word);
        if (start != std::string::npos)
            break;
    }
    if (start == std::string::npos)
        return {};
    std::size_t end = start + 5 < argument.size() ? start + 5 : argument.size();
    while (end < argument.size() && argument.find_first_of(" \"')\\", end) != end)
        ++end;
    std::string url = argument.substr(start, end - start);
    if (lower.compare(start, 4, "www.") == 0)
        url = "http://" + url;
    return url;
}

} // namespace

// ---- page names ------------------------------------------------------------

void THtmlPageNames::Build(const TBrindlewovenProject&, const TBuildSelection& topics,
                           const TStringList& reserved) {
    names_.clear();
    std::set<std::string> taken;
    for (const auto& r : reserved)
        taken.insert(platform::AnsiLowerCase(r));
    std::vector<std::pair<const TBrindlewovenTopic*, std::string>> others;
    for (const TBrindlewovenTopic* topic : topics.Topics()) {
        const std::string name = topic->HtmlFileName();
        const std::string own = "bw" + std::to_string(topic->Number);
        if (name == own && !taken.count(name)) {
            taken.insert(name);
            names_[topic->Number] = name;
        } else {
            others.emplace_back(topic, name);
        }
    }
    for (auto& [topic, name] : others) {
        std::string chosen = platform::AnsiLowerCase(name);
        if (taken.count(chosen)) {
            const std::string base = "bw" + std::to_string(topic->Number);
            chosen = base;
            for (int k = 2; taken.count(chosen); ++k)
                chosen = base + "_" + std::to_string(k);
        }
        taken.insert(chosen);
        names_[topic->Number] = chosen;
    }
}

std::string THtmlPageNames::NameOf(std::int32_t number) const {
    const auto it = names_.find(number);
    return it == names_.end() ? std::string() : it->second;
}

std::string HtmlPageOf(const TBrindlewovenProject& project, std::int32_t number,
                       const THtmlPageNames* names) {
    if (names)
        return names->NameOf(number);
    const TBrindlewovenTopic* topic = project.FindTopic(number);
    return topic ? topic->HtmlFileName() : std::string();
}

std::string HtmlTopicLabel(const TBrindlewovenTopic& topic) {
    std::string label = std::to_string(topic.Number);
    if (!topic.Title.empty())
        label += " " + topic.Title;
    return label;
}

bool LookupKeyValue(const TStringList& list, std::string_view key, std::string& value,
                    bool ignoreCase) {
    for (const auto& line : list) {
        const auto eq = line.find('=');
        const std::string_view k =
            std::string_view(line).substr(0, eq == std::string::npos ? line.size() : eq);
        if (ignoreCase ? platform::AnsiSameText(k, key) : k == key) {
            value = eq == std::string::npos ? std::string() : line.substr(eq + 1);
            return true;
        }
    }
    return false;
}

std::string JoinHtmlLines(const TStringList& lines) {
    std::string out;
    for (std::size_t i = 0; i < lines.size(); ++i) {
        if (i)
            out += "\r\n";
        out += lines[i];
    }
    return out;
}

TStringList ConvertPageLinksAndPictures(const TBrindlewovenProject& project,
                                        TStringList& brokenLinks, const TBrindlewovenTopic& topic,
                                        std::string& html, const THtmlPageNames& pages,
                                        const TStringList& targets, const TStringList& pictures,
                                        bool popupsAsScript, bool htmlHelpForm) {
    const std::string label = HtmlTopicLabel(topic);
    bool popup = false;
    ConvertLinkIdCodes(project, brokenLinks, label, html, popup, popupsAsScript, false, false,
                       &pages);
    ConvertLinkCodes(project, brokenLinks, label, html, false, &targets);
    ConvertLinkTargetCodes(project, brokenLinks, label, html, false, &targets);
    ConvertLinkFileCodes(project, html, false, htmlHelpForm);
    ConvertButtonCodes(project, brokenLinks, label, html, htmlHelpForm, false, false, &pages);
    InsertImageCodes(project, html, pictures, popup);
    html = RemoveEmptyFontTags(project, html);
    TStringList lines = SplitHtmlLines(html);
    html.clear();
    if (popup)
        InsertPopupScript(project, lines);
    return lines;
}

TStringList SplitHtmlLines(const std::string& text) {
    TStringList lines;
    std::size_t start = 0;
    while (true) {
        const auto nl = text.find('\n', start);
        std::size_t end = nl == std::string::npos ? text.size() : nl;
        std::size_t cut = end;
        if (cut > start && text[cut - 1] == '\r')
            --cut;
        lines.push_back(text.substr(start, cut - start));
        if (nl == std::string::npos)
            break;
        start = nl + 1;
    }
    return lines;
}

// ---- pictures ---------------------------------------------------------------

std::string PictureNameFromHtml(std::string_view raw) {
    std::string plain;
    for (std::size_t i = 0; i < raw.size(); ++i) {
        if (raw[i] == '<') {
            const auto close = raw.find('>', i);
            if (close != std::string_view::npos) {
                i = close;
                continue;
            }
        }
        plain += raw[i];
    }
    std::string out;
    for (std::size_t i = 0; i < plain.size(); ++i) {
        if (plain[i] == '&') {
            const auto semi = plain.find(';', i);
            if (semi != std::string::npos && semi - i <= 8) {
                const std::string entity =
                    platform::AnsiLowerCase(plain.substr(i + 1, semi - i - 1));
                int code = -1;
                if (entity == "amp")
                    code = '&';
                else if (entity == "lt")
                    code = '<';
                else if (entity == "gt")
                    code = '>';
                else if (entity == "quot")
                    code = '"';
                else if (entity == "apos")
                    code = '\'';
                else if (entity == "nbsp")
                    code = ' ';
                else if (entity.size() > 1 && entity[0] == '#') {
                    std::int32_t v = 0;
                    if (ParseInt32(entity.substr(1), v) && v > 0 && v < 256)
                        code = v;
                }
                if (code >= 0) {
                    out += static_cast<char>(code);
                    i = semi;
                    continue;
                }
            }
        }
        out += plain[i];
    }
    return TrimText(out);
}

void CollectHtmlPictureNames(std::string_view htmlView, TStringList& names) {
    if (platform::FindNoCase(htmlView, "{bm", 0) == std::string_view::npos &&
        platform::FindNoCase(htmlView, "{flash=", 0) == std::string_view::npos)
        return;
    const std::string html(htmlView);
    const std::string lower = platform::AnsiLowerCase(html);
    for (auto at = lower.find("{bm"); at != std::string::npos; at = lower.find("{bm", at + 3)) {
        const std::size_t limit = ValueEnd(html, at);
        const auto blank = html.find(' ', at + 3);
        if (blank == std::string::npos || blank >= limit)
            continue;
        const std::string name = PictureNameFromHtml(html.substr(blank + 1, limit - blank - 1));
        if (!name.empty())
            AddPictureName(names, name);
    }
    for (auto at = lower.find("{flash="); at != std::string::npos;
         at = lower.find("{flash=", at + 7)) {
        const std::size_t limit = ValueEnd(html, at + 7);
        const std::string name = PictureNameFromHtml(html.substr(at + 7, limit - at - 7));
        if (!name.empty())
            AddPictureName(names, name);
    }
}

// A page's text while codes are replaced in it, for translators that need
// no hotspot segments.
struct TTextOutput {
    std::string Text;
    void Copy(const std::string& html, const std::string&, std::size_t from, std::size_t to) {
        Text.append(html, from, to - from);
    }
    TTextOutput& operator+=(std::string_view more) {
        Text += more;
        return *this;
    }
    std::string Join() { return std::move(Text); }
};

// Replaces every `code` in `html`, found case-blind, in order:
// `convert(lower, at, copied)` gets the lower-cased page, the code's place
// and how far the page is copied; it copies into `out` up to the code,
// writes what replaces the code and moves `copied` past it (false leaves
// this code and the later ones as text). The rest of the page follows the
// last one, and `out` takes the page's place. A page without the code is
// left as it is.
template <class TOut, class TConvert>
void ForEachCode(std::string& html, std::string_view code, TOut& out, TConvert convert) {
    // Most pages hold few of the codes: look before lower-casing the page.
    if (platform::FindNoCase(html, code, 0) == std::string::npos)
        return;
    const std::string lower = platform::AnsiLowerCase(html);
    auto at = lower.find(code);
    if (at == std::string::npos)
        return;
    std::size_t copied = 0;
    for (; at != std::string::npos; at = lower.find(code, copied))
        if (!convert(lower, at, copied))
            break;
    out.Copy(html, lower, copied, html.size());
    html = out.Join();
}

// ---- translators --------------------------------------------------------------

void ConvertLinkIdCodes(const TBrindlewovenProject& project, TStringList& brokenLinks,
                        const std::string& label, std::string& html, bool& popupFlag,
                        bool popupsAsScript, bool singlePage, bool noLinks,
                        const THtmlPageNames* pages) {
    static constexpr std::string_view kCode = "{linkid=";
    THotspotOutput out;
    ForEachCode(html, kCode, out,
                [&](const std::string& lower, std::size_t at, std::size_t& copied) {
                    std::size_t i = SkipPrefix(html, at + kCode.size());
                    std::string number;
                    while (i < html.size()) {
                        const char c = html[i];
                        if (c == '&' || c == '>' || c == '}')
                            break;
                        if (c == '\\') {
                            while (i < html.size() && html[i] != ' ' && html[i] != '}')
                                ++i;
                            continue;
                        }
                        if (IsDigit(c))
                            number += c;
                        ++i;
                    }
                    if (number.empty())
                        return false; // this code and the later ones stay text
                    out.Copy(html, lower, copied, at);
                    copied = CodeEnd(html, at);

                    std::int32_t value = 0;
                    std::string page;
                    if (ParseInt32(number, value))
                        page = HtmlPageOf(project, value, pages);
                    if (page.empty())
                        brokenLinks.push_back(BrokenLine("linkID=" + number, label));

                    THotspotOutput::THotspot spot;
                    if (!out.FindHotspot(true, false, spot, true))
                        return true;
                    const bool link = !noLinks && !page.empty();
                    std::string anchor;
                    if (singlePage)
                        anchor = "<A HREF=\"#" + page + "\">";
                    else if (!spot.Jump && popupsAsScript) {
                        anchor = "<A HREF=\"javascript:popuplink('" + page + ".htm')\">";
                        if (link)
                            popupFlag = true;
                    } else
                        anchor = "<A HREF=\"" + page + ".htm\">";
                    RewriteHotspot(out, spot, link, anchor);
                    return true;
                });
}

void ConvertTargetCodes(const TBrindlewovenProject&, std::string& html, const std::string& pageName,
                        TStringList* targets) {
    static constexpr std::string_view kCode = "{target=";
    TTextOutput out;
    ForEachCode(
        html, kCode, out, [&](const std::string& lower, std::size_t at, std::size_t& copied) {
            out.Copy(html, lower, copied, at);
            const std::string name = TakeValue(html, at + kCode.size(), copied);
            out += "<A NAME=\"" + name + "\"></A>";
            if (targets) {
                const std::string key = platform::AnsiLowerCase(name);
                targets->push_back(pageName.empty() ? key + "=#" + name
                                                    : key + "=" + pageName + ".htm#" + name);
            }
            return true;
        });
}

void ConvertLinkCodes(const TBrindlewovenProject&, TStringList& brokenLinks,
                      const std::string& label, std::string& html, bool noLinks,
                      const TStringList* targets) {
    static constexpr std::string_view kCode = "{link=";
    TKeyIndex index(targets);
    THotspotOutput out;
    ForEachCode(
        html, kCode, out, [&](const std::string& lower, std::size_t at, std::size_t& copied) {
            out.Copy(html, lower, copied, at);
            const std::string argument =
                TrimText(TakeValue(html, SkipPrefix(html, at + kCode.size()), copied));

            std::string anchor;
            bool link = !noLinks;
            const auto atSign = argument.rfind('@');
            if (!argument.empty() && argument[0] == '!') {
                const std::string url = MacroUrl(argument);
                if (!url.empty())
                    anchor = "<A HREF=\"" + url + "\">";
                else {
                    anchor = "<A>UNCONVERTED WINHELP MACRO:" + argument;
                    brokenLinks.push_back(BrokenLine("link=" + argument, label));
                }
            } else if (atSign == std::string::npos) {
                // An ID or anchor found nowhere leaves its text plain.
                std::string url;
                if (!index.Find(platform::AnsiLowerCase(argument), url)) {
                    brokenLinks.push_back(BrokenLine("link=" + argument, label));
                    link = false;
                }
                anchor = "<A HREF=\"" + url + "\">";
            } else {
                const std::string context = argument.substr(0, atSign);
                std::string file = argument.substr(atSign + 1);
                // A window after the file (">main", escaped in the page) is no
                // part of the file name.
                file = file.substr(0, std::min(file.find("&gt;"), file.find('>')));
                const bool chm = file.size() >= 4 &&
                                 platform::AnsiSameText(file.substr(file.size() - 4), ".chm");
                if (!chm) {
                    // A jump into a WinHelp file has no HTML form: the text
                    // stays without link, and the link is reported.
                    link = false;
                    brokenLinks.push_back(BrokenLine("link=" + argument, label));
                } else if (TBrindlewovenTopic::IsAutomaticID(context)) {
                    anchor = "<A HREF=\"mk:@MSITStore:" + file + "::/html/bw" + context.substr(8) +
                             ".htm\">";
                } else {
                    std::string name;
                    for (char c : platform::AnsiLowerCase(context))
                        if (std::string_view("\"*/:<>?\\|").find(c) == std::string_view::npos)
                            name += c;
                    anchor = "<A HREF=\"mk:@MSITStore:" + file + "::/html/" + name + ".htm\">";
                }
            }
            THotspotOutput::THotspot spot;
            if (out.FindHotspot(false, false, spot, true))
                RewriteHotspot(out, spot, link, anchor);
            return true;
        });
}

void ConvertLinkTargetCodes(const TBrindlewovenProject&, TStringList& brokenLinks,
                            const std::string& label, std::string& html, bool noLinks,
                            const TStringList* targets) {
    static constexpr std::string_view kCode = "{linktarget=";
    TKeyIndex index(targets);
    THotspotOutput out;
    ForEachCode(html, kCode, out,
                [&](const std::string& lower, std::size_t at, std::size_t& copied) {
                    out.Copy(html, lower, copied, at);
                    std::string name = TakeValue(html, SkipPrefix(html, at + kCode.size()), copied);
                    const auto window = platform::AnsiLowerCase(name).find("&gt;");
                    if (window != std::string::npos)
                        name.resize(window);
                    name = platform::AnsiLowerCase(TrimText(name));
                    std::string url;
                    const bool found = index.Find(name, url);
                    if (!found)
                        brokenLinks.push_back(BrokenLine("linktarget=" + name, label));
                    THotspotOutput::THotspot spot;
                    if (out.FindHotspot(false, false, spot, true))
                        RewriteHotspot(out, spot, !noLinks && found, "<A HREF=\"" + url + "\">");
                    return true;
                });
}

void ConvertLinkFileCodes(const TBrindlewovenProject&, std::string& html, bool noLinks,
                          bool htmlHelpForm) {
    static constexpr std::string_view kCode = "{linkfile=";
    THotspotOutput out;
    ForEachCode(
        html, kCode, out, [&](const std::string& lower, std::size_t at, std::size_t& copied) {
            out.Copy(html, lower, copied, at);
            const std::string file = TakeValue(html, SkipPrefix(html, at + kCode.size()), copied);

            THotspotOutput::THotspot spot;
            if (!out.FindHotspot(false, true, spot))
                return true;
            // The hotspot's text without its tags; the tags stay, in order,
            // after the object in the HTML Help form.
            std::string text;
            for (long s = spot.Open + 1; s < spot.Close; ++s) {
                std::string& seg = out.Seg(s);
                if (out.KindOf(s) != THotspotOutput::Text) {
                    if (!htmlHelpForm || noLinks) {
                        out.Forget(s);
                        seg.clear();
                    }
                    continue;
                }
                std::string tags;
                for (std::size_t i = 0; i < seg.size(); ++i) {
                    const auto close = seg[i] == '<' ? seg.find('>', i) : std::string::npos;
                    if (close != std::string::npos) {
                        tags.append(seg, i, close - i + 1);
                        i = close;
                    } else
                        text += seg[i];
                }
                seg = htmlHelpForm && !noLinks ? tags : std::string();
            }
            out.Seg(spot.Close).clear();
            if (noLinks)
                out.Seg(spot.Open) = text;
            else if (htmlHelpForm)
                out.Seg(spot.Open) = "<OBJECT id=hhctrl type=\"application/x-oleobject\" "
                                     "classid=\"clsid:adb880a6-d8ff-11cf-9377-"
                                     "00aa003b7a11\" codebase=\"hhctrl.ocx\">"
                                     "<PARAM name=\"Command\" value=\"ShortCut\"><PARAM "
                                     "name=\"Button\" value=\"Text:" +
                                     text + "\"><PARAM name=\"Item1\" value=\"," + file +
                                     ",\"></OBJECT>";
            else
                out.Seg(spot.Open) = "<A HREF=\"" + file + "\">" + text + "</A>";
            return true;
        });
}

void ConvertButtonCodes(const TBrindlewovenProject& project, TStringList& brokenLinks,
                        const std::string& label, std::string& html, bool htmlHelpForm,
                        bool singlePage, bool noLinks, const THtmlPageNames* pages) {
    static constexpr std::string_view kCode = "{button";
    TTextOutput out;
    ForEachCode(
        html, kCode, out, [&](const std::string& lower, std::size_t at, std::size_t& copied) {
            out.Copy(html, lower, copied, at);
            const std::string code = html.substr(at, CodeEnd(html, at) - at);
            const std::string value = TakeValue(html, at + kCode.size(), copied);
            const auto comma = value.find(',');
            const std::string caption = TrimText(value.substr(0, comma));
            const std::string numberText =
                comma == std::string::npos ? std::string() : TrimText(value.substr(comma + 1));
            std::int32_t number = 0;
            if (noLinks || !ParseInt32(numberText, number))
                return true;
            const std::string page = HtmlPageOf(project, number, pages);
            if (page.empty()) {
                out += "BUTTON TO TOPIC " + numberText + " WHICH DOES NOT EXIST";
                brokenLinks.push_back(BrokenLine(code, label));
            } else if (htmlHelpForm) {
                out += "<OBJECT type=\"application/x-oleobject\" "
                       "classid=\"clsid:adb880a6-d8ff-11cf-9377-00aa003b7a11\" "
                       "codebase=\"hhctrl.ocx\">"
                       "<PARAM name=\"Command\" value=\"Related Topics\"><PARAM name=\"Button\" "
                       "value=\"Text:" +
                       caption + "\"><PARAM name=\"Item1\" value=\"topic;" + page +
                       ".htm\"></OBJECT>";
            } else {
                const std::string target = singlePage ? "#" + page : page + ".htm";
                out += "<FORM METHOD=\"GET\" ACTION=\"" + target +
                       "\"><INPUT TYPE=\"SUBMIT\" VALUE=\"" + caption + "\"></FORM>";
            }
            return true;
        });
}

void InsertImageCodes(const TBrindlewovenProject&, std::string& html, const TStringList& pictures,
                      bool& popupFlag) {
    std::unordered_map<std::string, std::string> byName;
    auto lookup = [&](const std::string& lowerName, std::string& markup) {
        if (byName.empty())
            for (const auto& line : pictures) {
                const auto eq = line.find('=');
                byName.emplace(platform::AnsiLowerCase(line.substr(0, eq)),
                               eq == std::string::npos ? std::string() : line.substr(eq + 1));
            }
        const auto it = byName.find(lowerName);
        if (it == byName.end())
            return false;
        markup = it->second;
        return true;
    };
    TTextOutput images;
    ForEachCode(
        html, "{bm", images, [&](const std::string& lower, std::size_t at, std::size_t& copied) {
            images.Copy(html, lower, copied, at);
            const char align = at + 3 < html.size() ? lower[at + 3] : 0;
            const std::size_t end = ValueEnd(html, at);
            const auto blank = html.find(' ', at);
            const std::string raw = blank == std::string::npos || blank >= end
                                        ? std::string()
                                        : html.substr(blank + 1, end - blank - 1);
            copied = end < html.size() ? end + 1 : end;
            const std::string name = platform::AnsiLowerCase(PictureNameFromHtml(raw));
            std::string markup;
            if (!lookup(name, markup)) {
                images += "<B>Missing image: " + HtmlEscape(name) + "</B>";
                return true;
            }
            const char* attribute = align == 'l'   ? " ALIGN=LEFT STYLE=\"margin-right:8pt\""
                                    : align == 'r' ? " ALIGN=RIGHT STYLE=\"margin-left:8pt\""
                                                   : "";
            const auto img = platform::AnsiLowerCase(markup).find("<img");
            if (img != std::string::npos)
                markup.insert(img + 4, attribute);
            if (markup.find("javascript:") != std::string::npos)
                popupFlag = true;
            images += markup;
            return true;
        });
    static constexpr std::string_view kFlash = "{flash=";
    TTextOutput flashes;
    ForEachCode(html, kFlash, flashes,
                [&](const std::string& lower, std::size_t at, std::size_t& copied) {
                    flashes.Copy(html, lower, copied, at);
                    const std::string name = platform::AnsiLowerCase(
                        PictureNameFromHtml(TakeValue(html, at + kFlash.size(), copied)));
                    std::string markup;
                    if (lookup(name, markup))
                        flashes += markup;
                    return true;
                });
}

} // namespace helpproject
