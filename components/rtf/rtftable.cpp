#include "components/rtf/rtftable.h"

#include <charconv>

namespace rtf {

namespace {

BorderStyle StyleOf(std::string_view name) {
    if (name == "brdrnone" || name == "brdrnil" || name == "brdrtbl")
        return BorderStyle::None;
    if (name == "brdrth")
        return BorderStyle::Thick;
    if (name == "brdrdb")
        return BorderStyle::Double;
    if (name == "brdrdot")
        return BorderStyle::Dotted;
    if (name == "brdrdash" || name == "brdrdashsm" || name == "brdrdashd" || name == "brdrdashdd")
        return BorderStyle::Dashed;
    return BorderStyle::Single;
}

// Which border of a row ("trbrdr...") or cell ("clbrdr...") a word names.
int RowBorderIndex(std::string_view name) {
    static constexpr std::string_view kNames[] = {"trbrdrt", "trbrdrl", "trbrdrb",
                                                  "trbrdrr", "trbrdrh", "trbrdrv"};
    for (int i = 0; i < 6; ++i)
        if (name == kNames[i])
            return i;
    return -1;
}

int CellBorderIndex(std::string_view name) {
    static constexpr std::string_view kNames[] = {"clbrdrt", "clbrdrl", "clbrdrb", "clbrdrr"};
    for (int i = 0; i < 4; ++i)
        if (name == kNames[i])
            return i;
    return -1;
}

} // namespace

bool IsRowWord(std::string_view name) {
    if (name == "cellx" || name == "irow" || name == "irowband" || name == "lastrow" ||
        name == "ltrrow" || name == "rtlrow" || name == "taprtl")
        return true;
    return name.starts_with("tr") || name.starts_with("cl") || name.starts_with("brdr") ||
           name.starts_with("tbl");
}

bool IsRowColorWord(std::string_view name) {
    return name == "clcbpat" || name == "clcfpat" || name == "brdrcf" || name == "trcbpat" ||
           name == "trcfpat" || name == "clcbpatraw" || name == "clcfpatraw";
}

RowFormat RowFormat::FromWords(std::vector<RowWord> words) {
    RowFormat row;
    row.words = std::move(words);
    CellFormat cell;
    TableBorder* border = nullptr; // the border the "\brdr..." words describe
    for (const RowWord& w : row.words) {
        const std::string_view n = w.name;
        const int p = w.param;
        if (n == "trgaph") {
            row.gap = p;
        } else if (n == "trleft") {
            row.left = p;
        } else if (n == "trql") {
            row.alignment = Alignment::Left;
        } else if (n == "trqr") {
            row.alignment = Alignment::Right;
        } else if (n == "trqc") {
            row.alignment = Alignment::Center;
        } else if (n == "trhdr") {
            row.header = !w.hasParam || p != 0;
        } else if (n == "trkeep") {
            row.keep = !w.hasParam || p != 0;
        } else if (const int r = RowBorderIndex(n); r >= 0) {
            border = &row.borders[r];
        } else if (const int c = CellBorderIndex(n); c >= 0) {
            border = &cell.borders[c];
        } else if (n == "brdrw") {
            if (border)
                border->width = p;
        } else if (n == "brdrcf") {
            if (border)
                border->color = w.color;
        } else if (n.starts_with("brdr")) {
            if (border)
                border->style = StyleOf(n);
        } else if (n == "clshdng") {
            cell.shading = p;
        } else if (n == "clcbpat") {
            cell.background = w.color;
        } else if (n == "clmgf") {
            cell.mergeFirst = true;
        } else if (n == "clmrg") {
            cell.merged = true;
        } else if (n == "clvmgf") {
            cell.verticalMergeFirst = true;
        } else if (n == "clvmrg") {
            cell.verticallyMerged = true;
        } else if (n == "cellx") {
            cell.rightEdge = p;
            row.cells.push_back(cell);
            cell = CellFormat{};
            border = nullptr;
        }
    }
    return row;
}

RowFormat RowFormat::WithEdges(const std::vector<int>& rightEdges, int gap) {
    std::vector<RowWord> words;
    words.push_back(RowWord{"trowd"});
    words.push_back(RowWord{"trgaph", true, gap});
    for (int edge : rightEdges)
        words.push_back(RowWord{"cellx", true, edge});
    return FromWords(std::move(words));
}

std::vector<int> RowFormat::Edges(std::size_t count) const {
    constexpr int kInch = 1440;
    std::vector<int> edges;
    edges.reserve(count);
    int last = left;
    for (std::size_t i = 0; i < count; ++i) {
        int edge = i < cells.size() ? cells[i].rightEdge : last + kInch;
        if (edge <= last)
            edge = last + 1; // edges only grow from left to right
        edges.push_back(edge);
        last = edge;
    }
    return edges;
}

bool RowFormat::AnyBorder() const {
    for (const TableBorder& b : borders)
        if (b.Present())
            return true;
    for (const CellFormat& c : cells)
        for (const TableBorder& b : c.borders)
            if (b.Present())
                return true;
    return false;
}

// One word per line: name, a blank, the parameter or "-", and for a colour
// word a blank and "auto" or the six hex digits of red, green and blue.
std::string EncodeRow(const RowFormat& row) {
    static const char* digits = "0123456789ABCDEF";
    std::string out;
    for (const RowWord& w : row.words) {
        out += w.name;
        out += ' ';
        out += w.hasParam ? std::to_string(w.param) : std::string("-");
        if (w.isColor) {
            out += ' ';
            if (w.color.isAuto) {
                out += "auto";
            } else {
                for (std::uint8_t b : {w.color.red, w.color.green, w.color.blue}) {
                    out += digits[b >> 4];
                    out += digits[b & 15];
                }
            }
        }
        out += '\n';
    }
    return out;
}

RowFormat DecodeRow(std::string_view text) {
    std::vector<RowWord> words;
    while (!text.empty()) {
        const std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text = end == std::string_view::npos ? std::string_view() : text.substr(end + 1);
        const std::size_t blank = line.find(' ');
        if (blank == std::string_view::npos || blank == 0)
            continue;
        RowWord w;
        w.name = std::string(line.substr(0, blank));
        line.remove_prefix(blank + 1);
        const std::size_t second = line.find(' ');
        const std::string_view param = line.substr(0, second);
        if (param != "-") {
            int value = 0;
            if (std::from_chars(param.data(), param.data() + param.size(), value).ec == std::errc())
                w.hasParam = true, w.param = value;
        }
        if (second != std::string_view::npos) {
            w.isColor = true;
            const std::string_view color = line.substr(second + 1);
            unsigned value = 0;
            if (color.size() == 6 &&
                std::from_chars(color.data(), color.data() + 6, value, 16).ec == std::errc())
                w.color = Color::Rgb(static_cast<std::uint8_t>(value >> 16),
                                     static_cast<std::uint8_t>(value >> 8),
                                     static_cast<std::uint8_t>(value));
        }
        words.push_back(std::move(w));
    }
    return RowFormat::FromWords(std::move(words));
}

} // namespace rtf
