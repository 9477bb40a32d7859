#include "PageDocuments.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>

namespace {

// Laid out lines run as long as their text when wrapping is off, and a
// table grows as wide as its longest line. The part of each line that
// would show beyond the document's width (less the block's right margin),
// as document positions [first, last), last ones first so that each can be
// removed in turn.
QList<std::pair<int, int>> overhangs(const QTextDocument &document) {
    QList<std::pair<int, int>> found;
    const QAbstractTextDocumentLayout *documentLayout = document.documentLayout();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextLayout *layout = block.layout();
        if (!layout)
            continue;
        // Where the layout's lines are measured from, in the document: the
        // cell's place for a block within a table.
        const qreal origin = documentLayout->blockBoundingRect(block).x();
        // Half a pixel of give for rounding in the layout.
        const qreal edge = document.textWidth() - origin - block.blockFormat().rightMargin() + 0.5;
        const QString text = block.text();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            int end = line.textStart() + line.textLength();
            if (end > line.textStart() && end <= text.size() &&
                text.at(end - 1) == QChar::LineSeparator)
                --end; // the <br> ending the line stays
            int fits = end;
            while (fits > line.textStart() &&
                   (line.cursorToX(fits) > edge || !layout->isValidCursorPosition(fits)))
                --fits;
            if (fits < end)
                found.prepend({block.position() + fits, block.position() + end});
        }
    }
    return found;
}

} // namespace

DocumentMaker::DocumentMaker(QPaintDevice &device, const QFont &font)
    : m_device(device)
    , m_font(font) {}

std::shared_ptr<QTextDocument> DocumentMaker::blank() const {
    auto document = std::make_shared<QTextDocument>();
    document->documentLayout()->setPaintDevice(&m_device);
    document->setDefaultFont(m_font);
    document->setDocumentMargin(0);
    return document;
}

std::shared_ptr<QTextDocument> DocumentMaker::make(const QString &html, qreal width) const {
    auto document = blank();
    document->setTextWidth(width);
    document->setHtml(html);
    return document;
}

std::shared_ptr<QTextDocument> DocumentMaker::makeCut(const QString &html, qreal width) const {
    auto document = blank();
    QTextOption option = document->defaultTextOption();
    option.setWrapMode(QTextOption::NoWrap);
    document->setDefaultTextOption(option);
    document->setTextWidth(width);
    document->setHtml(html);
    document->size(); // lays it out
    QTextCursor cursor(document.get());
    for (const auto &[first, last] : overhangs(*document)) {
        cursor.setPosition(first);
        cursor.setPosition(last, QTextCursor::KeepAnchor);
        cursor.removeSelectedText();
    }
    return document;
}

std::shared_ptr<QTextDocument> DocumentMaker::make(const QString &html, QSizeF page) const {
    auto document = blank();
    document->setPageSize(page);
    document->setHtml(html);
    return document;
}

qreal DocumentMaker::height(const QString &html, qreal width) const {
    return html.trimmed().isEmpty() ? 0 : make(html, width)->size().height();
}

QList<TextLine> textLines(const QTextDocument &document, qreal height) {
    QList<TextLine> lines;
    const QAbstractTextDocumentLayout *documentLayout = document.documentLayout();
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QTextLayout *layout = block.layout();
        if (!layout)
            continue;
        const QPointF origin = documentLayout->blockBoundingRect(block).topLeft();
        const QString text = block.text();
        for (int i = 0; i < layout->lineCount(); ++i) {
            const QTextLine line = layout->lineAt(i);
            int first = line.textStart();
            const int end = std::min(line.textStart() + line.textLength(), int(text.size()));
            while (first < end &&
                   (text.at(first).isSpace() || text.at(first) == QChar::LineSeparator))
                ++first;
            QRectF rect = line.naturalTextRect().translated(origin);
            if (first == end || rect.top() >= height)
                continue; // no text, or none that shows
            rect.setBottom(std::min(rect.bottom(), height));
            lines << TextLine{rect, origin.x() + line.cursorToX(first + 1)};
        }
    }
    return lines;
}

void BodyPiece::draw(QPainter &painter, QPointF bodyTopLeft) const {
    painter.save();
    painter.translate(bodyTopLeft + at - source.topLeft());
    document->drawContents(&painter, source);
    painter.restore();
}
