#include "FlowPaginator.h"

#include <QAbstractTextDocumentLayout>
#include <QTextBlock>
#include <QTextCursor>
#include <QTextLayout>
#include <QTextTable>

namespace {

// Where each item of a page's document ends, in document coordinates, so
// that a page can be cut after it without drawing any of the next item: a
// row where its cells' text ends (the whole table where it is the table's
// last row here), HTML between tables where the next item starts.
class ItemEnds {
public:
    ItemEnds(const QTextDocument &document, const BodyFlow &flow, qsizetype first, qsizetype last,
             bool repeatHead)
        : m_document(document)
        , m_layout(*document.documentLayout()) {
        const QList<QTextFrame *> frames = document.rootFrame()->childFrames();
        QList<Anchor> anchors;
        qsizetype frame = 0;
        int open = -1;
        for (qsizetype i = first; i < last && m_valid; ++i) {
            const BodyFlow::Item &item = flow.items().at(i);
            Anchor anchor;
            if (item.table < 0) {
                anchor.position = frame > 0 ? frames.at(frame - 1)->lastPosition() + 1 : 0;
                frame += item.frames;
            } else if (item.table != open) {
                anchor.table =
                    frame < frames.size() ? qobject_cast<QTextTable *>(frames.at(frame)) : nullptr;
                const bool repeated = i == first && flow.continuesTable(i);
                anchor.row = repeated && !repeatHead
                                 ? 0
                                 : flow.tables().at(item.table).headRows +
                                       (repeated && flow.continuedHeading(i) >= 0 ? 1 : 0);
                anchor.startsTable = true;
                ++frame;
            } else {
                anchor.table = anchors.last().table;
                anchor.row = anchors.last().row + 1;
            }
            m_valid = item.table < 0 || (anchor.table && anchor.row < anchor.table->rows());
            open = item.table;
            anchors << anchor;
        }
        m_valid &= frame == frames.size();
        for (qsizetype i = 0; i < anchors.size() && m_valid; ++i)
            m_ends << end(anchors, i);
        if (m_valid && !anchors.isEmpty() && anchors.first().table && flow.continuesTable(first))
            m_repeatedHead =
                blockRect(anchors.first().table->cellAt(anchors.first().row, 0).firstPosition())
                    .top() -
                m_layout.frameBoundingRect(anchors.first().table).top();
    }

    // The height of the head and heading repeated above the first item.
    qreal repeatedHead() const { return m_repeatedHead; }

    // False when the document's frames are not the ones the items describe.
    bool valid() const { return m_valid; }
    qreal at(qsizetype index) const { return m_ends.at(index); }

private:
    struct Anchor {
        QTextTable *table = nullptr; // a row of it, or HTML between tables
        int row = 0;
        bool startsTable = false;
        int position = 0;
    };

    qreal end(const QList<Anchor> &anchors, qsizetype index) const {
        const Anchor &anchor = anchors.at(index);
        const Anchor *next = index + 1 < anchors.size() ? &anchors.at(index + 1) : nullptr;
        if (anchor.table && next && next->table == anchor.table) {
            qreal bottom = 0;
            for (int column = 0; column < anchor.table->columns(); ++column)
                bottom = std::max(
                    bottom,
                    blockRect(anchor.table->cellAt(anchor.row, column).lastPosition()).bottom());
            return bottom;
        }
        if (anchor.table)
            return m_layout.frameBoundingRect(anchor.table).bottom();
        if (!next)
            return m_document.size().height();
        // Just above the next item, which must not show.
        const qreal top = next->startsTable ? m_layout.frameBoundingRect(next->table).top()
                                            : blockRect(next->position).top();
        return top - 0.01;
    }

    QRectF blockRect(int position) const {
        return m_layout.blockBoundingRect(m_document.findBlock(position));
    }

    const QTextDocument &m_document;
    const QAbstractTextDocumentLayout &m_layout;
    QList<qreal> m_ends;
    qreal m_repeatedHead = 0;
    bool m_valid = true;
};

// Qt draws the line just above the area asked for as well, clipped away
// but still in the PDF's text: a paragraph running over a page break would
// print its last line twice for a reader that copies or searches. Each
// paragraph that runs over a break is made two there instead.
//
// The part cut off gets no space above it and no indent, and the part left
// no space below it: each line keeps its place, so every cut is found on the
// one layout and all are made in one edit, last first. The document is laid
// out once more, not once per cut, which for a paragraph of many pages took
// time growing with the square of its length.
void splitAtPageBreaks(QTextDocument &document, qreal pageHeight) {
    const QAbstractTextDocumentLayout &layout = *document.documentLayout();
    const int pages = document.pageCount();
    QList<int> cuts;
    for (QTextBlock block = document.begin(); block.isValid(); block = block.next()) {
        const QRectF rect = layout.blockBoundingRect(block);
        const QTextLayout &lines = *block.layout();
        int line = 1; // never before the paragraph's first line
        for (int page = std::max(1, int(rect.top() / pageHeight)); page < pages; ++page) {
            const qreal pageBreak = page * pageHeight;
            if (rect.bottom() <= pageBreak)
                break;
            if (rect.top() >= pageBreak)
                continue;
            while (line < lines.lineCount() &&
                   rect.top() + lines.lineAt(line).y() < pageBreak - 0.5)
                ++line;
            if (line >= lines.lineCount())
                break;
            cuts << block.position() + lines.lineAt(line).textStart();
            ++line; // the first line of the part cut off
        }
    }
    QTextCursor cursor(&document);
    cursor.beginEditBlock();
    for (auto cut = cuts.crbegin(); cut != cuts.crend(); ++cut) {
        cursor.setPosition(*cut);
        QTextBlockFormat format = cursor.blockFormat();
        QTextBlockFormat rest = format;
        rest.setTopMargin(0);
        rest.setTextIndent(0);
        cursor.insertBlock(rest);
        format.setBottomMargin(0);
        QTextCursor(cursor.block().previous()).setBlockFormat(format);
    }
    cursor.endEditBlock();
}

// Qt repeats a table's head on each page it lays the table over; a head
// taller than a quarter of the page (a heading naming an event by a title
// of pages) would be drawn over the rows there, so such a head is not
// repeated.
void keepTallHeadsOnce(QTextDocument &document, qreal pageHeight) {
    const QAbstractTextDocumentLayout &layout = *document.documentLayout();
    for (QTextFrame *frame : document.rootFrame()->childFrames()) {
        auto *table = qobject_cast<QTextTable *>(frame);
        if (!table || table->format().headerRowCount() <= 0)
            continue;
        QTextTableFormat format = table->format();
        const QTextBlock lastHeadBlock =
            document.findBlock(table->cellAt(format.headerRowCount() - 1, 0).lastPosition());
        const qreal head = layout.blockBoundingRect(lastHeadBlock).bottom() -
                           layout.frameBoundingRect(table).top();
        if (head > pageHeight / 4) {
            format.setHeaderRowCount(0);
            table->setFormat(format);
        }
    }
}

// Items laid out for a page at first; then as many as the last page held,
// and a few more.
constexpr qsizetype FirstGuess = 40;

} // namespace

FlowPaginator::FlowPaginator(const BodyFlow &flow, QSizeF page, qreal firstHeight,
                             const DocumentMaker &maker)
    : m_flow(flow)
    , m_page(page)
    , m_firstHeight(std::min(firstHeight, page.height()))
    , m_maker(maker)
    , m_guess(FirstGuess) {}

QList<BodyPage> FlowPaginator::pages() {
    for (qsizetype first = 0; first < m_flow.items().size();)
        first = addPage(first);
    return m_pages;
}

qsizetype FlowPaginator::addPage(qsizetype first) {
    const qsizetype count = m_flow.items().size();
    // A head or heading that would fill much of every page it continues on
    // (a heading naming an event by a title of pages) is not repeated.
    bool repeatHead = true;
    for (;;) {
        const qsizetype last = std::min(count, first + m_guess);
        const auto document = m_maker.make(m_flow.html(first, last, repeatHead), m_page.width());
        const qreal height = document->size().height();
        if (height <= pageHeight() && last < count) {
            m_guess *= 2; // all of it fits: take more
            continue;
        }
        const ItemEnds ends(*document, m_flow, first, last, repeatHead);
        if (repeatHead && ends.valid() && ends.repeatedHead() > pageHeight() / 4) {
            repeatHead = false;
            continue;
        }
        qsizetype fit = 0;
        while (ends.valid() && first + fit < last && ends.at(fit) <= pageHeight())
            ++fit;
        if ((!ends.valid() || fit == 0) && skipShortFirst())
            return first;
        if (!ends.valid()) {
            addPaginated(first, last, repeatHead); // no cut between items can be trusted
            return last;
        }
        if (fit == 0) {
            addPaginated(first, first + 1, repeatHead);
            return first + 1;
        }
        fit = keptTogether(first, fit);
        const QRectF source(0, 0, m_page.width(), ends.at(fit - 1));
        m_pages << BodyPage{BodyPiece{document, source, QPointF()}};
        m_guess = fit + std::max<qsizetype>(2, fit / 8);
        return first + fit;
    }
}

qsizetype FlowPaginator::keptTogether(qsizetype first, qsizetype fit) const {
    qsizetype end = first + fit;
    while (end > first && !m_flow.breaksBefore(end))
        --end;
    return end > first ? end - first : fit;
}

bool FlowPaginator::skipShortFirst() {
    if (!m_pages.isEmpty() || m_firstHeight >= m_page.height())
        return false;
    m_pages << BodyPage();
    return true;
}

void FlowPaginator::addPaginated(qsizetype first, qsizetype last, bool repeatHead) {
    const auto document = m_maker.make(m_flow.html(first, last, repeatHead), m_page);
    keepTallHeadsOnce(*document, m_page.height());
    splitAtPageBreaks(*document, m_page.height());
    // Half a pixel off each edge keeps a line that ends or starts exactly
    // at a page break on its own page.
    const qreal edge = 0.5;
    for (int page = 0; page < document->pageCount(); ++page) {
        const QRectF source(0, page * m_page.height() + edge, m_page.width(),
                            m_page.height() - 2 * edge);
        m_pages << BodyPage{BodyPiece{document, source, QPointF(0, edge)}};
    }
}
