#include "components/ui/rtfqtdocument.h"

#include <QBrush>
#include <QByteArray>
#include <QColor>
#include <QFont>
#include <QList>
#include <QStringList>
#include <QTextFrame>
#include <QTextList>
#include <QTextOption>
#include <QTextTable>
#include <QVariant>
#include <QVariantList>
#include <algorithm>
#include <array>
#include <atomic>
#include <deque>
#include <memory>
#include <optional>
#include <unordered_map>
#include <utility>
#include <vector>

#include "platform/codepage.h"

namespace components::ui {

namespace {

// The characters that stand at the cell boundaries of a QTextTable.
constexpr char16_t kBeginningOfFrame = u'\uFDD0';
constexpr char16_t kEndOfFrame = u'\uFDD1';

// ---- Windows-1252 <-> UTF-16 through the platform's tables

const std::array<char16_t, 256>& AnsiToUnicodeTable() {
    static const std::array<char16_t, 256> table = [] {
        std::array<char16_t, 256> t{};
        for (int i = 0; i < 256; ++i)
            t[static_cast<std::size_t>(i)] =
                platform::Cp1252ToUnicode(static_cast<unsigned char>(i));
        return t;
    }();
    return table;
}

char UnicodeToAnsi(char32_t c) {
    if (c < 0x80)
        return static_cast<char>(c);
    const int byte = platform::UnicodeToCp1252(c);
    return byte < 0 ? '?' : static_cast<char>(byte);
}

QByteArray ToByteArray(const std::string& bytes) {
    return QByteArray(bytes.data(), static_cast<qsizetype>(bytes.size()));
}

std::string FromByteArray(const QByteArray& bytes) {
    return std::string(bytes.constData(), static_cast<std::size_t>(bytes.size()));
}

// Field ids only have to differ between neighbouring fields; one counter for
// the process keeps fields pasted next to each other apart.
int NextFieldId() {
    static std::atomic<int> next{1};
    return next.fetch_add(1, std::memory_order_relaxed);
}

double TwipsToPixels(int twips) {
    return twips / kTwipsPerPixel;
}

int PixelsToTwips(qreal pixels) {
    return qRound(pixels * kTwipsPerPixel);
}

QTextListFormat BulletListFormat() {
    QTextListFormat format;
    format.setStyle(QTextListFormat::ListDisc);
    format.setIndent(0); // the paragraph's own left indent places the text
    return format;
}

// ---- paragraph format pieces

Qt::Alignment ToQtAlignment(rtf::Alignment alignment) {
    switch (alignment) {
    case rtf::Alignment::Right:
        return Qt::AlignRight;
    case rtf::Alignment::Center:
        return Qt::AlignHCenter;
    case rtf::Alignment::Justify:
        return Qt::AlignJustify;
    case rtf::Alignment::Left:
        break;
    }
    return Qt::AlignLeft;
}

rtf::Alignment FromQtAlignment(Qt::Alignment alignment) {
    const Qt::Alignment horizontal = alignment & Qt::AlignHorizontal_Mask;
    if (horizontal & Qt::AlignJustify)
        return rtf::Alignment::Justify;
    if (horizontal & Qt::AlignHCenter)
        return rtf::Alignment::Center;
    if (horizontal & Qt::AlignRight)
        return rtf::Alignment::Right;
    return rtf::Alignment::Left;
}

QTextOption::Tab ToQtTab(const rtf::TabStop& tab) {
    QTextOption::Tab qtTab;
    qtTab.position = TwipsToPixels(tab.position);
    switch (tab.kind) {
    case rtf::TabKind::Center:
        qtTab.type = QTextOption::CenterTab;
        break;
    case rtf::TabKind::Right:
        qtTab.type = QTextOption::RightTab;
        break;
    case rtf::TabKind::Decimal:
        qtTab.type = QTextOption::DelimiterTab;
        qtTab.delimiter = QLatin1Char('.');
        break;
    case rtf::TabKind::Left:
    case rtf::TabKind::Bar:
        qtTab.type = QTextOption::LeftTab;
        break;
    }
    return qtTab;
}

rtf::TabStop FromQtTab(const QTextOption::Tab& qtTab) {
    rtf::TabStop tab;
    tab.position = PixelsToTwips(qtTab.position);
    switch (qtTab.type) {
    case QTextOption::CenterTab:
        tab.kind = rtf::TabKind::Center;
        break;
    case QTextOption::RightTab:
        tab.kind = rtf::TabKind::Right;
        break;
    case QTextOption::DelimiterTab:
        tab.kind = rtf::TabKind::Decimal;
        break;
    case QTextOption::LeftTab:
        break;
    }
    return tab;
}

QVariantList EncodeTabs(const std::vector<rtf::TabStop>& tabs) {
    QVariantList list;
    list.reserve(static_cast<qsizetype>(tabs.size() * 3));
    for (const rtf::TabStop& tab : tabs) {
        list << tab.position << static_cast<int>(tab.kind) << static_cast<int>(tab.leader);
    }
    return list;
}

std::vector<rtf::TabStop> DecodeTabs(const QVariantList& list) {
    std::vector<rtf::TabStop> tabs;
    for (qsizetype i = 0; i + 2 < list.size(); i += 3) {
        rtf::TabStop tab;
        tab.position = list[i].toInt();
        tab.kind = static_cast<rtf::TabKind>(std::clamp(list[i + 1].toInt(), 0, 4));
        tab.leader = static_cast<rtf::TabLeader>(std::clamp(list[i + 2].toInt(), 0, 5));
        tabs.push_back(tab);
    }
    return tabs;
}

QColor ToQColor(const rtf::Color& color) {
    return QColor(color.red, color.green, color.blue);
}

// No brush is the auto colour (the window's text colour, no background).
rtf::Color ColorOf(const QTextCharFormat& format, int brushProperty) {
    if (!format.hasProperty(brushProperty))
        return rtf::Color::Auto();
    const QBrush brush = format.brushProperty(brushProperty);
    if (brush.style() == Qt::NoBrush)
        return rtf::Color::Auto();
    const QColor c = brush.color();
    return rtf::Color::Rgb(static_cast<std::uint8_t>(c.red()), static_cast<std::uint8_t>(c.green()),
                           static_cast<std::uint8_t>(c.blue()));
}

// An exact value carried beside Qt's pixels, else the pixels converted.
int ExactTwips(const QTextFormat& format, int property, qreal pixels) {
    const QVariant exact = format.property(property);
    return exact.isValid() ? exact.toInt() : PixelsToTwips(pixels);
}

void LineSpacingFromQt(const QTextBlockFormat& format, rtf::ParaFormat& para) {
    const QVariant exact = format.property(kQtLineSpacing);
    if (exact.isValid()) {
        para.lineSpacing = exact.toInt();
        para.lineSpacingMultiple = format.property(kQtLineSpacingMultiple).toBool();
        return;
    }
    switch (format.lineHeightType()) {
    case QTextBlockFormat::ProportionalHeight:
        para.lineSpacing = qRound(format.lineHeight() * 240 / 100);
        para.lineSpacingMultiple = true;
        break;
    case QTextBlockFormat::FixedHeight:
        para.lineSpacing = -PixelsToTwips(format.lineHeight());
        break;
    case QTextBlockFormat::MinimumHeight:
        para.lineSpacing = PixelsToTwips(format.lineHeight());
        break;
    default:
        break;
    }
}

void SetDocumentDefaultFormat(QTextDocument& document, const rtf::CharFormat& format) {
    QTextFrameFormat frame = document.rootFrame()->frameFormat();
    frame.setProperty(kQtDefaultFormat, QVariant::fromValue<QTextFormat>(ToQtCharFormat(format)));
    document.rootFrame()->setFrameFormat(frame);
}

// ---- writing the model into a document

// Conversions are cached: a topic uses a handful of formats over thousands
// of runs, and Qt finds an identical format object faster than an equal one.
class WriteCache {
public:
    const QTextCharFormat& Char(const rtf::CharFormat& format) {
        return Lookup(chars_, format, [](const rtf::CharFormat& f) { return ToQtCharFormat(f); });
    }
    const QTextBlockFormat& Block(const rtf::ParaFormat& format) {
        return Lookup(blocks_, format, [](const rtf::ParaFormat& f) { return ToQtBlockFormat(f); });
    }
    // The block format of a cell's first paragraph: its own, with the
    // format of its paragraph mark riding on it.
    const QTextBlockFormat& CellBlock(const rtf::RtfDocument& model,
                                      const rtf::Paragraph& paragraph) {
        const std::pair<std::uint32_t, std::uint32_t> key{paragraph.format, paragraph.markFormat};
        for (const auto& entry : cellBlocks_)
            if (entry.first == key)
                return entry.second;
        QTextBlockFormat block = Block(model.ParaFormatOf(paragraph));
        block.setProperty(kQtCellMarkFormat,
                          QVariant::fromValue<QTextFormat>(Char(model.MarkFormatOf(paragraph))));
        cellBlocks_.emplace_back(key, std::move(block));
        return cellBlocks_.back().second;
    }
    // The format of a run that belongs to a field (or is an object).
    QTextCharFormat RunFormat(const rtf::Run& run, const rtf::CharFormat& runFormat) {
        if (!run.field && !run.IsObject())
            return Char(runFormat);
        QTextCharFormat format = Char(runFormat);
        if (run.field) {
            if (run.field != lastField_) {
                lastField_ = run.field;
                lastFieldId_ = NextFieldId();
            }
            format.setProperty(kQtFieldId, lastFieldId_);
            format.setProperty(kQtFieldInstruction, ToByteArray(*run.field));
        }
        if (run.IsObject()) {
            format.setObjectType(kRtfObjectType);
            format.setProperty(kQtObjectRtf, ToByteArray(*run.object));
        }
        return format;
    }
    void EndOfRun(const rtf::Run& run) {
        if (!run.field)
            lastField_.reset();
    }

private:
    template <typename Model, typename Qt, typename Convert>
    const Qt& Lookup(std::vector<std::pair<Model, Qt>>& cache, const Model& format,
                     Convert convert) {
        if (!cache.empty() && cache.back().first == format)
            return cache.back().second;
        for (auto& entry : cache)
            if (entry.first == format)
                return entry.second;
        cache.emplace_back(format, convert(format));
        return cache.back().second;
    }

    std::vector<std::pair<rtf::CharFormat, QTextCharFormat>> chars_;
    std::vector<std::pair<rtf::ParaFormat, QTextBlockFormat>> blocks_;
    std::deque<std::pair<std::pair<std::uint32_t, std::uint32_t>, QTextBlockFormat>> cellBlocks_;
    std::shared_ptr<const std::string> lastField_;
    int lastFieldId_ = 0;
};

void InsertRuns(QTextCursor& cursor, const rtf::RtfDocument& model, const rtf::Paragraph& paragraph,
                WriteCache& cache) {
    static const QString objectChar = QString(QChar(kQtObjectChar));
    rtf::ForEachRun(paragraph, [&](const rtf::Run& run, std::string_view text) {
        if (run.IsObject())
            cursor.insertText(objectChar, cache.RunFormat(run, model.FormatOf(run)));
        else if (!text.empty())
            cursor.insertText(ModelTextToQt(text), cache.RunFormat(run, model.FormatOf(run)));
        cache.EndOfRun(run);
    });
}

// Keeps a run of bullet paragraphs in one Qt list, as Qt itself does when
// Enter is pressed in one.
class BulletLists {
public:
    void Paragraph(QTextCursor& cursor, bool bullet) {
        if (!bullet) {
            list_ = nullptr;
            return;
        }
        if (list_)
            list_->add(cursor.block());
        else
            list_ = cursor.createList(BulletListFormat());
    }

private:
    QTextList* list_ = nullptr;
};

// Writes the model's paragraphs, its tables as QTextTables.
class TableWriter {
public:
    TableWriter(const rtf::RtfDocument& model, WriteCache& cache) : model_(model), cache_(cache) {}

    // Paragraphs [begin, end) of a container at `depth` (0 the document,
    // else a cell); `blockReady`: the cursor stands in an empty block that
    // the first paragraph takes.
    void Paragraphs(QTextCursor& cursor, std::size_t begin, std::size_t end, int depth,
                    bool blockReady) {
        const auto& paragraphs = model_.Paragraphs();
        BulletLists lists;
        for (std::size_t i = begin; i < end;) {
            const rtf::Paragraph& paragraph = paragraphs[i];
            if (paragraph.depth > depth) {
                std::size_t j = i;
                while (j < end && paragraphs[j].depth > depth)
                    ++j;
                Table(cursor, i, j, depth + 1);
                blockReady = true; // the block after the table
                i = j;
                continue;
            }
            // Qt's block character format is what typing into an empty
            // block uses, as the paragraph mark's format is in the model.
            const rtf::ParaFormat& format = model_.ParaFormatOf(paragraph);
            if (blockReady && depth > 0 && i == begin) {
                // The first block of a cell: its character format is the
                // cell's, so the paragraph mark's rides on the block.
                cursor.setBlockFormat(cache_.CellBlock(model_, paragraph));
            } else if (blockReady) {
                cursor.setBlockFormat(cache_.Block(format));
                cursor.setBlockCharFormat(cache_.Char(model_.MarkFormatOf(paragraph)));
            } else {
                cursor.insertBlock(cache_.Block(format),
                                   cache_.Char(model_.MarkFormatOf(paragraph)));
            }
            blockReady = false;
            lists.Paragraph(cursor, format.bullet);
            InsertRuns(cursor, model_, paragraph, cache_);
            ++i;
        }
    }

private:
    struct Cell {
        std::size_t begin, end; // paragraphs
    };
    struct Row {
        std::vector<Cell> cells;
        const rtf::RowFormat* format = nullptr;
        std::vector<int> edges;
    };

public:
    // A run of rows at `depth`: paragraphs [begin, end), each at that depth
    // or deeper, the last one a row end. The table goes in at the cursor;
    // the cursor ends at the start of the block after it.
    void Table(QTextCursor& cursor, std::size_t begin, std::size_t end, int depth) {
        const auto& paragraphs = model_.Paragraphs();
        std::vector<Row> rows;
        Row row;
        std::size_t cellStart = begin;
        for (std::size_t i = begin; i < end; ++i) {
            const rtf::Paragraph& p = paragraphs[i];
            if (p.depth != depth || !p.cellEnd)
                continue;
            row.cells.push_back(Cell{cellStart, i + 1});
            cellStart = i + 1;
            if (p.row) {
                row.format = p.row.get();
                rows.push_back(std::move(row));
                row = Row{};
            }
        }
        if (rows.empty())
            return; // NormalizeTables leaves none such
        // Columns: every cell edge of every row.
        std::vector<int> columns;
        int left = rows.front().format->left;
        for (Row& r : rows) {
            r.edges = r.format->Edges(r.cells.size());
            columns.insert(columns.end(), r.edges.begin(), r.edges.end());
            left = std::min(left, r.format->left);
        }
        std::sort(columns.begin(), columns.end());
        columns.erase(std::unique(columns.begin(), columns.end()), columns.end());

        const rtf::RowFormat& first = *rows.front().format;
        QTextTableFormat tableFormat;
        tableFormat.setBorder(0);
        tableFormat.setCellSpacing(0);
        tableFormat.setCellPadding(0);
        tableFormat.setLeftMargin(TwipsToPixels(std::max(left + first.gap, 0)));
        tableFormat.setAlignment(first.alignment == rtf::Alignment::Center  ? Qt::AlignHCenter
                                 : first.alignment == rtf::Alignment::Right ? Qt::AlignRight
                                                                            : Qt::AlignLeft);
        QList<QTextLength> widths;
        int previous = left;
        for (int edge : columns) {
            widths.append(QTextLength(QTextLength::FixedLength, TwipsToPixels(edge - previous)));
            previous = edge;
        }
        tableFormat.setColumnWidthConstraints(widths);
        int headers = 0;
        while (headers < static_cast<int>(rows.size()) &&
               rows[static_cast<std::size_t>(headers)].format->header)
            ++headers;
        tableFormat.setHeaderRowCount(headers);
        const bool bordered = std::any_of(rows.begin(), rows.end(),
                                          [](const Row& r) { return r.format->AnyBorder(); });

        // The Qt columns each cell spans: from the column after the cell
        // before to the column of its edge, the last cell to the table's end.
        std::vector<std::vector<Span>> spans(rows.size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const Row& current = rows[r];
            std::size_t column = 0;
            for (std::size_t c = 0; c < current.cells.size(); ++c) {
                std::size_t last = static_cast<std::size_t>(
                    std::lower_bound(columns.begin(), columns.end(), current.edges[c]) -
                    columns.begin());
                if (c + 1 == current.cells.size())
                    last = columns.size() - 1;
                spans[r].push_back(Span{column, std::max(last, column)});
                column = last + 1;
            }
        }
        // Where two cells meet, one line is drawn: the stronger of their
        // borders. When every row has the same cells, the borders are
        // resolved here and each line is given to one cell only; Qt then
        // needs no look at the neighbours of every cell, which on a long
        // table costs more than the rest of its layout. Rows of different
        // cells leave it to Qt.
        const bool sameCells = std::all_of(spans.begin(), spans.end(),
                                           [&](const auto& s) { return s == spans.front(); });
        tableFormat.setBorderCollapse(!sameCells);
        std::vector<std::vector<CellLook>> looks(rows.size());
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (std::size_t c = 0; c < rows[r].cells.size(); ++c)
                looks[r].push_back(Look(*rows[r].format, c, bordered));
        }
        if (sameCells) {
            for (std::size_t r = 0; r < rows.size(); ++r) {
                for (std::size_t c = 0; c < looks[r].size(); ++c) {
                    CellLook& look = looks[r][c];
                    if (c + 1 < looks[r].size())
                        Collapse(look.sides[rtf::kBorderRight],
                                 looks[r][c + 1].sides[rtf::kBorderLeft]);
                    if (r + 1 < rows.size())
                        Collapse(look.sides[rtf::kBorderBottom],
                                 looks[r + 1][c].sides[rtf::kBorderTop]);
                }
            }
        }

        QTextTable* table = cursor.insertTable(static_cast<int>(rows.size()),
                                               static_cast<int>(columns.size()), tableFormat);
        // Spans first: merging moves the cells that follow.
        for (std::size_t r = 0; r < rows.size(); ++r) {
            for (const Span& span : spans[r])
                if (span.last > span.first)
                    table->mergeCells(static_cast<int>(r), static_cast<int>(span.first), 1,
                                      static_cast<int>(span.last - span.first + 1));
        }
        CellFormats formats;
        for (std::size_t r = 0; r < rows.size(); ++r) {
            const Row& current = rows[r];
            for (std::size_t c = 0; c < current.cells.size(); ++c) {
                QTextTableCell cell =
                    table->cellAt(static_cast<int>(r), static_cast<int>(spans[r][c].first));
                const bool rowEnd = c + 1 == current.cells.size();
                cell.setFormat(formats.Of(looks[r][c], rowEnd ? current.format : nullptr));
                QTextCursor inCell = cell.firstCursorPosition();
                Paragraphs(inCell, current.cells[c].begin, current.cells[c].end, depth, true);
            }
        }
        cursor = table->lastCursorPosition();
        cursor.movePosition(QTextCursor::NextCharacter);
    }

private:
    struct Span {
        std::size_t first, last; // Qt columns
        bool operator==(const Span&) const = default;
    };
    // One side of a cell as Qt draws it; no width is no line.
    struct Side {
        double width = 0;
        QTextFrameFormat::BorderStyle style = QTextFrameFormat::BorderStyle_None;
        QColor color;
        bool operator==(const Side&) const = default;
    };
    // What a cell shows: its sides (by rtf::BorderSide), background, gap.
    struct CellLook {
        std::array<Side, 4> sides;
        std::optional<QColor> background;
        double gap = 0;
        bool operator==(const CellLook&) const = default;
    };

    static int Rank(QTextFrameFormat::BorderStyle style) {
        switch (style) {
        case QTextFrameFormat::BorderStyle_Double:
            return 4;
        case QTextFrameFormat::BorderStyle_Solid:
            return 3;
        case QTextFrameFormat::BorderStyle_Dashed:
            return 2;
        case QTextFrameFormat::BorderStyle_Dotted:
            return 1;
        default:
            return 0;
        }
    }

    // The line where `first` (the left or upper cell's side) meets `second`:
    // the wider one, of equal width the more solid style, else the first;
    // it stays with the first cell.
    static void Collapse(Side& first, Side& second) {
        if (second.width > first.width ||
            (second.width == first.width && Rank(second.style) > Rank(first.style)))
            first = second;
        second = Side{};
    }

    static CellLook Look(const rtf::RowFormat& row, std::size_t index, bool bordered) {
        CellLook look;
        look.gap = TwipsToPixels(std::max(row.gap, 0));
        const rtf::CellFormat cell =
            index < row.cells.size() ? row.cells[index] : rtf::CellFormat{};
        for (int side = 0; side < 4; ++side) {
            const rtf::TableBorder& border = cell.borders[side];
            Side& shown = look.sides[static_cast<std::size_t>(side)];
            if (border.Present()) {
                shown.width = std::max(1.0, TwipsToPixels(border.width));
                shown.style = QTextFrameFormat::BorderStyle_Solid;
                switch (border.style) {
                case rtf::BorderStyle::Double:
                    shown.style = QTextFrameFormat::BorderStyle_Double;
                    break;
                case rtf::BorderStyle::Dotted:
                    shown.style = QTextFrameFormat::BorderStyle_Dotted;
                    break;
                case rtf::BorderStyle::Dashed:
                    shown.style = QTextFrameFormat::BorderStyle_Dashed;
                    break;
                default:
                    break;
                }
                shown.color = border.color.isAuto ? QColor(Qt::black) : ToQColor(border.color);
            } else if (!bordered) {
                // A table without borders shows a faint grid, so that its cells
                // can be seen while editing.
                shown.width = 1;
                shown.style = QTextFrameFormat::BorderStyle_Dotted;
                shown.color = QColor(192, 192, 192);
            }
        }
        if (!cell.background.isAuto) {
            look.background = ToQColor(cell.background);
        } else if (cell.shading > 0) {
            const int level = 255 - std::clamp(cell.shading, 0, 10000) * 255 / 10000;
            look.background = QColor(level, level, level);
        }
        return look;
    }

    static QTextTableCellFormat CellFormat(const CellLook& look) {
        QTextTableCellFormat format;
        format.setLeftPadding(look.gap);
        format.setRightPadding(look.gap);
        using Setter = void (QTextTableCellFormat::*)(qreal);
        using StyleSetter = void (QTextTableCellFormat::*)(QTextFrameFormat::BorderStyle);
        using BrushSetter = void (QTextTableCellFormat::*)(const QBrush&);
        static constexpr Setter kWidth[] = {
            &QTextTableCellFormat::setTopBorder, &QTextTableCellFormat::setLeftBorder,
            &QTextTableCellFormat::setBottomBorder, &QTextTableCellFormat::setRightBorder};
        static constexpr StyleSetter kStyle[] = {&QTextTableCellFormat::setTopBorderStyle,
                                                 &QTextTableCellFormat::setLeftBorderStyle,
                                                 &QTextTableCellFormat::setBottomBorderStyle,
                                                 &QTextTableCellFormat::setRightBorderStyle};
        static constexpr BrushSetter kBrush[] = {&QTextTableCellFormat::setTopBorderBrush,
                                                 &QTextTableCellFormat::setLeftBorderBrush,
                                                 &QTextTableCellFormat::setBottomBorderBrush,
                                                 &QTextTableCellFormat::setRightBorderBrush};
        for (std::size_t side = 0; side < 4; ++side) {
            const Side& shown = look.sides[side];
            if (shown.width <= 0)
                continue;
            (format.*kWidth[side])(shown.width);
            (format.*kStyle[side])(shown.style);
            (format.*kBrush[side])(QBrush(shown.color));
        }
        if (look.background)
            format.setBackground(*look.background);
        return format;
    }

    // The cell formats of one table: a table has a handful of different
    // cells, and rows of one definition, over many rows.
    class CellFormats {
    public:
        // A row's last cell carries the row (`row` not null).
        const QTextTableCellFormat& Of(const CellLook& look, const rtf::RowFormat* row) {
            QByteArray bytes;
            if (row) {
                if (row != lastRow_ && !(lastRow_ && *row == *lastRow_))
                    lastBytes_ = ToByteArray(rtf::EncodeRow(*row));
                lastRow_ = row;
                bytes = lastBytes_;
            }
            for (const Entry& entry : formats_)
                if (entry.look == look && entry.row == bytes)
                    return entry.format;
            QTextTableCellFormat format = CellFormat(look);
            if (row)
                format.setProperty(kQtRowFormat, bytes);
            formats_.push_back(Entry{look, bytes, std::move(format)});
            return formats_.back().format;
        }

    private:
        struct Entry {
            CellLook look;
            QByteArray row;
            QTextTableCellFormat format;
        };
        std::deque<Entry> formats_;
        const rtf::RowFormat* lastRow_ = nullptr;
        QByteArray lastBytes_;
    };

    const rtf::RtfDocument& model_;
    WriteCache& cache_;
};

// ---- reading a document into the model

struct ReadFormat {
    rtf::CharFormat format;
    std::uint32_t index = 0; // of `format` in the model being read
    bool isObject = false;
    std::shared_ptr<const std::string> object;
    int fieldId = 0;
    QByteArray fieldInstruction;
};

class ReadCache {
public:
    ReadCache(const QTextDocument& document, rtf::RtfDocument& model)
        : fallback_(DocumentDefaultFormat(document)), model_(model) {}

    // `qtFormat` gives the Qt format of the index; it runs once per index.
    template <typename QtFormat> const ReadFormat& Char(int index, QtFormat qtFormat) {
        auto it = chars_.find(index);
        if (it != chars_.end())
            return it->second;
        const QTextCharFormat qt = qtFormat();
        ReadFormat read;
        read.format = FromQtCharFormat(qt, fallback_);
        // Text typed into an empty cell takes the cell's format: its
        // shading is the cell's, not the text's.
        if (qt.hasProperty(QTextFormat::TableCellLeftPadding))
            read.format.background = rtf::Color::Auto();
        read.index = model_.InternFormat(read.format);
        read.isObject = qt.objectType() == kRtfObjectType;
        if (read.isObject)
            read.object = std::make_shared<const std::string>(
                FromByteArray(qt.property(kQtObjectRtf).toByteArray()));
        read.fieldId = qt.property(kQtFieldId).toInt();
        if (read.fieldId != 0)
            read.fieldInstruction = qt.property(kQtFieldInstruction).toByteArray();
        return chars_.emplace(index, std::move(read)).first->second;
    }

    // The model's index of the format of the paragraph mark a cell's first
    // block carries, if it carries one.
    std::optional<std::uint32_t> CellMark(const QTextBlock& block) {
        const int index = block.blockFormatIndex();
        auto it = cellMarks_.find(index);
        if (it != cellMarks_.end())
            return it->second;
        std::optional<std::uint32_t> mark;
        const QVariant stored = block.blockFormat().property(kQtCellMarkFormat);
        if (stored.isValid())
            mark = model_.InternFormat(
                FromQtCharFormat(stored.value<QTextFormat>().toCharFormat(), fallback_));
        return cellMarks_.emplace(index, mark).first->second;
    }

    // The model's index of the block's paragraph format.
    std::uint32_t Para(const QTextBlock& block) {
        const int index = block.blockFormatIndex();
        auto it = paras_.find(index);
        if (it != paras_.end())
            return it->second;
        return paras_.emplace(index, model_.InternFormat(FromQtBlock(block))).first->second;
    }

    std::shared_ptr<const std::string> Field(const ReadFormat& format) {
        if (format.fieldId == 0)
            return nullptr;
        auto& field = fields_[format.fieldId];
        if (!field)
            field = std::make_shared<const std::string>(FromByteArray(format.fieldInstruction));
        return field;
    }

private:
    rtf::CharFormat fallback_;
    rtf::RtfDocument& model_;
    std::unordered_map<int, ReadFormat> chars_;
    std::unordered_map<int, std::uint32_t> paras_;
    std::unordered_map<int, std::optional<std::uint32_t>> cellMarks_;
    std::unordered_map<int, std::shared_ptr<const std::string>> fields_;
};

void AppendFragment(rtf::Paragraph& paragraph, QStringView text, const ReadFormat& format,
                    ReadCache& cache) {
    auto field = cache.Field(format);
    if (!format.isObject) {
        rtf::AppendRun(paragraph, QtTextToModel(text), format.index, {}, field);
        return;
    }
    // Equal neighbouring objects share one fragment: one run each. Text typed
    // next to an object may have inherited its format: it is text.
    qsizetype start = 0;
    for (qsizetype i = 0; i <= text.size(); ++i) {
        if (i < text.size() && text[i] != QChar(kQtObjectChar))
            continue;
        if (i > start)
            rtf::AppendRun(paragraph, QtTextToModel(text.mid(start, i - start)), format.index, {},
                           field);
        if (i < text.size())
            rtf::AppendRun(paragraph, std::string_view(&rtf::kObjectChar, 1), format.index,
                           format.object, field);
        start = i + 1;
    }
}

void AppendBlockRange(rtf::Paragraph& paragraph, const QTextBlock& block, int from, int to,
                      ReadCache& cache) {
    for (QTextBlock::iterator it = block.begin(); !it.atEnd(); ++it) {
        const QTextFragment fragment = it.fragment();
        const int start = fragment.position();
        const int end = start + fragment.length();
        if (end <= from)
            continue;
        if (start >= to)
            break;
        const ReadFormat& format =
            cache.Char(fragment.charFormatIndex(), [&] { return fragment.charFormat(); });
        const QString text = fragment.text();
        const int cutStart = std::max(start, from);
        const int cutEnd = std::min(end, to);
        QStringView piece = QStringView(text).mid(cutStart - start, cutEnd - cutStart);
        if (format.isObject || piece.contains(QChar(kQtObjectChar))) {
            AppendFragment(paragraph, piece, format, cache);
            continue;
        }
        rtf::AppendRun(paragraph, QtTextToModel(piece), format.index, {}, cache.Field(format));
    }
}

// The place of each block in the tables: its depth, whether it ends its
// cell and, for the last cell of a row, the row.
class TableReader {
public:
    explicit TableReader(const QTextDocument& document) : document_(document) {}

    void Place(const QTextBlock& block, rtf::Paragraph& paragraph) {
        QTextFrame* frame = document_.frameAt(block.position());
        QTextTable* table = nullptr;
        int depth = 0;
        for (QTextFrame* f = frame; f; f = f->parentFrame()) {
            if (auto* t = qobject_cast<QTextTable*>(f)) {
                if (!table)
                    table = t;
                ++depth;
            }
        }
        paragraph.depth = static_cast<std::uint8_t>(std::min(depth, 255));
        if (!table)
            return;
        const Cell* cell = CellAt(*table, block.position());
        if (!cell)
            return;
        const int end = block.position() + block.length() - 1;
        if (end != cell->last)
            return;
        paragraph.cellEnd = true;
        if (cell->rowEnd)
            paragraph.row = Row(*table, cell->cell);
    }

private:
    // A table's cells in the order of the text, each once, and the range
    // of the text each holds.
    struct Cell {
        QTextTableCell cell;
        int first = 0, last = 0; // positions; `last` is the cell's end
        bool rowEnd = false;     // it reaches the table's last column
    };
    struct TableCells {
        std::vector<Cell> cells;
        std::size_t next = 0; // where the walk through the blocks is
    };

    // The cell of a table at a position. Blocks are read in the order of the
    // text, so each table's cells are listed once and walked forward; asking
    // Qt for the cell at each block instead searches the table every time.
    const Cell* CellAt(const QTextTable& table, int position) {
        TableCells& walk = tables_[&table];
        if (walk.cells.empty())
            walk.cells = Cells(table);
        if (walk.next < walk.cells.size() && walk.cells[walk.next].first > position)
            walk.next = 0; // read again from the start
        while (walk.next < walk.cells.size() && walk.cells[walk.next].last < position)
            ++walk.next;
        if (walk.next == walk.cells.size() || walk.cells[walk.next].first > position)
            return nullptr;
        return &walk.cells[walk.next];
    }

    static std::vector<Cell> Cells(const QTextTable& table) {
        std::vector<Cell> cells;
        const int rows = table.rows();
        const int columns = table.columns();
        int taken = -1; // the first position of the last cell listed
        for (int r = 0; r < rows; ++r) {
            for (int c = 0; c < columns;) {
                const QTextTableCell cell = table.cellAt(r, c);
                const int first = cell.firstPosition();
                // The columns it spans in this row.
                int k = c + 1;
                while (k < columns && table.cellAt(r, k).firstPosition() == first)
                    ++k;
                // A cell spanning rows from above was listed in its first row.
                if (first > taken) {
                    if (!cells.empty())
                        cells.back().last = first - 1;
                    cells.push_back(Cell{cell, first, first, k == columns});
                    taken = first;
                }
                c = k;
            }
        }
        if (!cells.empty())
            cells.back().last = table.lastPosition();
        return cells;
    }

    std::shared_ptr<const rtf::RowFormat> Row(const QTextTable& table, const QTextTableCell& cell) {
        const QVariant stored = cell.format().property(kQtRowFormat);
        if (stored.isValid()) {
            const QByteArray bytes = stored.toByteArray();
            if (bytes == lastBytes_ && lastRow_)
                return lastRow_;
            lastBytes_ = bytes;
            lastRow_ = std::make_shared<const rtf::RowFormat>(rtf::DecodeRow(
                std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size()))));
            return lastRow_;
        }
        // A table made here without a row of ours: the cells' edges from
        // the column widths.
        const QList<QTextLength> widths = table.format().columnWidthConstraints();
        std::vector<int> edges;
        int edge = 0;
        const int row = cell.row();
        for (int c = 0; c < table.columns();) {
            const QTextTableCell each = table.cellAt(row, c);
            const int span = std::max(each.columnSpan(), 1);
            for (int k = c; k < c + span; ++k)
                edge += k < widths.size() && widths[k].type() == QTextLength::FixedLength
                            ? PixelsToTwips(widths[k].rawValue())
                            : 1440;
            edges.push_back(edge);
            c += span;
        }
        return std::make_shared<const rtf::RowFormat>(rtf::RowFormat::WithEdges(edges));
    }

    const QTextDocument& document_;
    std::unordered_map<const QTextTable*, TableCells> tables_;
    QByteArray lastBytes_;
    std::shared_ptr<const rtf::RowFormat> lastRow_;
};

} // namespace

// ---- text

QString ModelTextToQt(std::string_view text) {
    const auto& table = AnsiToUnicodeTable();
    QString out(static_cast<qsizetype>(text.size()), Qt::Uninitialized);
    QChar* data = out.data();
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        data[i] = byte == static_cast<unsigned char>(rtf::kLineBreakChar) ? QChar(kQtLineBreakChar)
                                                                          : QChar(table[byte]);
    }
    return out;
}

std::string QtTextToModel(QStringView text, std::string_view paragraphBreak) {
    std::string out;
    out.reserve(static_cast<std::size_t>(text.size()));
    for (qsizetype i = 0; i < text.size(); ++i) {
        const char16_t c = text[i].unicode();
        if (c < 0x80) {
            out += static_cast<char>(c);
        } else if (c == kQtLineBreakChar) {
            out += rtf::kLineBreakChar;
        } else if (c == QChar::ParagraphSeparator || c == kBeginningOfFrame || c == kEndOfFrame) {
            out += paragraphBreak;
        } else if (c == kQtObjectChar) {
            out += rtf::kObjectChar;
        } else if (QChar::isHighSurrogate(c) && i + 1 < text.size() &&
                   text[i + 1].isLowSurrogate()) {
            out += '?'; // one character, none of Windows-1252
            ++i;
        } else {
            out += UnicodeToAnsi(c);
        }
    }
    return out;
}

// ---- formats

QTextCharFormat ToQtCharFormat(const rtf::CharFormat& format) {
    QTextCharFormat qt;
    qt.setFontFamilies(QStringList{ModelTextToQt(format.face)});
    qt.setFontPointSize(format.size / 2.0);
    qt.setFontWeight(format.bold ? QFont::Bold : QFont::Normal);
    qt.setFontItalic(format.italic);
    switch (format.underline) {
    case rtf::UnderlineKind::None:
        qt.setUnderlineStyle(QTextCharFormat::NoUnderline);
        break;
    case rtf::UnderlineKind::Single:
        qt.setUnderlineStyle(QTextCharFormat::SingleUnderline);
        break;
    case rtf::UnderlineKind::Double:
        // Qt draws one line; the widget draws the second.
        qt.setUnderlineStyle(QTextCharFormat::SingleUnderline);
        qt.setProperty(kQtDoubleUnderline, true);
        break;
    case rtf::UnderlineKind::Dotted:
        qt.setUnderlineStyle(QTextCharFormat::DotLine);
        break;
    }
    qt.setFontStrikeOut(format.strike);
    if (!format.color.isAuto)
        qt.setForeground(ToQColor(format.color));
    if (!format.background.isAuto)
        qt.setBackground(ToQColor(format.background));
    switch (format.script) {
    case rtf::ScriptKind::Super:
        qt.setVerticalAlignment(QTextCharFormat::AlignSuperScript);
        break;
    case rtf::ScriptKind::Sub:
        qt.setVerticalAlignment(QTextCharFormat::AlignSubScript);
        break;
    case rtf::ScriptKind::Normal:
        break;
    }
    if (format.offset != 0) {
        qt.setProperty(kQtOffset, format.offset);
        qt.setBaselineOffset(format.offset * 100.0 / std::max(format.size, 1));
    }
    qt.setProperty(kQtCharset, format.charset);
    qt.setProperty(kQtPitch, format.pitch);
    qt.setProperty(kQtFontFamily, static_cast<int>(format.family));
    if (format.hidden)
        qt.setProperty(kQtHidden, true);
    return qt;
}

rtf::CharFormat FromQtCharFormat(const QTextCharFormat& qt, const rtf::CharFormat& fallback) {
    rtf::CharFormat format;
    const QStringList families = qt.fontFamilies().toStringList();
    if (!families.isEmpty()) {
        format.face = QtTextToModel(families.first());
    } else {
        format.face = fallback.face;
    }
    format.charset = qt.hasProperty(kQtCharset) ? qt.intProperty(kQtCharset) : fallback.charset;
    format.pitch = qt.hasProperty(kQtPitch) ? qt.intProperty(kQtPitch) : fallback.pitch;
    format.family =
        qt.hasProperty(kQtFontFamily)
            ? static_cast<rtf::FontFamily>(std::clamp(qt.intProperty(kQtFontFamily), 0,
                                                      static_cast<int>(rtf::FontFamily::Bidi)))
            : fallback.family;
    format.size =
        qt.hasProperty(QTextFormat::FontPointSize) ? qRound(qt.fontPointSize() * 2) : fallback.size;
    format.bold = qt.hasProperty(QTextFormat::FontWeight) && qt.fontWeight() >= QFont::DemiBold;
    format.italic = qt.fontItalic();
    switch (qt.underlineStyle()) {
    case QTextCharFormat::NoUnderline:
        format.underline = rtf::UnderlineKind::None;
        break;
    case QTextCharFormat::DotLine:
        format.underline = rtf::UnderlineKind::Dotted;
        break;
    case QTextCharFormat::SingleUnderline:
        format.underline = qt.boolProperty(kQtDoubleUnderline) ? rtf::UnderlineKind::Double
                                                               : rtf::UnderlineKind::Single;
        break;
    default:
        format.underline = rtf::UnderlineKind::Single;
        break;
    }
    format.strike = qt.fontStrikeOut();
    format.color = ColorOf(qt, QTextFormat::ForegroundBrush);
    format.background = ColorOf(qt, QTextFormat::BackgroundBrush);
    format.hidden = qt.boolProperty(kQtHidden);
    switch (qt.verticalAlignment()) {
    case QTextCharFormat::AlignSuperScript:
        format.script = rtf::ScriptKind::Super;
        break;
    case QTextCharFormat::AlignSubScript:
        format.script = rtf::ScriptKind::Sub;
        break;
    default:
        break;
    }
    format.offset = qt.intProperty(kQtOffset);
    return format;
}

QTextBlockFormat ToQtBlockFormat(const rtf::ParaFormat& format) {
    QTextBlockFormat qt;
    qt.setAlignment(ToQtAlignment(format.alignment));
    // A bullet stands in front of the first line, so that line starts at the
    // left indent as the following ones do.
    qt.setTextIndent(format.bullet ? 0.0 : TwipsToPixels(format.firstIndent));
    qt.setLeftMargin(TwipsToPixels(std::max(format.leftIndent, 0)));
    qt.setRightMargin(TwipsToPixels(std::max(format.rightIndent, 0)));
    qt.setTopMargin(TwipsToPixels(std::max(format.spaceBefore, 0)));
    qt.setBottomMargin(TwipsToPixels(std::max(format.spaceAfter, 0)));
    if (format.lineSpacingMultiple && format.lineSpacing > 0)
        qt.setLineHeight(format.lineSpacing * 100.0 / 240, QTextBlockFormat::ProportionalHeight);
    else if (format.lineSpacing < 0)
        qt.setLineHeight(TwipsToPixels(-format.lineSpacing), QTextBlockFormat::FixedHeight);
    else if (format.lineSpacing > 0)
        qt.setLineHeight(TwipsToPixels(format.lineSpacing), QTextBlockFormat::MinimumHeight);
    if (!format.tabs.empty()) {
        QList<QTextOption::Tab> tabs;
        for (const rtf::TabStop& tab : format.tabs)
            tabs.append(ToQtTab(tab));
        qt.setTabPositions(tabs);
    }
    qt.setProperty(kQtFirstIndent, format.firstIndent);
    qt.setProperty(kQtLeftIndent, format.leftIndent);
    qt.setProperty(kQtRightIndent, format.rightIndent);
    qt.setProperty(kQtSpaceBefore, format.spaceBefore);
    qt.setProperty(kQtSpaceAfter, format.spaceAfter);
    qt.setProperty(kQtLineSpacing, format.lineSpacing);
    qt.setProperty(kQtLineSpacingMultiple, format.lineSpacingMultiple);
    qt.setProperty(kQtTabs, EncodeTabs(format.tabs));
    if (format.keepNext)
        qt.setProperty(kQtKeepNext, true);
    return qt;
}

rtf::ParaFormat FromQtBlock(const QTextBlock& block) {
    const QTextBlockFormat qt = block.blockFormat();
    rtf::ParaFormat format;
    format.alignment = FromQtAlignment(qt.alignment());
    format.bullet = block.textList() != nullptr;
    format.firstIndent = ExactTwips(qt, kQtFirstIndent, qt.textIndent());
    format.leftIndent = ExactTwips(qt, kQtLeftIndent, qt.leftMargin());
    format.rightIndent = ExactTwips(qt, kQtRightIndent, qt.rightMargin());
    format.spaceBefore = ExactTwips(qt, kQtSpaceBefore, qt.topMargin());
    format.spaceAfter = ExactTwips(qt, kQtSpaceAfter, qt.bottomMargin());
    LineSpacingFromQt(qt, format);
    if (qt.hasProperty(kQtTabs)) {
        format.tabs = DecodeTabs(qt.property(kQtTabs).toList());
    } else {
        for (const QTextOption::Tab& tab : qt.tabPositions())
            format.tabs.push_back(FromQtTab(tab));
    }
    if (format.tabs.size() > rtf::kMaxTabStops)
        format.tabs.resize(rtf::kMaxTabStops);
    format.keepNext = qt.boolProperty(kQtKeepNext);
    return format;
}

void SetBlockParaFormat(const QTextBlock& block, const rtf::ParaFormat& format) {
    QTextCursor cursor(block);
    QTextList* list = block.textList();
    if (format.bullet && !list) {
        list = block.previous().textList();
        if (!list)
            list = block.next().textList();
        if (!list)
            list = cursor.createList(BulletListFormat());
    } else if (!format.bullet) {
        list = nullptr;
    }
    // A block format names the block's list: Qt moves the block in or out
    // of lists by it.
    QTextBlockFormat qt = ToQtBlockFormat(format);
    if (list)
        qt.setObjectIndex(list->objectIndex());
    cursor.setBlockFormat(qt);
}

rtf::CharFormat DocumentDefaultFormat(const QTextDocument& document) {
    const QVariant stored = document.rootFrame()->frameFormat().property(kQtDefaultFormat);
    if (!stored.isValid())
        return {};
    return FromQtCharFormat(stored.value<QTextFormat>().toCharFormat(), rtf::CharFormat{});
}

// ---- whole documents and ranges

void ModelToQTextDocument(const rtf::RtfDocument& model, QTextDocument& document) {
    document.clear();
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    SetDocumentDefaultFormat(document, model.DefaultFormat());
    WriteCache cache;
    const std::vector<rtf::Paragraph>& paragraphs = model.Paragraphs();
    TableWriter writer(model, cache);
    writer.Paragraphs(cursor, 0, paragraphs.size(), 0, true);
    cursor.endEditBlock();
}

rtf::RtfDocument QTextDocumentToModel(const QTextDocument& document) {
    rtf::RtfDocument model = QTextRangeToModel(document, 0, document.characterCount() - 1);
    return model;
}

rtf::RtfDocument QTextRangeToModel(const QTextDocument& document, int from, int to) {
    const int last = document.characterCount() - 1; // the final paragraph end
    from = std::clamp(from, 0, last);
    to = std::clamp(to, from, last);
    rtf::RtfDocument model;
    model.SetDefaultFormat(DocumentDefaultFormat(document));
    std::vector<rtf::Paragraph>& paragraphs = model.Paragraphs();
    paragraphs.clear();
    ReadCache cache(document, model);
    TableReader tables(document);
    bool anyTable = false;
    for (QTextBlock block = document.findBlock(from); block.isValid(); block = block.next()) {
        rtf::Paragraph& paragraph = paragraphs.emplace_back();
        tables.Place(block, paragraph);
        anyTable = anyTable || paragraph.depth > 0;
        paragraph.format = cache.Para(block);
        const std::optional<std::uint32_t> cellMark =
            paragraph.depth > 0 ? cache.CellMark(block) : std::nullopt;
        if (cellMark) {
            paragraph.markFormat = *cellMark;
        } else {
            paragraph.markFormat =
                cache.Char(block.charFormatIndex(), [&] { return block.charFormat(); }).index;
        }
        AppendBlockRange(paragraph, block, from, to, cache);
        const int end = block.position() + block.length() - 1; // its paragraph end
        if (end >= to)
            break;
    }
    if (paragraphs.empty())
        paragraphs.emplace_back();
    if (anyTable) {
        // A range cut in a table keeps only the whole rows it holds.
        const std::uint8_t lastDepth = paragraphs.back().depth;
        if (lastDepth > 0 && !paragraphs.back().RowEnd()) {
            paragraphs.back().depth = 0;
            paragraphs.back().cellEnd = false;
        }
        model.NormalizeTables();
    }
    model.Normalize();
    return model;
}

void InsertModel(QTextCursor& cursor, const rtf::RtfDocument& model) {
    cursor.beginEditBlock();
    if (cursor.hasSelection())
        cursor.removeSelectedText();
    // The text after the cursor keeps its paragraph: the breaks inserted
    // give it a block of its own format each time.
    const QTextBlockFormat tailFormat = cursor.blockFormat();
    const QTextCharFormat tailMark = cursor.blockCharFormat();
    WriteCache cache;
    // Tables come in as tables, after the paragraph before them and before
    // the text after the cursor; pasted into a cell, cells come in as the
    // paragraphs they hold.
    const bool intoTable = cursor.currentTable() != nullptr;
    TableWriter tables(model, cache);
    const std::vector<rtf::Paragraph>& paragraphs = model.Paragraphs();
    for (std::size_t i = 0; i + 1 < paragraphs.size(); ++i) {
        const rtf::Paragraph& paragraph = paragraphs[i];
        if (!intoTable && paragraph.depth > 0) {
            std::size_t j = i;
            while (j < paragraphs.size() && paragraphs[j].depth > 0)
                ++j;
            tables.Table(cursor, i, j, 1);
            cursor.setBlockFormat(tailFormat);
            cursor.setBlockCharFormat(tailMark);
            i = j - 1;
            continue;
        }
        InsertRuns(cursor, model, paragraph, cache);
        SetBlockParaFormat(cursor.block(), model.ParaFormatOf(paragraph));
        cursor.setBlockCharFormat(cache.Char(model.MarkFormatOf(paragraph)));
        if (!intoTable && paragraphs[i + 1].depth > 0)
            continue; // the table ends this paragraph
        cursor.insertBlock(tailFormat, tailMark);
    }
    if (!paragraphs.empty())
        InsertRuns(cursor, model, paragraphs.back(), cache);
    cursor.endEditBlock();
}

} // namespace components::ui
