#include "htmlcheck_support.h"

#include <libxml/HTMLparser.h>
#include <libxml/tree.h>
#include <libxml/xmlerror.h>

#include <cctype>
#include <map>
#include <set>
#include <string_view>

namespace helpproject::testing {

namespace {

// Elements that have no end tag.
const std::set<std::string, std::less<>> kEmptyElements = {
    "area",  "base",    "basefont", "br",   "col",   "embed",  "frame", "hr", "img",
    "input", "isindex", "link",     "meta", "param", "source", "track", "wbr"};

std::string Lower(std::string_view text) {
    std::string lower(text);
    for (char& c : lower)
        c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string At(int line, const std::string& what) {
    return "line " + std::to_string(line) + ": " + what;
}

void CollectParserError(void* problems, xmlErrorPtr error) {
    if (error->level < XML_ERR_ERROR)
        return;
    std::string message = error->message ? error->message : "";
    while (!message.empty() && (message.back() == '\n' || message.back() == '\r'))
        message.pop_back();
    static_cast<std::vector<std::string>*>(problems)->push_back(At(error->line, message));
}

// Blocks, which a paragraph cannot hold: an HTML5 parser ends the open P
// at each of them and then finds the P's own end tag closing nothing.
const std::set<std::string, std::less<>> kBlockElements = {
    "address", "blockquote", "center", "dir", "div",  "dl", "fieldset", "h1",  "h2",    "h3",
    "h4",      "h5",         "h6",     "hr",  "menu", "ol", "p",        "pre", "table", "ul"};
// Text-level elements. A rule inside one (a rule drawn in the middle of
// bold text) splits the text's format in two, and an HTML5 parser keeps it
// in neither.
const std::set<std::string, std::less<>> kTextElements = {
    "a",     "b",    "big",    "cite",   "code", "em",  "font", "i", "kbd", "samp",
    "small", "span", "strike", "strong", "sub",  "sup", "tt",   "u", "var"};

// The paragraph or the nearest text-level element around `node`, below the
// nearest block, list item or cell that holds it; empty when there is none.
std::string TextElementAround(xmlNodePtr node) {
    std::string text;
    for (xmlNodePtr up = node->parent; up && up->type == XML_ELEMENT_NODE; up = up->parent) {
        const std::string name = reinterpret_cast<const char*>(up->name);
        if (name == "p")
            return name;
        if (text.empty() && kTextElements.count(name))
            text = name;
        if (kBlockElements.count(name) || name == "li" || name == "td" || name == "th" ||
            name == "body")
            break;
    }
    return text;
}

// What the parser's tree shows: list items outside a list, blocks inside a
// paragraph, rules inside text-level elements, pictures and image-map areas
// without ALT text.
void CheckElements(xmlNodePtr node, std::vector<std::string>& problems) {
    for (; node; node = node->next) {
        if (node->type != XML_ELEMENT_NODE)
            continue;
        const std::string name = reinterpret_cast<const char*>(node->name);
        const int line = static_cast<int>(xmlGetLineNo(node));
        if (kBlockElements.count(name)) {
            const std::string around = TextElementAround(node);
            if (around == "p" || (!around.empty() && name == "hr"))
                problems.push_back(At(line, "<" + name + "> inside <" + around + ">"));
        }
        if ((name == "img" || name == "area") && !xmlHasProp(node, BAD_CAST "alt"))
            problems.push_back(At(line, "<" + name + "> without ALT text"));
        if (name == "li") {
            const std::string parent = node->parent && node->parent->name
                                           ? reinterpret_cast<const char*>(node->parent->name)
                                           : "";
            if (parent != "ul" && parent != "ol")
                problems.push_back(At(line, "<li> in <" + parent + ">, not in a list"));
        }
        CheckElements(node->children, problems);
    }
}

// The parser closes many elements by itself (P, LI, TD, ...); the writers
// close every one with its own end tag.
void CheckEndTags(const std::string& page, std::vector<std::string>& problems) {
    std::map<std::string, std::vector<int>> open; // element -> lines of its open tags
    int line = 1;
    for (std::size_t i = 0; i < page.size(); ++i) {
        if (page[i] == '\n') {
            ++line;
            continue;
        }
        if (page[i] != '<')
            continue;
        if (page.compare(i, 4, "<!--") == 0) {
            const std::size_t end = page.find("-->", i);
            for (std::size_t j = i; j < std::min(end, page.size()); ++j)
                line += page[j] == '\n';
            i = end == std::string::npos ? page.size() : end + 2;
            continue;
        }
        const bool closing = i + 1 < page.size() && page[i + 1] == '/';
        std::size_t start = i + (closing ? 2 : 1);
        std::size_t stop = start;
        while (stop < page.size() && std::isalnum(static_cast<unsigned char>(page[stop])))
            ++stop;
        if (stop == start)
            continue; // "<" as text
        const std::string name = Lower(std::string_view(page).substr(start, stop - start));
        if (kEmptyElements.count(name))
            continue;
        if (!closing) {
            open[name].push_back(line);
            if (name == "script") {
                // Its text is no markup.
                const std::size_t end = Lower(page).find("</script", stop);
                for (std::size_t j = stop; j < std::min(end, page.size()); ++j)
                    line += page[j] == '\n';
                i = end == std::string::npos ? page.size() : end - 1;
            }
        } else if (open[name].empty()) {
            problems.push_back(At(line, "</" + name + "> closes nothing"));
        } else {
            open[name].pop_back();
        }
    }
    for (const auto& [name, lines] : open)
        for (int at : lines)
            problems.push_back(At(at, "<" + name + "> never closed"));
}

} // namespace

std::vector<std::string> HtmlPageProblems(const std::string& page) {
    std::vector<std::string> problems;
    htmlParserCtxtPtr context = htmlNewParserCtxt();
    xmlSetStructuredErrorFunc(&problems, CollectParserError);
    htmlDocPtr document = htmlCtxtReadMemory(context, page.data(), static_cast<int>(page.size()),
                                             "page.htm", "windows-1252", HTML_PARSE_NONET);
    xmlSetStructuredErrorFunc(nullptr, nullptr);
    if (!document) {
        problems.push_back("the parser read no document");
    } else {
        CheckElements(xmlDocGetRootElement(document), problems);
        xmlFreeDoc(document);
    }
    htmlFreeParserCtxt(context);
    CheckEndTags(page, problems);
    return problems;
}

std::vector<std::string> HtmlBodyProblems(const std::string& body) {
    return HtmlPageProblems("<HTML><HEAD><TITLE>t</TITLE></HEAD><BODY>\n" + body +
                            "\n</BODY></HTML>");
}

} // namespace helpproject::testing
