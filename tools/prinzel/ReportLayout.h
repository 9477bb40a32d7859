#pragma once

#include "ReportFailure.h"

#include <QHash>
#include <QList>
#include <QMarginsF>
#include <QPageLayout>
#include <QPageSize>
#include <QRectF>
#include <QString>
#include <QStringList>
#include <optional>

// How a column's values print.
enum class ValueFormat {
    Text,     // as stored
    Money,    // "1,234.50"
    Date,     // YYYYMMDD as "01/16/2027"
    LongDate, // YYYYMMDD as "Saturday, January 16, 2027"
    Weekday,  // YYYYMMDD as "Saturday, 01/16/2027"
    Month,    // YYYYMM or YYYYMMDD as "January 2027"
    Time,     // "18:30" as "6:30 PM", "CLOSE" as "close"
    Memo,     // a long text, as a list of its lines, so it can break between pages
};

// One [query NAME] section: a single select and what to do with its rows.
struct QuerySection {
    QString name;
    QString sql;
    QString table; // the table a selection formula on it names
    QString group; // consecutive rows with one value of this column form a group
    QStringList sums;
    QHash<QString, ValueFormat> formats; // by lower-case column name
    // `per guest = NAME: SUM / COUNT`: each group's NAME is its total of the
    // sum column SUM shared among the COUNT of its first row, the price per
    // guest as the items window shows it.
    struct PerGuest {
        QString name, amount, guests;
    };
    std::optional<PerGuest> perGuest;

    ValueFormat formatOf(const QString &column) const {
        return formats.value(column.toLower(), ValueFormat::Text);
    }
};

// The [page] section. Lengths are inches.
struct PageSettings {
    QPageSize::PageSizeId size = QPageSize::Letter;
    QPageLayout::Orientation orientation = QPageLayout::Portrait;
    QMarginsF margins{0.5, 0.5, 0.5, 0.5};
    QString fontFamily = QStringLiteral("DejaVu Sans");
    double fontSize = 9; // points
    // A label grid: the body prints once per row of the first query, one
    // cell after the other across, then down. Off when both counts are 0.
    int columns = 0;
    int rows = 0;
    double labelWidth = 0; // 0: the printable width shared out
    double labelHeight = 0;
    double columnGap = 0;
    double rowGap = 0;
    // A label's lines too long for it are cut at its right edge instead of
    // wrapping onto a line of their own.
    bool cutLabelLines = false;
    // Where the [address] block is drawn on the first page, from the paper's
    // top left: a window envelope shows it there.
    std::optional<QRectF> address;

    bool hasGrid() const { return columns > 0 || rows > 0; }
};

// A report layout: a text file of INI-like sections, the page, the queries,
// and Mustache templates giving HTML for the header, body, footer and the
// address block.
struct ReportLayout {
    // What a layout may ask of prinzel: any operator can edit one, and a
    // mistaken or hostile one must be refused by name rather than exhaust
    // the workstation. The shipped layouts are below 10 KB, with lines below
    // 200 characters and sections nested 3 deep.
    static constexpr qint64 MaxFileBytes = 1024 * 1024;
    static constexpr int MaxLineLength = 100000; // characters
    // {{#name}} and {{^name}} sections within each other in one template.
    static constexpr int MaxNesting = 64;

    PageSettings page;
    QList<QuerySection> queries;
    QString header;
    QString body;
    QString footer;
    QString address; // with page.address

    // `name` is only used in messages.
    static Result<ReportLayout, ReportFailure> parse(const QString &text, const QString &name);
    // The file in the club directory, whatever the case of its name.
    static Result<ReportLayout, ReportFailure> load(const QString &clubDirectory,
                                                    const QString &fileName);
};
