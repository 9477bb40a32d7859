#pragma once

#include "BodyFlow.h"
#include "PageDocuments.h"

#include <QSizeF>

// Pages a flowing body, one document per page. Laying out one document of
// thousands of table rows takes time that grows faster than the rows, so
// each page is a document of its own: a few more items than fit, laid out in
// one piece and cut after the last item that fits. A table cut there starts
// the next page again with its head, and where the cut falls within a group
// of rows, with the group's heading (see BodyFlow), unless the two would take
// more than a quarter of the page. An item taller than a page gets pages of
// its own, paginated by Qt. The first page may be shorter than the
// others; what does not fit there at all starts on the second.
class FlowPaginator {
public:
    FlowPaginator(const BodyFlow &flow, QSizeF page, qreal firstHeight, const DocumentMaker &maker);

    QList<BodyPage> pages();

private:
    // Adds the page starting at `first`; the item after it.
    qsizetype addPage(qsizetype first);
    // Adds the items [first, last) in as many pages as Qt lays them out in.
    void addPaginated(qsizetype first, qsizetype last, bool repeatHead);
    // How many of the `fit` items from `first` the page takes: fewer where
    // it would end with a heading or leave a total row to the next page,
    // all of them where no break within them keeps the groups together.
    qsizetype keptTogether(qsizetype first, qsizetype fit) const;
    qreal pageHeight() const { return m_pages.isEmpty() ? m_firstHeight : m_page.height(); }
    // Leaves a short first page empty for what only fits a whole page.
    bool skipShortFirst();

    const BodyFlow &m_flow;
    QSizeF m_page;
    qreal m_firstHeight;
    const DocumentMaker &m_maker;
    qsizetype m_guess = 0; // items to lay out for the next page
    QList<BodyPage> m_pages;
};
