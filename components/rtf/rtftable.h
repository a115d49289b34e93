#pragma once
// Table rows of the document model. A row's definition is kept as the
// control words it was read from ("\trowd", "\trgaph108", "\clbrdrt",
// "\brdrs", "\cellx2000", ...), so that a row is written back as it came,
// words this program does not know included. Colour words keep the colour
// itself rather than its number, as a document written again gets a colour
// table of its own. What the editor and the HTML writers need (cell edges,
// gap, left offset, alignment, borders, shading, header rows, keep) is read
// from the words.
#include <cstdint>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "components/rtf/rtfformat.h"

namespace rtf {

struct RowWord {
    RowWord() = default;
    RowWord(std::string wordName, bool withParam = false, int value = 0)
        : name(std::move(wordName)), hasParam(withParam), param(value) {}

    std::string name;
    bool hasParam = false;
    int param = 0;
    bool isColor = false; // a colour word: `color` stands for the parameter (kept 0)
    Color color;

    bool operator==(const RowWord&) const = default;
};

enum class BorderStyle : std::uint8_t {
    None,
    Single, // "\brdrs" and every style not named here
    Thick,  // "\brdrth"
    Double, // "\brdrdb"
    Dotted, // "\brdrdot"
    Dashed, // "\brdrdash"
};

struct TableBorder {
    BorderStyle style = BorderStyle::None;
    int width = 0; // twips ("\brdrwN")
    Color color;   // "\brdrcfN"

    bool Present() const { return style != BorderStyle::None; }
    bool operator==(const TableBorder&) const = default;
};

enum BorderSide : std::uint8_t { kBorderTop, kBorderLeft, kBorderBottom, kBorderRight };

struct CellFormat {
    int rightEdge = 0;               // twips from the left margin ("\cellxN")
    TableBorder borders[4];          // by BorderSide
    int shading = 0;                 // hundredths of a percent ("\clshdngN")
    Color background;                // "\clcbpat"; auto when none
    bool mergeFirst = false;         // "\clmgf"
    bool merged = false;             // "\clmrg": merged into the cell before it
    bool verticalMergeFirst = false; // "\clvmgf"
    bool verticallyMerged = false;   // "\clvmrg"
};

struct RowFormat {
    // Every word of the definition in order, "\trowd" first.
    std::vector<RowWord> words;

    // Read from the words.
    int gap = 0;  // half the space between cells ("\trgaphN")
    int left = 0; // the row's left offset ("\trleftN")
    Alignment alignment = Alignment::Left;
    bool header = false;    // "\trhdr"
    bool keep = false;      // "\trkeep"
    TableBorder borders[6]; // top, left, bottom, right, inside horizontal, inside vertical
    std::vector<CellFormat> cells;

    // A row read from its words.
    static RowFormat FromWords(std::vector<RowWord> words);
    // A plain row of cells with these right edges.
    static RowFormat WithEdges(const std::vector<int>& rightEdges, int gap = 108);

    // The right edges of `count` cells: those defined, then further ones
    // an inch apart for cells the definition lacks.
    std::vector<int> Edges(std::size_t count) const;
    bool AnyBorder() const;

    bool operator==(const RowFormat& other) const { return words == other.words; }
};

// Whether a control word belongs to a row definition.
bool IsRowWord(std::string_view name);
// Whether a row definition's word takes a colour number.
bool IsRowColorWord(std::string_view name);

// An internal, self-contained text form of a row (for carrying it where only
// text fits, such as a widget's format properties), and back.
std::string EncodeRow(const RowFormat& row);
RowFormat DecodeRow(std::string_view text);

} // namespace rtf
