#include "ReportRenderer.h"

#include "FlowPaginator.h"

#include <QPagedPaintDevice>
#include <QPainter>

namespace {

constexpr qreal TwipsPerInch = 1440;
// Less room than this between header and footer could only print a
// sliver of the body per page.
constexpr qreal SmallestBody = 0.5; // inches
// What the page numbers are measured with, before the pages are counted.
constexpr int WidestPageNumber = 9999;

ReportFailure layoutFailure(const QString &why) {
    return {ExitCode::Layout, QStringLiteral("The layout is refused: %1.").arg(why)};
}

std::string render(const QString &text, kainjow::mustache::basic_context<std::string> &context) {
    kainjow::mustache::mustache parsed(text.toStdString());
    return parsed.render(context);
}

} // namespace

ReportRenderer::ReportRenderer(const ReportLayout &layout, const ReportValues::Data &values,
                               Shift shift)
    : m_layout(layout)
    , m_values(values)
    , m_shift(shift) {}

QString ReportRenderer::pageText(const QString &text, int page, int pages) const {
    ReportValues::Data numbers(ReportValues::Data::type::object);
    numbers["page"] = ReportValues::text(QString::number(page));
    numbers["pages"] = ReportValues::text(QString::number(pages));
    numbers["firstpage"] = page == 1;
    kainjow::mustache::context<std::string> context(&m_values);
    context.push(&numbers);
    return QString::fromStdString(render(text, context));
}

Result<ReportRenderer::Frame, ReportFailure>
ReportRenderer::frame(QPagedPaintDevice &device, const DocumentMaker &maker) const {
    const PageSettings &page = m_layout.page;
    const qreal dpi = device.logicalDpiY();
    const QRectF paper = device.pageLayout().fullRectPixels(int(dpi));
    Frame frame;
    frame.paper = paper;
    if (page.hasGrid()) {
        frame.printable = paper.marginsRemoved(page.margins * dpi).translated(shiftPixels(dpi));
    } else {
        const QMarginsF margins = page.margins + QMarginsF(m_shift.leftTwips / TwipsPerInch,
                                                           m_shift.topTwips / TwipsPerInch, 0, 0);
        frame.printable = paper.marginsRemoved(margins * dpi);
    }
    if (frame.printable.width() <= 0 || frame.printable.height() <= 0)
        return layoutFailure(QStringLiteral("the margins leave no printable area"));
    // The first page's header and footer may differ from the others'
    // (`firstpage`); the footer takes the room of the taller.
    const qreal width = frame.printable.width();
    const auto height = [&](const QString &text, int page) {
        return maker.height(pageText(text, page, WidestPageNumber), width);
    };
    const qreal footer =
        std::max(height(m_layout.footer, 1), height(m_layout.footer, WidestPageNumber));
    frame.body = frame.printable.adjusted(0, height(m_layout.header, WidestPageNumber), 0, -footer);
    frame.firstBody = frame.printable.adjusted(0, height(m_layout.header, 1), 0, -footer);
    if (std::min(frame.body.height(), frame.firstBody.height()) < SmallestBody * dpi)
        return layoutFailure(QStringLiteral("the header and footer leave less than %1 inch for "
                                            "the body")
                                 .arg(SmallestBody));
    if (const auto failure = placeAddress(frame, paper, dpi))
        return *failure;
    return frame;
}

QPointF ReportRenderer::shiftPixels(qreal dpi) const {
    return QPointF(m_shift.leftTwips, m_shift.topTwips) / TwipsPerInch * dpi;
}

// Refuses a label whose text the caller's margins push off the paper: a
// line that would not show even its first character before the paper's
// right edge (a line wrapped rather than cut: any of it beyond that edge),
// or that would run below the bottom edge. `cell` is the label's place on
// the page; text that lies off the paper without the margins is the
// layout's own affair.
std::optional<ReportFailure> ReportRenderer::checkLabelOnPaper(const QTextDocument &document,
                                                               const QRectF &cell,
                                                               const Frame &frame, int label,
                                                               qreal dpi) const {
    const qreal give = 0.5; // pixels, for rounding in the layout
    const bool cut = m_layout.page.cutLabelLines;
    enum class Edge { None, Right, Bottom };
    const auto offEdge = [&](QPointF corner) {
        for (const TextLine &line : textLines(document, cell.height())) {
            const qreal right = cut ? line.firstCharacterRight : line.text.right();
            if (corner.x() + right > frame.paper.right() + give)
                return Edge::Right;
            if (corner.y() + line.text.bottom() > frame.paper.bottom() + give)
                return Edge::Bottom;
        }
        return Edge::None;
    };
    const Edge edge = offEdge(cell.topLeft());
    if (edge == Edge::None || offEdge(cell.topLeft() - shiftPixels(dpi)) == edge)
        return std::nullopt;
    const bool left = edge == Edge::Right;
    const double inches = (left ? m_shift.leftTwips : m_shift.topTwips) / TwipsPerInch;
    return ReportFailure{
        ExitCode::Block,
        QStringLiteral("The %1 print margin of %2 %3 pushes the text of label %4 off the "
                       "paper's %5 edge, so the labels are not printed. Set a smaller margin "
                       "with Adjust Print Margins.")
            .arg(left ? QStringLiteral("left") : QStringLiteral("top"))
            .arg(inches)
            .arg(inches == 1 ? QStringLiteral("inch") : QStringLiteral("inches"))
            .arg(label)
            .arg(left ? QStringLiteral("right") : QStringLiteral("bottom"))};
}

// The block moves with the caller's margins, as everything else on the page.
std::optional<ReportFailure> ReportRenderer::placeAddress(Frame &frame, const QRectF &paper,
                                                          qreal dpi) const {
    if (!m_layout.page.address)
        return std::nullopt;
    const QRectF inches = m_layout.page.address->translated(m_shift.leftTwips / TwipsPerInch,
                                                            m_shift.topTwips / TwipsPerInch);
    frame.address = QRectF(paper.topLeft() + inches.topLeft() * dpi, inches.size() * dpi);
    if (frame.address.intersects(frame.firstBody))
        frame.firstBody.setTop(std::max(frame.firstBody.top(), frame.address.bottom()));
    if (frame.firstBody.height() < SmallestBody * dpi)
        return layoutFailure(QStringLiteral("the address block leaves less than %1 inch for the "
                                            "body on the first page")
                                 .arg(SmallestBody));
    return std::nullopt;
}

Result<QList<BodyPage>, ReportFailure>
ReportRenderer::bodyPages(const Frame &frame, const DocumentMaker &maker, qreal dpi) const {
    if (m_layout.page.hasGrid())
        return labelPages(frame, maker, dpi);
    kainjow::mustache::context<std::string> context(&m_values);
    const BodyFlow flow = BodyFlow::split(QString::fromStdString(render(m_layout.body, context)));
    return FlowPaginator(flow, frame.body.size(), frame.firstBody.height(), maker).pages();
}

// One label per row of the first query, across and then down the grid.
Result<QList<BodyPage>, ReportFailure>
ReportRenderer::labelPages(const Frame &frame, const DocumentMaker &maker, qreal dpi) const {
    const PageSettings &page = m_layout.page;
    const int columns = std::max(page.columns, 1);
    const int rows = std::max(page.rows, 1);
    const QSizeF gap(page.columnGap * dpi, page.rowGap * dpi);
    const QSizeF label(
        page.labelWidth > 0 ? page.labelWidth * dpi
                            : (frame.body.width() - (columns - 1) * gap.width()) / columns,
        page.labelHeight > 0 ? page.labelHeight * dpi
                             : (frame.body.height() - (rows - 1) * gap.height()) / rows);
    const qreal tolerance = 0.5;
    if (label.width() <= 0 || label.height() <= 0 ||
        columns * label.width() + (columns - 1) * gap.width() > frame.body.width() + tolerance ||
        rows * label.height() + (rows - 1) * gap.height() > frame.body.height() + tolerance)
        return layoutFailure(QStringLiteral("%1 by %2 labels do not fit between the margins, "
                                            "header and footer")
                                 .arg(columns)
                                 .arg(rows));
    const ReportValues::Data *records =
        m_layout.queries.isEmpty() ? nullptr
                                   : m_values.get(m_layout.queries.first().name.toStdString());
    QList<BodyPage> pages;
    if (!records || !records->is_list())
        return pages;
    kainjow::mustache::mustache body(m_layout.body.toStdString());
    const int perPage = columns * rows;
    for (qsizetype i = 0; i < qsizetype(records->list_value().size()); ++i) {
        kainjow::mustache::context<std::string> context(&m_values);
        context.push(&records->list_value()[std::size_t(i)]);
        const QString html = QString::fromStdString(body.render(context));
        if (i % perPage == 0)
            pages << BodyPage();
        const int cell = int(i % perPage);
        const QPointF at((cell % columns) * (label.width() + gap.width()),
                         (cell / columns) * (label.height() + gap.height()));
        const QRectF place(frame.body.topLeft() + at, label);
        auto document = page.cutLabelLines ? maker.makeCut(html, label.width())
                                           : maker.make(html, label.width());
        if (const auto refused = checkLabelOnPaper(*document, place, frame, int(i + 1), dpi))
            return *refused;
        // Lines reaching beyond the paper are cut at its edge instead.
        if (page.cutLabelLines && place.right() > frame.paper.right())
            document = maker.makeCut(html, std::max(frame.paper.right() - place.left(), 1.0));
        pages.last() << BodyPiece{std::move(document), QRectF(QPointF(), label), at};
    }
    return pages;
}

Result<int, ReportFailure> ReportRenderer::print(QPagedPaintDevice &device) const {
    device.setPageLayout(
        QPageLayout(QPageSize(m_layout.page.size), m_layout.page.orientation, QMarginsF()));
    QFont font(m_layout.page.fontFamily);
    font.setPointSizeF(m_layout.page.fontSize);
    // No ligatures: "Conflicts" must stay findable and copyable in the PDF.
    font.setStyleStrategy(QFont::PreferNoShaping);
    const DocumentMaker maker(device, font);
    const auto frame = this->frame(device, maker);
    if (!frame)
        return frame.error();
    auto pages = bodyPages(*frame, maker, device.logicalDpiY());
    if (!pages)
        return pages.error();
    if (pages->isEmpty())
        *pages << BodyPage(); // an empty report still prints its headings
    QPainter painter;
    if (!painter.begin(&device))
        return ReportFailure{ExitCode::Pdf, QStringLiteral("The pages cannot be drawn.")};
    const int count = int(pages->size());
    const qreal width = frame->printable.width();
    for (int i = 0; i < count; ++i) {
        if (i > 0 && !device.newPage())
            return ReportFailure{ExitCode::Pdf, QStringLiteral("A new page cannot be started.")};
        const auto drawAt = [&](const QString &text, QPointF at) {
            const auto document = maker.make(pageText(text, i + 1, count), width);
            BodyPiece{document, QRectF(QPointF(), document->size()), QPointF()}.draw(painter, at);
        };
        drawAt(m_layout.header, frame->printable.topLeft());
        const QRectF &body = i == 0 ? frame->firstBody : frame->body;
        for (const BodyPiece &piece : pages->at(i))
            piece.draw(painter, body.topLeft());
        drawAt(m_layout.footer, frame->body.bottomLeft());
        if (i == 0 && !frame->address.isEmpty()) {
            const auto document =
                maker.make(pageText(m_layout.address, 1, count), frame->address.width());
            BodyPiece{document, QRectF(QPointF(), frame->address.size()), QPointF()}.draw(
                painter, frame->address.topLeft());
        }
    }
    painter.end();
    return count;
}
