#include "PageDocuments.h"

#include <QAbstractTextDocumentLayout>
#include <QPainter>

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

std::shared_ptr<QTextDocument> DocumentMaker::make(const QString &html, QSizeF page) const {
    auto document = blank();
    document->setPageSize(page);
    document->setHtml(html);
    return document;
}

qreal DocumentMaker::height(const QString &html, qreal width) const {
    return html.trimmed().isEmpty() ? 0 : make(html, width)->size().height();
}

void BodyPiece::draw(QPainter &painter, QPointF bodyTopLeft) const {
    painter.save();
    painter.translate(bodyTopLeft + at - source.topLeft());
    document->drawContents(&painter, source);
    painter.restore();
}
