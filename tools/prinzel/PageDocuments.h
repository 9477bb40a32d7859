#pragma once

#include <QFont>
#include <QList>
#include <QPointF>
#include <QRectF>
#include <QTextDocument>
#include <memory>

class QPainter;
class QPaintDevice;

// Documents laid out for the device they will be drawn on, so that text is
// measured at its resolution, in the layout's font.
class DocumentMaker {
public:
    DocumentMaker(QPaintDevice &device, const QFont &font);

    // Laid out to a width, in one piece.
    std::shared_ptr<QTextDocument> make(const QString &html, qreal width) const;
    // Laid out to a width without wrapping: each line too long for it is
    // cut after the last character that fits.
    std::shared_ptr<QTextDocument> makeCut(const QString &html, qreal width) const;
    // Laid out in pages of this size.
    std::shared_ptr<QTextDocument> make(const QString &html, QSizeF page) const;
    // The height the HTML takes at a width.
    qreal height(const QString &html, qreal width) const;

private:
    std::shared_ptr<QTextDocument> blank() const;

    QPaintDevice &m_device;
    QFont m_font;
};

// A laid-out line that holds text, in its document's coordinates: the
// rectangle of its text and where its first character ends.
struct TextLine {
    QRectF text;
    qreal firstCharacterRight = 0;
};

// The lines of a document that start above `height`, each cut off there as
// the document is when drawn to that height.
QList<TextLine> textLines(const QTextDocument &document, qreal height);

// Part of a document shown on a page: `source` in the document's own
// coordinates, drawn with its top left at `at` within the body.
struct BodyPiece {
    std::shared_ptr<QTextDocument> document;
    QRectF source;
    QPointF at;

    void draw(QPainter &painter, QPointF bodyTopLeft) const;
};

using BodyPage = QList<BodyPiece>;
