#include "helpproject/writers/markuphtml.h"

#include <gtest/gtest.h>

#include <random>
#include <string>
#include <vector>

#include "helpproject/brindlewovenproject.h"
#include "helpproject/buildselection.h"
#include "platform/codepage.h"

using helpproject::TBrindlewovenProject;
using helpproject::TStringList;

namespace {

// Topics 10 (automatic ID, page bw10), 20 "Setup" (page setup), 30 "a:B".
void AddTopics(TBrindlewovenProject& p) {
    p.AddTopic(20, "Setting up")->TopicID = "Setup";
    p.AddTopic(30, "Odd")->TopicID = "a:B";
}

struct TLinkIdCase {
    const char* name;
    std::string html;
    bool popupsAsScript, singlePage, noLinks;
    std::string expected;
    bool popup;
    TStringList broken;
};

TEST(MarkupHtml, LinkIdCodes) {
    const std::vector<TLinkIdCase> cases = {
        {"jump",
         "x <STRIKE>Go</STRIKE>{linkID=20} y",
         true,
         false,
         false,
         "x <A HREF=\"setup.htm\">Go</A> y",
         false,
         {}},
        {"jump past other tags",
         "<STRIKE><B>Go</B></STRIKE><FONT>{linkid=%30}</FONT>",
         true,
         false,
         false,
         "<A HREF=\"ab.htm\"><B>Go</B></A><FONT></FONT>",
         false,
         {}},
        {"popup as script",
         "<U>Tip</U>{linkID=*10}",
         true,
         false,
         false,
         "<A HREF=\"javascript:popuplink('bw10.htm')\">Tip</A>",
         true,
         {}},
        {"popup as link",
         "<U>Tip</U>{linkID=10}",
         false,
         false,
         false,
         "<A HREF=\"bw10.htm\">Tip</A>",
         false,
         {}},
        {"single page",
         "<U>Tip</U>{linkID=10} <STRIKE>J</STRIKE>{LINKID=20}",
         true,
         true,
         false,
         "<A HREF=\"#bw10\">Tip</A> <A HREF=\"#setup\">J</A>",
         false,
         {}},
        {"no links", "<STRIKE>Go</STRIKE>{linkID=20}", true, false, true, "Go", false, {}},
        {"missing topic",
         "<STRIKE>Go</STRIKE>{linkID=99}!",
         true,
         false,
         false,
         "Go!",
         false,
         {"linkID=99 in topic 5 Intro"}},
        {"invalid number",
         "<STRIKE>Go</STRIKE>{linkID=99999999999}",
         true,
         false,
         false,
         "Go",
         false,
         {"linkID=99999999999 in topic 5 Intro"}},
        {"window and backslash skipped",
         "<STRIKE>Go</STRIKE>{linkID=2\\x9 0>main}",
         true,
         false,
         false,
         "<A HREF=\"setup.htm\">Go</A>",
         false,
         {}},
        {"stops at a line break",
         "<STRIKE>Go</STRIKE>\r\n{linkID=20}",
         true,
         false,
         false,
         "<STRIKE>Go</STRIKE>\r\n",
         false,
         {}},
        {"no number stops the rest",
         "{linkID=x} <STRIKE>Go</STRIKE>{linkID=20}",
         true,
         false,
         false,
         "{linkID=x} <STRIKE>Go</STRIKE>{linkID=20}",
         false,
         {}},
        {"no hotspot", "plain {linkID=20} text", true, false, false, "plain  text", false, {}},
        {"the code inside its jump's format, set for the whole paragraph",
         "<P><FONT><STRIKE>Go{linkID=20} on</STRIKE></FONT></P>",
         true,
         false,
         false,
         "<P><FONT><A HREF=\"setup.htm\">Go</A> on</FONT></P>",
         false,
         {}},
        {"the code inside its popup's format",
         "<U>Pop{linkID=30}</U> rest",
         true,
         false,
         false,
         "<A HREF=\"javascript:popuplink('ab.htm')\">Pop</A> rest",
         true,
         {}},
        {"a line break before the format's opening tag stops the search",
         "<STRIKE>Go\r\n{linkID=20}</STRIKE>",
         true,
         false,
         false,
         "<STRIKE>Go\r\n</STRIKE>",
         false,
         {}},
        {"two hotspots",
         "<STRIKE>A</STRIKE> and <STRIKE>B</STRIKE>{linkID=20}{linkID=30}",
         true,
         false,
         false,
         "<A HREF=\"ab.htm\">A</A> and <A HREF=\"setup.htm\">B</A>",
         false,
         {}},
    };
    for (const auto& c : cases) {
        TBrindlewovenProject p;
        AddTopics(p);
        std::string html = c.html;
        bool popup = false;
        TStringList broken;
        helpproject::ConvertLinkIdCodes(p, broken, "5 Intro", html, popup, c.popupsAsScript,
                                        c.singlePage, c.noLinks);
        EXPECT_EQ(html, c.expected) << c.name;
        EXPECT_EQ(popup, c.popup) << c.name;
        EXPECT_EQ(broken, c.broken) << c.name;
    }
    TBrindlewovenProject p;
    std::string html = "<U>x</U>{linkID=7}";
    bool popup = false;
    TStringList broken;
    helpproject::ConvertLinkIdCodes(p, broken, "", html, popup, true, false, false);
    EXPECT_EQ(broken, TStringList{"linkID=7"});
}

TEST(MarkupHtml, TargetCodes) {
    TBrindlewovenProject p;
    std::string html = "a{target=Here}b{TARGET=There}";
    TStringList targets;
    helpproject::ConvertTargetCodes(p, html, "page", &targets);
    EXPECT_EQ(html, "a<A NAME=\"Here\"></A>b<A NAME=\"There\"></A>");
    EXPECT_EQ(targets, (TStringList{"here=page.htm#Here", "there=page.htm#There"}));
    html = "{target=X}";
    targets.clear();
    helpproject::ConvertTargetCodes(p, html, "", &targets);
    EXPECT_EQ(targets, TStringList{"x=#X"});
    html = "{target=Y}";
    helpproject::ConvertTargetCodes(p, html, "", nullptr);
    EXPECT_EQ(html, "<A NAME=\"Y\"></A>");
}

TEST(MarkupHtml, LinkCodes) {
    const TStringList targets = {"setup=setup.htm", "here=p.htm#Here", "here=other.htm"};
    struct TCase {
        std::string html;
        bool noLinks;
        std::string expected;
        TStringList broken;
    };
    const std::vector<TCase> cases = {
        {"<STRIKE>S</STRIKE>{link=Setup}", false, "<A HREF=\"setup.htm\">S</A>", {}},
        {"<STRIKE>S</STRIKE>{link=* here }", false, "<A HREF=\"p.htm#Here\">S</A>", {}},
        // An ID found nowhere leaves the text plain, never an empty address.
        {"<STRIKE>S</STRIKE>{link=nowhere}", false, "S", {"link=nowhere in topic 1 T"}},
        // A macro hotspot's anchor holds its text, well nested.
        {"<B><STRIKE>Run</STRIKE></B>{link=%!AL(`x',0,`',`')}",
         false,
         "<B><A>UNCONVERTED WINHELP MACRO:!AL(`x',0,`',`')Run</A></B>",
         {"link=!AL(`x',0,`',`') in topic 1 T"}},
        // The code inside its hotspot's format (set for the whole paragraph).
        {"<FONT><STRIKE>Set up{link=Setup}</STRIKE></FONT>",
         false,
         "<FONT><A HREF=\"setup.htm\">Set up</A></FONT>",
         {}},
        {"<STRIKE>W</STRIKE>{link=!ExecFile(www.example.com)}",
         false,
         "<A HREF=\"http://www.example.com\">W</A>",
         {}},
        {"<STRIKE>W</STRIKE>{link=!ExecFile(\"https://e.org/a b\")}",
         false,
         "<A HREF=\"https://e.org/a\">W</A>",
         {}},
        {"<STRIKE>M</STRIKE>{link=!ExecFile(mailto:me@x.org)}",
         false,
         "<A HREF=\"mailto:me@x.org\">M</A>",
         {}},
        {"<STRIKE>M</STRIKE>{link=!Beep()}",
         false,
         "<A>UNCONVERTED WINHELP MACRO:!Beep()M</A>",
         {"link=!Beep() in topic 1 T"}},
        {"<STRIKE>C</STRIKE>{link=Vellumar42@Other.CHM}",
         false,
         "<A HREF=\"mk:@MSITStore:Other.CHM::/html/bw42.htm\">C</A>",
         {}},
        {"<STRIKE>C</STRIKE>{link=My:Topic@a@b.chm}",
         false,
         "<A HREF=\"mk:@MSITStore:b.chm::/html/mytopic@a.htm\">C</A>",
         {}},
        {"<STRIKE>C</STRIKE>{link=Ctx@b.chm&gt;main}",
         false,
         "<A HREF=\"mk:@MSITStore:b.chm::/html/ctx.htm\">C</A>",
         {}},
        {"<STRIKE>H</STRIKE>{link=ctx@other.hlp}", false, "H", {"link=ctx@other.hlp in topic 1 T"}},
        {"<U>S</U>{link=Setup}", false, "<A HREF=\"setup.htm\">S</A>", {}},
        {"<STRIKE>S</STRIKE>{link=Setup}", true, "S", {}},
        {"<STRIKE>S</STRIKE>\r\n{link=Setup}", false, "<A HREF=\"setup.htm\">S</A>\r\n", {}},
    };
    for (const auto& c : cases) {
        TBrindlewovenProject p;
        std::string html = c.html;
        TStringList broken;
        helpproject::ConvertLinkCodes(p, broken, "1 T", html, c.noLinks, &targets);
        EXPECT_EQ(html, c.expected) << c.html;
        EXPECT_EQ(broken, c.broken) << c.html;
    }
}

TEST(MarkupHtml, LinkTargetCodes) {
    const TStringList targets = {"here=p.htm#Here"};
    struct TCase {
        std::string html;
        bool noLinks;
        std::string expected;
        TStringList broken;
    };
    const std::vector<TCase> cases = {
        {"<STRIKE>H</STRIKE>{linktarget=%Here&gt;win}", false, "<A HREF=\"p.htm#Here\">H</A>", {}},
        {"<STRIKE>H</STRIKE>{linkTarget= HERE }", false, "<A HREF=\"p.htm#Here\">H</A>", {}},
        // An anchor found nowhere leaves the text plain, never an empty address.
        {"<STRIKE>H</STRIKE>{linktarget=Gone}", false, "H", {"linktarget=gone in topic 1 T"}},
        // The code inside the hotspot's format: the link ends at the code.
        {"<STRIKE>H{linktarget=Here} after</STRIKE>",
         false,
         "<A HREF=\"p.htm#Here\">H</A> after",
         {}},
        {"<STRIKE>H</STRIKE>{linktarget=Here}", true, "H", {}},
    };
    for (const auto& c : cases) {
        TBrindlewovenProject p;
        std::string html = c.html;
        TStringList broken;
        helpproject::ConvertLinkTargetCodes(p, broken, "1 T", html, c.noLinks, &targets);
        EXPECT_EQ(html, c.expected) << c.html;
        EXPECT_EQ(broken, c.broken) << c.html;
    }
}

TEST(MarkupHtml, LinkFileCodes) {
    TBrindlewovenProject p;
    const std::string in = "a <STRIKE><FONT X>Get <B>it</B></FONT></STRIKE>{linkfile=%doc.pdf} b";
    std::string html = in;
    helpproject::ConvertLinkFileCodes(p, html, false, true);
    EXPECT_EQ(html,
              "a <OBJECT id=hhctrl type=\"application/x-oleobject\" "
              "classid=\"clsid:adb880a6-d8ff-11cf-9377-00aa003b7a11\" codebase=\"hhctrl.ocx\">"
              "<PARAM name=\"Command\" value=\"ShortCut\"><PARAM name=\"Button\" value=\"Text:Get "
              "it\"><PARAM name=\"Item1\" value=\",doc.pdf,\"></OBJECT><FONT X><B></B></FONT> b");
    html = in;
    helpproject::ConvertLinkFileCodes(p, html, false, false);
    EXPECT_EQ(html, "a <A HREF=\"doc.pdf\">Get it</A> b");
    html = in;
    helpproject::ConvertLinkFileCodes(p, html, true, true);
    EXPECT_EQ(html, "a Get it b");
    html = "no hotspot {linkfile=x.pdf}.";
    helpproject::ConvertLinkFileCodes(p, html, false, false);
    EXPECT_EQ(html, "no hotspot .");
}

TEST(MarkupHtml, ButtonCodes) {
    struct TCase {
        std::string html;
        bool htmlHelp, singlePage, noLinks;
        std::string expected;
        TStringList broken;
    };
    const std::vector<TCase> cases = {
        {"{button  Go , 20 }",
         true,
         false,
         false,
         "<OBJECT type=\"application/x-oleobject\" "
         "classid=\"clsid:adb880a6-d8ff-11cf-9377-00aa003b7a11\" codebase=\"hhctrl.ocx\"><PARAM "
         "name=\"Command\" value=\"Related Topics\"><PARAM name=\"Button\" "
         "value=\"Text:Go\"><PARAM "
         "name=\"Item1\" value=\"topic;setup.htm\"></OBJECT>",
         {}},
        {"{button Go,20}",
         false,
         false,
         false,
         "<FORM METHOD=\"GET\" ACTION=\"setup.htm\"><INPUT TYPE=\"SUBMIT\" VALUE=\"Go\"></FORM>",
         {}},
        {"{button Go,20}",
         false,
         true,
         false,
         "<FORM METHOD=\"GET\" ACTION=\"#setup\"><INPUT TYPE=\"SUBMIT\" VALUE=\"Go\"></FORM>",
         {}},
        {"a{button Go,20}b", false, false, true, "ab", {}},
        {"a{button Go,JumpId(x)}b", false, false, false, "ab", {}},
        {"{Button Go,77}",
         true,
         false,
         false,
         "BUTTON TO TOPIC 77 WHICH DOES NOT EXIST",
         {"{Button Go,77} in topic 1 T"}},
    };
    for (const auto& c : cases) {
        TBrindlewovenProject p;
        AddTopics(p);
        std::string html = c.html;
        TStringList broken;
        helpproject::ConvertButtonCodes(p, broken, "1 T", html, c.htmlHelp, c.singlePage,
                                        c.noLinks);
        EXPECT_EQ(html, c.expected) << c.html;
        EXPECT_EQ(broken, c.broken) << c.html;
    }
}

TEST(MarkupHtml, ImageCodes) {
    TBrindlewovenProject p;
    const TStringList pictures = {"Cup.bmp=<IMG SRC=\"images/cup.png\">",
                                  "map.shg=<IMG SRC=\"m.png\" USEMAP=\"#m\"><MAP><AREA "
                                  "HREF=\"javascript:popuplink('a.htm')\"></MAP>",
                                  "a&b.bmp=<IMG SRC=\"ab.png\">", "m.swf=<OBJECT>movie</OBJECT>"};
    struct TCase {
        std::string html;
        std::string expected;
        bool popup;
    };
    const std::vector<TCase> cases = {
        {"{bmc cup.BMP}", "<IMG SRC=\"images/cup.png\">", false},
        {"{bml Cup.bmp}", "<IMG ALIGN=LEFT STYLE=\"margin-right:8pt\" SRC=\"images/cup.png\">",
         false},
        {"{BMRT cup.bmp}", "<IMG ALIGN=RIGHT STYLE=\"margin-left:8pt\" SRC=\"images/cup.png\">",
         false},
        {"{bmc Lost.BMP}", "<B>Missing image: lost.bmp</B>", false},
        {"{bmc map.shg}", pictures[1].substr(8), true},
        // Entities and font tags inside a code name the same picture.
        {"{bmc <FONT FACE=\"A\">a&amp;b.bmp</FONT>}", "<IMG SRC=\"ab.png\">", false},
        {"x{flash= M.swf }y{flash=none.swf}z", "x<OBJECT>movie</OBJECT>yz", false},
    };
    for (const auto& c : cases) {
        std::string html = c.html;
        bool popup = false;
        helpproject::InsertImageCodes(p, html, pictures, popup);
        EXPECT_EQ(html, c.expected) << c.html;
        EXPECT_EQ(popup, c.popup) << c.html;
    }
    TStringList names;
    helpproject::CollectHtmlPictureNames(
        "{bmc <FONT FACE=\"A\">a&amp;b.bmp</FONT>} {bml Cup.bmp}{flash=m.swf}{bmc CUP.BMP}", names);
    EXPECT_EQ(names, (TStringList{"a&b.bmp", "Cup.bmp", "m.swf"}));
}

TEST(MarkupHtml, PageNamesAvoidCollisions) {
    TBrindlewovenProject p;
    p.Topics().front()->TopicID = "Intro"; // topic 10
    p.AddTopic(20, "b")->TopicID = "intro";
    p.AddTopic(30, "c")->TopicID = "bw40";
    p.AddTopic(40, "d"); // automatic: bw40
    p.AddTopic(50, "e")->TopicID = "cnt";
    p.AddTopic(60, "f")->TopicID = "a:b";
    p.AddTopic(70, "g")->TopicID = "ab";
    helpproject::THtmlPageNames names;
    names.Build(p, helpproject::TBuildSelection::All(p), {"cnt", "idx"});
    EXPECT_EQ(names.NameOf(10), "intro");
    EXPECT_EQ(names.NameOf(20), "bw20");
    EXPECT_EQ(names.NameOf(30), "bw30");
    EXPECT_EQ(names.NameOf(40), "bw40");
    EXPECT_EQ(names.NameOf(50), "bw50");
    EXPECT_EQ(names.NameOf(60), "ab");
    EXPECT_EQ(names.NameOf(70), "bw70");
    std::string html = "<STRIKE>x</STRIKE>{linkID=20}";
    bool popup = false;
    TStringList broken;
    helpproject::ConvertLinkIdCodes(p, broken, "", html, popup, true, false, false, &names);
    EXPECT_EQ(html, "<A HREF=\"bw20.htm\">x</A>");
}

// ---- the loop as first designed: search from the top after every change ----

bool TagAt(const std::string& html, std::size_t at, const std::string& tag) {
    return at + tag.size() <= html.size() &&
           platform::AnsiSameText(std::string_view(html).substr(at, tag.size()), tag);
}

// Steps back from `from` to the nearest closing hotspot tag, passing over
// everything else, then back to its opening tag, and rewrites both. An
// opening tag met first means the code stands inside its hotspot: the
// anchor ends at the code and the hotspot's closing tag after it goes.
void NaiveRewrite(std::string& html, std::size_t from, bool stopAtControl, bool noLink,
                  const std::string& anchor) {
    std::size_t p = from;
    std::size_t close = std::string::npos;
    bool jump = false;
    while (p > 0) {
        --p;
        if (stopAtControl && static_cast<unsigned char>(html[p]) < 32)
            return;
        if (TagAt(html, p, "</strike>") || TagAt(html, p, "</u>")) {
            close = p;
            jump = TagAt(html, p, "</strike>");
            break;
        }
        if (TagAt(html, p, "<strike>") || TagAt(html, p, "<u>")) {
            jump = TagAt(html, p, "<strike>");
            const std::string closeTag = jump ? "</strike>" : "</u>";
            const auto after = platform::AnsiLowerCase(html).find(closeTag, from);
            if (after != std::string::npos)
                html.erase(after, closeTag.size());
            html.insert(from, noLink ? "" : "</A>");
            html.replace(p, jump ? 8 : 3, noLink ? "" : anchor);
            return;
        }
    }
    if (close == std::string::npos)
        return;
    std::size_t open = std::string::npos;
    const std::string openTag = jump ? "<strike>" : "<u>";
    while (p > 0) {
        --p;
        if (stopAtControl && static_cast<unsigned char>(html[p]) < 32)
            break;
        if (TagAt(html, p, openTag)) {
            open = p;
            break;
        }
    }
    html.replace(close, jump ? 9 : 4, noLink ? "" : "</A>");
    if (open != std::string::npos)
        html.replace(open, openTag.size(), noLink ? "" : anchor);
}

bool NaiveIsJumpBefore(const std::string& html, std::size_t from) {
    for (std::size_t p = from; p > 0;) {
        --p;
        if (static_cast<unsigned char>(html[p]) < 32)
            return true;
        if (TagAt(html, p, "</strike>") || TagAt(html, p, "<strike>"))
            return true;
        if (TagAt(html, p, "</u>") || TagAt(html, p, "<u>"))
            return false;
    }
    return true;
}

void NaiveLinkId(const TBrindlewovenProject& p, TStringList& broken, std::string& html, bool& popup,
                 bool popupsAsScript) {
    while (true) {
        const std::string lower = platform::AnsiLowerCase(html);
        const auto at = lower.find("{linkid=");
        if (at == std::string::npos)
            return;
        std::size_t i = at + 8;
        if (i < html.size() && (html[i] == '%' || html[i] == '*'))
            ++i;
        std::string number;
        for (; i < html.size() && html[i] != '&' && html[i] != '>' && html[i] != '}'; ++i)
            if (html[i] >= '0' && html[i] <= '9')
                number += html[i];
        if (number.empty())
            return;
        const auto close = html.find('}', at);
        html.erase(at, close == std::string::npos ? std::string::npos : close + 1 - at);
        const auto* topic = number.size() < 9 ? p.FindTopic(std::stoi(number)) : nullptr;
        const std::string page = topic ? p.FindTopic(std::stoi(number))->GetHtmlFileName() : "";
        if (page.empty())
            broken.push_back("linkID=" + number);
        const bool jump = NaiveIsJumpBefore(html, at);
        std::string anchor = "<A HREF=\"" + page + ".htm\">";
        if (!jump && popupsAsScript) {
            anchor = "<A HREF=\"javascript:popuplink('" + page + ".htm')\">";
            popup = popup || !page.empty();
        }
        NaiveRewrite(html, at, true, page.empty(), anchor);
    }
}

void NaiveLink(TStringList& broken, std::string& html, const TStringList& targets) {
    while (true) {
        const std::string lower = platform::AnsiLowerCase(html);
        const auto at = lower.find("{link=");
        if (at == std::string::npos)
            return;
        const auto close = html.find('}', at);
        const std::string argument = platform::AnsiLowerCase(
            html.substr(at + 6, close == std::string::npos ? std::string::npos : close - at - 6));
        html.erase(at, close == std::string::npos ? std::string::npos : close + 1 - at);
        std::string url;
        const bool found = helpproject::LookupKeyValue(targets, argument, url);
        if (!found)
            broken.push_back("link=" + argument);
        NaiveRewrite(html, at, false, !found, "<A HREF=\"" + url + "\">");
    }
}

std::string RandomPage(std::mt19937& random) {
    static const std::vector<std::string> tokens = {
        "word ",         "<STRIKE>",      "</STRIKE>",    "<U>",
        "</U>",          "<B>",           "</b>",         "\r\n",
        "<FONT SIZE=2>", "</FONT>",       "{linkID=20}",  "{linkID=*10}",
        "{LinkId=99}",   "{linkID=30>w}", "{link=setup}", "{link=nowhere}",
        "{link=here}",   "<strike>",      "</u>",         "<UL>",
        "x&amp;y"};
    std::uniform_int_distribution<std::size_t> pick(0, tokens.size() - 1);
    std::uniform_int_distribution<int> length(0, 60);
    std::string page;
    for (int n = length(random); n > 0; --n)
        page += tokens[pick(random)];
    if (random() % 50 == 0)
        page += "{linkID=none}" + tokens[pick(random)] + "{linkID=20}";
    return page;
}

TEST(MarkupHtml, OnePassEqualsTheRepeatedSearch) {
    std::mt19937 random(1234);
    const TStringList targets = {"setup=setup.htm", "here=p.htm#Here"};
    for (int n = 0; n < 1000; ++n) {
        const std::string page = RandomPage(random);
        const bool popupsAsScript = n % 2 == 0;
        TBrindlewovenProject fast, slow;
        AddTopics(fast);
        AddTopics(slow);
        std::string a = page, b = page;
        bool popupA = false, popupB = false;
        TStringList fastBroken, slowBroken;
        helpproject::ConvertLinkIdCodes(fast, fastBroken, "", a, popupA, popupsAsScript, false,
                                        false);
        NaiveLinkId(slow, slowBroken, b, popupB, popupsAsScript);
        ASSERT_EQ(a, b) << page;
        ASSERT_EQ(popupA, popupB) << page;
        helpproject::ConvertLinkCodes(fast, fastBroken, "", a, false, &targets);
        NaiveLink(slowBroken, b, targets);
        ASSERT_EQ(a, b) << page;
        ASSERT_EQ(fastBroken, slowBroken) << page;
    }
}

} // namespace
