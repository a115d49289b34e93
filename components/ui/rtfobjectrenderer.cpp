#include "components/ui/rtfobjectrenderer.h"

#include <QAbstractTextDocumentLayout>
#include <QByteArray>
#include <QFontMetricsF>
#include <QPainter>
#include <QTextCharFormat>
#include <QTextDocument>
#include <algorithm>
#include <string>

#include "components/rtf/rtftokenizer.h"
#include "components/ui/rtfqtdocument.h"
#include "platform/littleendian.h"
#include "platform/textutil.h"

namespace components::ui {

namespace {

// No picture in a topic is meant to be larger than a screen; a bigger size
// in the RTF is a fault, not a reason to allocate.
constexpr double kMaxSide = 4096;
constexpr double kBoxSide = 32;

enum class PictKind { Unknown, Png, Jpeg, Dib, Metafile };

struct PictInfo {
    PictKind kind = PictKind::Unknown;
    int picw = 0, pich = 0, goalw = 0, goalh = 0;
    int scalex = 100, scaley = 100;
    std::string data;
};

void ReadPictWord(const rtf::Token& token, PictInfo& pict) {
    const std::string_view name = token.name;
    if (name == "pngblip")
        pict.kind = PictKind::Png;
    else if (name == "jpegblip")
        pict.kind = PictKind::Jpeg;
    else if (name == "dibitmap")
        pict.kind = PictKind::Dib;
    else if (name == "wmetafile" || name == "emfblip" || name == "macpict")
        pict.kind = PictKind::Metafile;
    else if (name == "picw")
        pict.picw = token.param;
    else if (name == "pich")
        pict.pich = token.param;
    else if (name == "picwgoal")
        pict.goalw = token.param;
    else if (name == "pichgoal")
        pict.goalh = token.param;
    else if (name == "picscalex")
        pict.scalex = token.param;
    else if (name == "picscaley")
        pict.scaley = token.param;
}

void AppendHex(std::string_view text, std::string& data, int& pendingNibble) {
    for (char c : text) {
        const int value = platform::HexDigitValue(c);
        if (value < 0)
            continue;
        if (pendingNibble < 0) {
            pendingNibble = value;
        } else {
            data += static_cast<char>(pendingNibble << 4 | value);
            pendingNibble = -1;
        }
    }
}

// The first "\pict" group anywhere in the object (a picture, the result of
// an embedded object or a shape's picture). Returns false when there is none.
bool FindPict(std::string_view rtf, PictInfo& pict) {
    rtf::Lexer lexer(rtf);
    rtf::Token token;
    int pictDepth = -1;
    int pendingNibble = -1;
    while (lexer.Next(token)) {
        const int depth = lexer.Depth();
        if (pictDepth < 0) {
            if (token.Is("pict"))
                pictDepth = depth;
            continue;
        }
        if (depth < pictDepth)
            return true; // the group closed
        if (depth > pictDepth)
            continue; // "{\*\blipuid ...}" and the like
        switch (token.kind) {
        case rtf::TokenKind::ControlWord:
            ReadPictWord(token, pict);
            break;
        case rtf::TokenKind::Text:
            AppendHex(token.raw, pict.data, pendingNibble);
            break;
        case rtf::TokenKind::BinaryData:
            pict.data.append(token.raw);
            break;
        default:
            break;
        }
    }
    return pictDepth >= 0;
}

// The word that names the object: "pict", "object", "footnote", ...
std::string_view ObjectWord(std::string_view rtf) {
    rtf::Lexer lexer(rtf);
    rtf::Token token;
    while (lexer.Next(token)) {
        if (token.kind == rtf::TokenKind::ControlWord)
            return token.name;
        if (token.kind != rtf::TokenKind::GroupStart && !token.IsSymbol('*'))
            break;
    }
    return {};
}

// A device-independent bitmap with the file header that QImage expects.
QImage DecodeDib(const std::string& dib) {
    const auto headerSize = platform::ReadLE32(dib, 0);
    const auto bitCount = platform::ReadLE16(dib, 14);
    const auto compression = platform::ReadLE32(dib, 16);
    const auto colorsUsed = platform::ReadLE32(dib, 32);
    if (!headerSize || !bitCount || !compression || !colorsUsed || *headerSize < 40 ||
        *headerSize > dib.size())
        return {};
    std::uint64_t palette = *colorsUsed;
    if (palette == 0 && *bitCount <= 8)
        palette = 1u << *bitCount;
    std::uint64_t offset = 14 + std::uint64_t{*headerSize} + 4 * palette;
    if (*compression == 3 && *headerSize == 40)
        offset += 12; // the three colour masks
    if (offset > 14 + dib.size())
        return {};
    QByteArray file;
    file.reserve(static_cast<qsizetype>(14 + dib.size()));
    file.append("BM", 2);
    std::string header;
    platform::AppendLE32(header, static_cast<std::uint32_t>(14 + dib.size()));
    platform::AppendLE32(header, 0);
    platform::AppendLE32(header, static_cast<std::uint32_t>(offset));
    file.append(header.data(), static_cast<qsizetype>(header.size()));
    file.append(dib.data(), static_cast<qsizetype>(dib.size()));
    return QImage::fromData(file, "BMP");
}

QImage DecodeImage(const PictInfo& pict) {
    const QByteArray data(pict.data.data(), static_cast<qsizetype>(pict.data.size()));
    switch (pict.kind) {
    case PictKind::Png:
        return QImage::fromData(data, "PNG");
    case PictKind::Jpeg:
        return QImage::fromData(data, "JPEG");
    case PictKind::Dib:
        return DecodeDib(pict.data);
    default:
        return {};
    }
}

QSizeF PictSize(const PictInfo& pict, const QImage& image) {
    const double scaleX = pict.scalex > 0 ? pict.scalex / 100.0 : 1.0;
    const double scaleY = pict.scaley > 0 ? pict.scaley / 100.0 : 1.0;
    double width = 0, height = 0;
    if (pict.goalw > 0 && pict.goalh > 0) {
        width = pict.goalw / kTwipsPerPixel;
        height = pict.goalh / kTwipsPerPixel;
    } else if (pict.kind == PictKind::Metafile) {
        width = pict.picw * 96.0 / 2540; // hundredths of a millimetre
        height = pict.pich * 96.0 / 2540;
    } else if (!image.isNull()) {
        width = image.width();
        height = image.height();
    } else {
        width = pict.picw;
        height = pict.pich;
    }
    width *= scaleX;
    height *= scaleY;
    if (width <= 0 || height <= 0)
        return {kBoxSide, kBoxSide};
    return {std::min(width, kMaxSide), std::min(height, kMaxSide)};
}

} // namespace

RtfObjectPicture DecodeRtfObject(std::string_view rtf) {
    RtfObjectPicture picture;
    const std::string_view word = ObjectWord(rtf);
    if (word == "footnote") {
        picture.label = QStringLiteral("footnote");
        return picture; // sized by the text's font when drawn
    }
    picture.label = word == "object" ? QStringLiteral("object") : QStringLiteral("picture");
    PictInfo pict;
    if (!FindPict(rtf, pict)) {
        picture.size = {kBoxSide, kBoxSide};
        return picture;
    }
    picture.image = DecodeImage(pict);
    picture.size = PictSize(pict, picture.image);
    return picture;
}

void TRtfObjectRenderer::Install(QTextDocument& document) {
    QAbstractTextDocumentLayout* layout = document.documentLayout();
    if (layout->handlerForObject(kRtfObjectType))
        return;
    layout->registerHandler(kRtfObjectType, new TRtfObjectRenderer(&document));
}

const RtfObjectPicture& TRtfObjectRenderer::PictureOf(const QTextFormat& format) {
    const QByteArray rtf = format.property(kQtObjectRtf).toByteArray();
    auto it = cache_.find(rtf);
    if (it == cache_.end())
        it = cache_.insert(rtf, DecodeRtfObject(std::string_view(
                                    rtf.constData(), static_cast<std::size_t>(rtf.size()))));
    return *it;
}

QSizeF TRtfObjectRenderer::intrinsicSize(QTextDocument*, int, const QTextFormat& format) {
    const RtfObjectPicture& picture = PictureOf(format);
    if (picture.size.isValid() && !picture.size.isEmpty())
        return picture.size;
    const QFontMetricsF metrics(format.toCharFormat().font());
    return {metrics.horizontalAdvance(picture.label) + 6, metrics.height()};
}

void TRtfObjectRenderer::drawObject(QPainter* painter, const QRectF& rect, QTextDocument*, int,
                                    const QTextFormat& format) {
    const RtfObjectPicture& picture = PictureOf(format);
    if (!picture.image.isNull()) {
        painter->drawImage(rect, picture.image);
        return;
    }
    painter->save();
    painter->setPen(QColor(128, 128, 128));
    painter->setBrush(QColor(232, 232, 232));
    painter->drawRect(rect.adjusted(0.5, 0.5, -0.5, -0.5));
    QFont font = format.toCharFormat().font();
    font.setPointSizeF(std::max(6.0, std::min(font.pointSizeF(), rect.height() * 0.45)));
    painter->setFont(font);
    painter->setPen(QColor(64, 64, 64));
    painter->drawText(rect, Qt::AlignCenter | Qt::TextDontClip, picture.label);
    painter->restore();
}

} // namespace components::ui
