#pragma once

#include "PageDocuments.h"
#include "ReportFailure.h"
#include "ReportLayout.h"
#include "ReportValues.h"

class QPagedPaintDevice;

// Draws a report: the body's HTML in pages (or labels) on the printable
// area between the header and the footer, which repeat on every page with
// its number and the number of pages filled in (what they hold within
// `{{#firstpage}}` only on the first). The address block is drawn
// on the first page only, where the body gives way to it.
//
// The calling program's margins narrow a report's printable area, but move
// a label grid whole: on a label sheet they are the printer's offset, and
// the labels keep their size. What of a label then lies beyond the paper is
// left off (its lines are cut at the paper's edge); labels whose text would
// not begin on the paper, or run off its bottom, are refused by the margin
// that pushes them there.
class ReportRenderer {
public:
    // The calling program's margins, added to the layout's top and left.
    struct Shift {
        int topTwips = 0;
        int leftTwips = 0;
    };

    ReportRenderer(const ReportLayout &layout, const ReportValues::Data &values, Shift shift);

    // Gives the device the layout's paper, lays the report out for it and
    // draws every page; the number of pages.
    Result<int, ReportFailure> print(QPagedPaintDevice &device) const;

private:
    struct Frame {
        QRectF paper;
        QRectF printable;
        QRectF body;
        QRectF firstBody; // the body on the first page: below its header and the address block
        QRectF address;   // empty without one
    };

    Result<Frame, ReportFailure> frame(QPagedPaintDevice &device, const DocumentMaker &maker) const;
    QString pageText(const QString &text, int page, int pages) const;
    std::optional<ReportFailure> placeAddress(Frame &frame, const QRectF &paper, qreal dpi) const;
    Result<QList<BodyPage>, ReportFailure> bodyPages(const Frame &frame, const DocumentMaker &maker,
                                                     qreal dpi) const;
    Result<QList<BodyPage>, ReportFailure> labelPages(const Frame &frame,
                                                      const DocumentMaker &maker, qreal dpi) const;
    QPointF shiftPixels(qreal dpi) const;
    std::optional<ReportFailure> checkLabelOnPaper(const QTextDocument &document,
                                                   const QRectF &cell, const Frame &frame,
                                                   int label, qreal dpi) const;

    const ReportLayout &m_layout;
    const ReportValues::Data &m_values;
    Shift m_shift;
};
