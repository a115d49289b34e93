#pragma once
// Draws the objects that topic text carries as RTF (pictures, embedded
// objects, footnotes) inside a QTextDocument. Pictures in PNG, JPEG or
// device-independent bitmap form are shown as they are, at the size the RTF
// asks for; anything else (metafiles, OLE objects, footnotes) is shown as a
// labelled box, so the user sees that something is there and can select,
// move or delete it. The object's RTF is never changed.
#include <QHash>
#include <QImage>
#include <QObject>
#include <QSizeF>
#include <QString>
#include <QTextObjectInterface>
#include <string_view>

class QTextDocument;

namespace components::ui {

// What the renderer makes of one object's RTF; a pure function for tests.
struct RtfObjectPicture {
    QSizeF size;   // in pixels at 96 dpi
    QImage image;  // null when the data cannot be shown
    QString label; // for the box drawn instead ("picture", "object", "footnote")
};
RtfObjectPicture DecodeRtfObject(std::string_view rtf);

class TRtfObjectRenderer : public QObject, public QTextObjectInterface {
    Q_OBJECT
    Q_INTERFACES(QTextObjectInterface)

public:
    // Gives the document's layout a renderer (owned by the document) unless it
    // has one.
    static void Install(QTextDocument& document);

    QSizeF intrinsicSize(QTextDocument* document, int positionInDocument,
                         const QTextFormat& format) override;
    void drawObject(QPainter* painter, const QRectF& rect, QTextDocument* document,
                    int positionInDocument, const QTextFormat& format) override;

private:
    explicit TRtfObjectRenderer(QObject* parent) : QObject(parent) {}
    const RtfObjectPicture& PictureOf(const QTextFormat& format);

    QHash<QByteArray, RtfObjectPicture> cache_;
};

} // namespace components::ui
