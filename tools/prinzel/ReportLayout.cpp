#include "ReportLayout.h"

#include "storage/ClubFile.h"

#include <QFile>
#include <QRegularExpression>
#include <QSet>
#include <QSizeF>
#include <kainjow/mustache.hpp>
#include <variant>

namespace {

struct Line {
    int number = 0;
    QString text;
};

struct Section {
    QString kind; // lower case: page, query, header, body, footer, address
    QString argument;
    int number = 0;
    QList<Line> lines;
};

struct Entry {
    int number = 0;
    QString key; // lower case, single blanks: "label width"
    QString value;
};

// Problems carry the line they were found on; 0 for the whole file.
struct Problem {
    int line = 0;
    QString why;
};

template <typename T> using Read = std::variant<T, Problem>;

const QRegularExpression &identifier() {
    static const QRegularExpression pattern(QStringLiteral("^[A-Za-z_][A-Za-z0-9_]*$"));
    return pattern;
}

// "[query eventreserv]" and the like; empty for any other line.
std::optional<Section> sectionStart(const QString &line, int number) {
    static const QRegularExpression pattern(
        QStringLiteral("^\\s*\\[\\s*([A-Za-z]+)(?:\\s+([^\\]]*?))?\\s*\\]\\s*$"));
    const auto match = pattern.match(line);
    if (!match.hasMatch())
        return std::nullopt;
    return Section{match.captured(1).toLower(), match.captured(2), number, {}};
}

Read<QList<Section>> splitSections(const QString &text) {
    QList<Section> sections;
    QSet<QString> seen; // kind and name, in one letter case
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (int i = 0; i < lines.size(); ++i) {
        QString line = lines.at(i);
        if (line.endsWith(QLatin1Char('\r')))
            line.chop(1);
        if (line.size() > ReportLayout::MaxLineLength)
            return Problem{i + 1, QStringLiteral("the line is longer than %1 characters, the most "
                                                 "a line of a layout may hold")
                                      .arg(ReportLayout::MaxLineLength)};
        if (auto start = sectionStart(line, i + 1)) {
            static const QStringList kinds{"page", "query", "header", "body", "footer", "address"};
            if (!kinds.contains(start->kind))
                return Problem{i + 1, QStringLiteral("unknown section [%1]").arg(start->kind)};
            if ((start->kind == QLatin1String("query")) == start->argument.isEmpty())
                return Problem{i + 1, start->argument.isEmpty()
                                          ? QStringLiteral("a query section needs a name")
                                          : QStringLiteral("[%1] takes no name").arg(start->kind)};
            const QString key = start->kind + QLatin1Char(' ') + start->argument.toCaseFolded();
            if (seen.contains(key))
                return Problem{i + 1, QStringLiteral("a second %1").arg(line.trimmed())};
            seen.insert(key);
            sections << *start;
        } else if (!sections.isEmpty()) {
            sections.last().lines << Line{i + 1, line};
        } else if (!line.trimmed().isEmpty() && !line.trimmed().startsWith(QLatin1Char('#'))) {
            return Problem{i + 1, QStringLiteral("text before the first section")};
        }
    }
    return sections;
}

// "key = value" lines; a line that starts with a blank continues the value
// above it, and lines starting with "#" are comments.
Read<QList<Entry>> entries(const Section &section) {
    QList<Entry> found;
    QSet<QString> keys;
    for (const Line &line : section.lines) {
        const QString trimmed = line.text.trimmed();
        if (trimmed.isEmpty() || trimmed.startsWith(QLatin1Char('#')))
            continue;
        if (line.text.front().isSpace() && !found.isEmpty()) {
            found.last().value += QLatin1Char(' ') + trimmed;
            continue;
        }
        const qsizetype equals = trimmed.indexOf(QLatin1Char('='));
        if (equals <= 0)
            return Problem{line.number, QStringLiteral("\"key = value\" expected")};
        const QString key = trimmed.left(equals).simplified().toLower();
        if (keys.contains(key))
            return Problem{line.number, QStringLiteral("\"%1\" is given twice").arg(key)};
        keys.insert(key);
        found << Entry{line.number, key, trimmed.mid(equals + 1).trimmed()};
    }
    return found;
}

std::optional<double> length(const QString &text) {
    bool ok = false;
    const double value = text.toDouble(&ok);
    return ok && value >= 0 && value < 100 ? std::optional<double>(value) : std::nullopt;
}

// Blank-separated lengths; none when any of them is not one.
std::optional<QList<double>> lengths(const QString &text) {
    QList<double> inches;
    for (const QString &part : text.split(QLatin1Char(' '), Qt::SkipEmptyParts)) {
        const auto inch = length(part);
        if (!inch)
            return std::nullopt;
        inches << *inch;
    }
    return inches;
}

std::optional<int> count(const QString &text) {
    bool ok = false;
    const int value = text.toInt(&ok);
    return ok && value >= 1 && value <= 100 ? std::optional<int>(value) : std::nullopt;
}

// One [page] key; the reason when its value is refused.
std::optional<QString> readPageKey(PageSettings &page, const Entry &entry) {
    const QString value = entry.value.toLower();
    if (entry.key == QLatin1String("size")) {
        static const QHash<QString, QPageSize::PageSizeId> sizes{
            {"letter", QPageSize::Letter}, {"a4", QPageSize::A4}, {"legal", QPageSize::Legal}};
        if (!sizes.contains(value))
            return QStringLiteral("size is Letter, A4 or Legal");
        page.size = sizes.value(value);
    } else if (entry.key == QLatin1String("orientation")) {
        if (value != QLatin1String("portrait") && value != QLatin1String("landscape"))
            return QStringLiteral("orientation is portrait or landscape");
        page.orientation =
            value == QLatin1String("portrait") ? QPageLayout::Portrait : QPageLayout::Landscape;
    } else if (entry.key == QLatin1String("margins")) {
        auto inches = lengths(value);
        if (!inches || (inches->size() != 1 && inches->size() != 4))
            return QStringLiteral("margins are one length, or four: top right bottom left");
        if (inches->size() == 1)
            inches = QList<double>(4, inches->first());
        page.margins = QMarginsF((*inches)[3], (*inches)[0], (*inches)[1], (*inches)[2]);
    } else if (entry.key == QLatin1String("address")) {
        const auto inches = lengths(value);
        if (!inches || inches->size() != 4 || (*inches)[2] <= 0 || (*inches)[3] <= 0)
            return QStringLiteral("address is four lengths: left top width height");
        page.address = QRectF((*inches)[0], (*inches)[1], (*inches)[2], (*inches)[3]);
    } else if (entry.key == QLatin1String("font")) {
        page.fontFamily = entry.value;
    } else if (entry.key == QLatin1String("font size")) {
        const auto size = length(value);
        if (!size || *size < 4)
            return QStringLiteral("font size is a number of points, 4 or more");
        page.fontSize = *size;
    } else if (entry.key == QLatin1String("label lines")) {
        if (value != QLatin1String("wrap") && value != QLatin1String("cut"))
            return QStringLiteral("label lines is wrap or cut");
        page.cutLabelLines = value == QLatin1String("cut");
    } else if (entry.key == QLatin1String("columns") || entry.key == QLatin1String("rows")) {
        const auto cells = count(value);
        if (!cells)
            return QStringLiteral("%1 is a whole number from 1 to 100").arg(entry.key);
        (entry.key == QLatin1String("columns") ? page.columns : page.rows) = *cells;
    } else {
        static const QHash<QString, double PageSettings::*> lengths{
            {"label width", &PageSettings::labelWidth},
            {"label height", &PageSettings::labelHeight},
            {"column gap", &PageSettings::columnGap},
            {"row gap", &PageSettings::rowGap}};
        if (!lengths.contains(entry.key))
            return QStringLiteral("[page] has no key \"%1\"").arg(entry.key);
        const auto inches = length(value);
        if (!inches)
            return QStringLiteral("%1 is a length in inches").arg(entry.key);
        page.*lengths.value(entry.key) = *inches;
    }
    return std::nullopt;
}

// The statement without a closing ";", when it is one select; a ";" in a
// quoted text does not count. A "--" comment would swallow the continuation
// lines joined after it, so it is refused.
Read<QString> singleSelect(const QString &sql) {
    static const QRegularExpression select(QStringLiteral("^\\s*select\\b"),
                                           QRegularExpression::CaseInsensitiveOption);
    if (!select.match(sql).hasMatch())
        return Problem{0, QStringLiteral("only a select is allowed")};
    QChar quote;
    for (qsizetype i = 0; i < sql.size(); ++i) {
        const QChar c = sql[i];
        if (!quote.isNull()) {
            if (c == quote)
                quote = QChar();
        } else if (c == u'\'' || c == u'"' || c == u'`') {
            quote = c;
        } else if (c == u'[') {
            quote = u']';
        } else if (c == u';') {
            if (!sql.mid(i + 1).trimmed().isEmpty())
                return Problem{0, QStringLiteral("only a single statement is allowed")};
            return sql.left(i).trimmed();
        } else if (c == u'-' && sql.mid(i, 2) == QLatin1String("--")) {
            return Problem{0, QStringLiteral("\"--\" comments are not allowed in sql")};
        }
    }
    if (!quote.isNull())
        return Problem{0, QStringLiteral("a quoted text in sql is not closed")};
    return sql.trimmed();
}

std::optional<QString> readQueryKey(QuerySection &query, const Entry &entry) {
    const auto columns = [&]() {
        return entry.value.split(QLatin1Char(','), Qt::SkipEmptyParts);
    };
    if (entry.key == QLatin1String("sql")) {
        const auto sql = singleSelect(entry.value);
        if (const auto *problem = std::get_if<Problem>(&sql))
            return problem->why;
        query.sql = std::get<QString>(sql);
        return std::nullopt;
    }
    if (entry.key == QLatin1String("table") || entry.key == QLatin1String("group")) {
        if (!identifier().match(entry.value).hasMatch())
            return QStringLiteral("%1 is a table or column name").arg(entry.key);
        (entry.key == QLatin1String("table") ? query.table : query.group) = entry.value;
    } else if (entry.key == QLatin1String("sum")) {
        for (const QString &column : columns()) {
            if (!identifier().match(column.trimmed()).hasMatch())
                return QStringLiteral("sum is a list of column names");
            query.sums << column.trimmed();
        }
    } else if (entry.key == QLatin1String("format")) {
        static const QHash<QString, ValueFormat> kinds{
            {"text", ValueFormat::Text},          {"money", ValueFormat::Money},
            {"date", ValueFormat::Date},          {"weekday", ValueFormat::Weekday},
            {"month", ValueFormat::Month},        {"time", ValueFormat::Time},
            {"long date", ValueFormat::LongDate}, {"memo", ValueFormat::Memo}};
        for (const QString &item : columns()) {
            const QStringList parts = item.split(QLatin1Char(':'));
            if (parts.size() != 2 || !identifier().match(parts[0].trimmed()).hasMatch() ||
                !kinds.contains(parts[1].trimmed().toLower()))
                return QStringLiteral("format is a list of column:money, column:date, "
                                      "column:long date, column:weekday, column:month, "
                                      "column:time, column:memo or column:text");
            query.formats.insert(parts[0].trimmed().toLower(),
                                 kinds.value(parts[1].trimmed().toLower()));
        }
    } else if (entry.key == QLatin1String("per guest")) {
        static const QRegularExpression pattern(
            QStringLiteral("^([A-Za-z_]\\w*)\\s*:\\s*([A-Za-z_]\\w*)\\s*/\\s*([A-Za-z_]\\w*)$"));
        const auto match = pattern.match(entry.value);
        if (!match.hasMatch())
            return QStringLiteral("per guest is NAME: SUM / COUNT");
        query.perGuest = {match.captured(1), match.captured(2), match.captured(3)};
    } else {
        return QStringLiteral("[query] has no key \"%1\"").arg(entry.key);
    }
    return std::nullopt;
}

template <typename Settings>
std::optional<Problem> readKeys(const Section &section, Settings &settings,
                                std::optional<QString> (*readKey)(Settings &, const Entry &)) {
    const auto found = entries(section);
    if (const auto *problem = std::get_if<Problem>(&found))
        return *problem;
    for (const Entry &entry : std::get<QList<Entry>>(found)) {
        if (const auto why = readKey(settings, entry))
            return Problem{entry.number, *why};
    }
    return std::nullopt;
}

// Where a template first opens a section deeper than MaxNesting, as an
// offset in its text; none when it nests no deeper. The tags are read as the
// Mustache engine reads them, with "{{=<% %>=}}" changing their marks, so
// that no template nests deeper than this finds; what the engine would
// refuse ends the search.
std::optional<qsizetype> tooDeep(const QString &text) {
    QString open = QStringLiteral("{{");
    QString close = QStringLiteral("}}");
    int depth = 0;
    for (qsizetype at = 0; (at = text.indexOf(open, at)) >= 0;) {
        qsizetype contents = at + open.size();
        const bool triple = open == QLatin1String("{{") && close == QLatin1String("}}") &&
                            contents < text.size() && text.at(contents) == u'{';
        contents += triple ? 1 : 0;
        const QString end = triple ? QStringLiteral("}}}") : close;
        const qsizetype stop = text.indexOf(end, contents);
        if (stop < 0)
            return std::nullopt;
        const QString tag = text.mid(contents, stop - contents).trimmed();
        const qsizetype tagStart = at;
        at = stop + end.size();
        if (tag.startsWith(QLatin1Char('='))) {
            // "=<% %>=": two marks without blanks or "=" in them.
            static const QRegularExpression marks(
                QStringLiteral("^=\\s*([^\\s=]+) +([^\\s=]+)\\s*=$"));
            const auto match = marks.match(tag);
            if (!match.hasMatch())
                return std::nullopt;
            open = match.captured(1);
            close = match.captured(2);
        } else if (!triple &&
                   (tag.startsWith(QLatin1Char('#')) || tag.startsWith(QLatin1Char('^')))) {
            if (++depth > ReportLayout::MaxNesting)
                return tagStart;
        } else if (!triple && tag.startsWith(QLatin1Char('/'))) {
            depth = std::max(depth - 1, 0);
        }
    }
    return std::nullopt;
}

// The section's lines as one text; Mustache mistakes are found here rather
// than halfway through a report.
Read<QString> readTemplate(const Section &section) {
    QStringList lines;
    for (const Line &line : section.lines)
        lines << line.text;
    while (!lines.isEmpty() && lines.last().trimmed().isEmpty())
        lines.removeLast();
    const QString text = lines.join(QLatin1Char('\n'));
    // Checked before the engine reads it: each section it reads keeps a copy
    // of its text, so sections within sections take memory that grows with
    // the square of their depth.
    if (const auto at = tooDeep(text))
        return Problem{section.lines.first().number + int(text.left(*at).count(QLatin1Char('\n'))),
                       QStringLiteral("it nests sections deeper than %1 levels, the most a "
                                      "layout may nest")
                           .arg(ReportLayout::MaxNesting)};
    const kainjow::mustache::mustache parsed(text.toStdString());
    if (!parsed.is_valid())
        return Problem{section.number,
                       QStringLiteral("[%1]: %2")
                           .arg(section.kind, QString::fromStdString(parsed.error_message()))};
    return text;
}

std::optional<Problem> readSection(ReportLayout &layout, const Section &section) {
    if (section.kind == QLatin1String("page"))
        return readKeys(section, layout.page, readPageKey);
    if (section.kind == QLatin1String("query")) {
        QuerySection query;
        query.name = section.argument;
        if (!identifier().match(query.name).hasMatch())
            return Problem{section.number, QStringLiteral("a query name is a single word")};
        if (const auto problem = readKeys(section, query, readQueryKey))
            return problem;
        if (query.sql.isEmpty())
            return Problem{section.number, QStringLiteral("[query %1] has no sql").arg(query.name)};
        if (query.perGuest && (query.group.isEmpty() ||
                               !query.sums.contains(query.perGuest->amount, Qt::CaseInsensitive)))
            return Problem{section.number,
                           QStringLiteral("[query %1]: per guest needs a group and SUM among the "
                                          "sum columns")
                               .arg(query.name)};
        layout.queries << query;
        return std::nullopt;
    }
    const auto text = readTemplate(section);
    if (const auto *problem = std::get_if<Problem>(&text))
        return *problem;
    static const QHash<QString, QString ReportLayout::*> templates{
        {"header", &ReportLayout::header},
        {"body", &ReportLayout::body},
        {"footer", &ReportLayout::footer},
        {"address", &ReportLayout::address}};
    QString &target = layout.*templates.value(section.kind);
    target = std::get<QString>(text);
    return std::nullopt;
}

// The paper as it is turned, in inches.
QSizeF sheetOf(const PageSettings &page) {
    const QSizeF paper = QPageSize(page.size).size(QPageSize::Inch);
    return page.orientation == QPageLayout::Portrait ? paper : paper.transposed();
}

// Margins, label sizes and gaps that cannot fit the paper are refused
// here; the header and footer are measured when the pages are laid out.
std::optional<QString> checkPage(const PageSettings &page) {
    const QSizeF sheet = sheetOf(page);
    const double width = sheet.width() - page.margins.left() - page.margins.right();
    const double height = sheet.height() - page.margins.top() - page.margins.bottom();
    if (width <= 0 || height <= 0)
        return QStringLiteral("the margins leave no printable area");
    if (page.cutLabelLines && !page.hasGrid())
        return QStringLiteral("label lines are for labels: give columns or rows");
    const int columns = std::max(page.columns, 1);
    if (page.hasGrid() && page.labelWidth > 0 &&
        columns * page.labelWidth + (columns - 1) * page.columnGap > width + 1e-9)
        return QStringLiteral("%1 labels of %2 inches do not fit across the page")
            .arg(columns)
            .arg(page.labelWidth);
    return std::nullopt;
}

const Section *findSection(const QList<Section> &sections, const QString &kind) {
    const auto found = std::find_if(sections.begin(), sections.end(),
                                    [&](const Section &section) { return section.kind == kind; });
    return found == sections.end() ? nullptr : &*found;
}

// The address key and the [address] section come together; the block must
// lie on the paper.
std::optional<Problem> checkAddress(const ReportLayout &layout, const QList<Section> &sections) {
    const Section *block = findSection(sections, QStringLiteral("address"));
    int keyLine = 0;
    if (const Section *page = findSection(sections, QStringLiteral("page"))) {
        const auto found = entries(*page);
        if (const auto *list = std::get_if<QList<Entry>>(&found)) {
            for (const Entry &entry : *list)
                keyLine = entry.key == QLatin1String("address") ? entry.number : keyLine;
        }
    }
    if (!block && keyLine > 0)
        return Problem{keyLine, QStringLiteral("an address in [page] needs an [address] section")};
    if (!block)
        return std::nullopt;
    if (keyLine == 0)
        return Problem{block->number, QStringLiteral("[address] needs \"address = left top width "
                                                     "height\" in [page]")};
    if (layout.page.hasGrid())
        return Problem{block->number, QStringLiteral("[address] is not for labels")};
    const QRectF paper(QPointF(), sheetOf(layout.page));
    if (!paper.contains(*layout.page.address))
        return Problem{keyLine, QStringLiteral("the address block does not lie within the paper")};
    return std::nullopt;
}

} // namespace

namespace {

ReportFailure refused(const QString &name, const Problem &problem) {
    const QString where =
        problem.line > 0 ? QStringLiteral(", line %1").arg(problem.line) : QString();
    return ReportFailure{
        ExitCode::Layout,
        QStringLiteral("The layout %1 is refused%2: %3.").arg(name, where, problem.why)};
}

ReportFailure tooLarge(const QString &name) {
    return refused(name, {0, QStringLiteral("it is larger than %1 MB, the most a layout may "
                                            "hold")
                                 .arg(ReportLayout::MaxFileBytes / (1024 * 1024))});
}

} // namespace

Result<ReportLayout, ReportFailure> ReportLayout::parse(const QString &text, const QString &name) {
    if (text.size() > MaxFileBytes)
        return tooLarge(name);
    const auto refused = [&](const Problem &problem) {
        return ::refused(name, problem);
    };
    const auto sections = splitSections(text);
    if (const auto *problem = std::get_if<Problem>(&sections))
        return refused(*problem);
    ReportLayout layout;
    bool hasBody = false;
    for (const Section &section : std::get<QList<Section>>(sections)) {
        hasBody |= section.kind == QLatin1String("body");
        if (const auto problem = readSection(layout, section))
            return refused(*problem);
    }
    if (!hasBody)
        return refused({0, QStringLiteral("it has no [body]")});
    if (const auto why = checkPage(layout.page))
        return refused({0, *why});
    if (const auto problem = checkAddress(layout, std::get<QList<Section>>(sections)))
        return refused(*problem);
    return layout;
}

Result<ReportLayout, ReportFailure> ReportLayout::load(const QString &clubDirectory,
                                                       const QString &fileName) {
    const QString path = ClubFile::find(clubDirectory, fileName);
    if (path.isEmpty())
        return ReportFailure{ExitCode::Layout,
                             QStringLiteral("The layout %1 is not in the club directory %2.")
                                 .arg(fileName, clubDirectory)};
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly))
        return ReportFailure{
            ExitCode::Layout,
            QStringLiteral("The layout %1 cannot be read: %2.").arg(path, file.errorString())};
    // Read no further than the limit: a file of any size is refused.
    const QByteArray bytes = file.read(MaxFileBytes + 1);
    if (bytes.size() > MaxFileBytes)
        return tooLarge(fileName);
    return parse(QString::fromUtf8(bytes), fileName);
}
