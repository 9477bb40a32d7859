#include "BodyFlow.h"

#include <QRegularExpression>
#include <optional>

namespace {

struct Tag {
    qsizetype start = 0;
    qsizetype end = 0; // one past the ">"
    QString name;      // lower case
    bool closing = false;
};

// The next tag at or after `from`, comments skipped; a "<" that starts no
// tag name ("a < b") is text.
std::optional<Tag> nextTag(const QString &html, qsizetype from) {
    qsizetype at = from;
    while ((at = html.indexOf(QLatin1Char('<'), at)) >= 0) {
        if (QStringView(html).mid(at, 4) == QLatin1String("<!--")) {
            const qsizetype close = html.indexOf(QLatin1String("-->"), at + 4);
            if (close < 0)
                return std::nullopt;
            at = close + 3;
            continue;
        }
        Tag tag;
        tag.start = at;
        qsizetype i = at + 1;
        tag.closing = i < html.size() && html[i] == u'/';
        i += tag.closing ? 1 : 0;
        const qsizetype name = i;
        while (i < html.size() && html[i].isLetterOrNumber())
            ++i;
        if (i == name) {
            ++at;
            continue;
        }
        tag.name = html.mid(name, i - name).toLower();
        QChar quote;
        for (; i < html.size() && (!quote.isNull() || html[i] != u'>'); ++i) {
            if (!quote.isNull() && html[i] == quote)
                quote = QChar();
            else if (quote.isNull() && (html[i] == u'"' || html[i] == u'\''))
                quote = html[i];
        }
        if (i >= html.size())
            return std::nullopt;
        tag.end = i + 1;
        return tag;
    }
    return std::nullopt;
}

// A row's part in its group, from the classes of its <tr>.
BodyFlow::Role roleOf(const QString &row) {
    const auto tag = nextTag(row, 0);
    if (!tag || tag->name != QLatin1String("tr") || tag->closing)
        return BodyFlow::Role::Other;
    static const QRegularExpression attribute(
        QStringLiteral("\\sclass\\s*=\\s*(?:\"([^\"]*)\"|'([^']*)'|([^\\s\"'>]+))"),
        QRegularExpression::CaseInsensitiveOption);
    const auto match = attribute.match(row.mid(tag->start, tag->end - tag->start));
    static const QRegularExpression blanks(QStringLiteral("\\s+"));
    const QStringList classes = (match.captured(1) + match.captured(2) + match.captured(3))
                                    .split(blanks, Qt::SkipEmptyParts);
    if (classes.contains(QLatin1String("group")))
        return BodyFlow::Role::Heading;
    if (classes.contains(QLatin1String("total")))
        return BodyFlow::Role::Total;
    return BodyFlow::Role::Other;
}

// The row with " (continued)" at the end of its first cell.
QString continued(const QString &row) {
    const QString mark = QStringLiteral(" (continued)");
    int depth = 0; // of tables within the row's cells
    bool inCell = false;
    for (auto tag = nextTag(row, 0); tag; tag = nextTag(row, tag->end)) {
        if (tag->name == QLatin1String("table")) {
            depth += tag->closing ? -1 : 1;
            continue;
        }
        const bool cell = tag->name == QLatin1String("td") || tag->name == QLatin1String("th");
        if (depth > 0 || !(cell || tag->name == QLatin1String("tr")))
            continue;
        if (inCell)
            return row.left(tag->start) + mark + row.mid(tag->start);
        inCell = cell && !tag->closing;
    }
    return inCell ? row + mark : row;
}

// One top-level table taken apart: its opening tag, its head and its rows.
// End tags that HTML lets a layout leave out (</tr>, </thead>) are supplied.
struct TableParts {
    BodyFlow::Table table;
    QStringList rows;
    qsizetype end = 0;
};

class TableReader {
public:
    TableReader(const QString &html, const Tag &open)
        : m_html(html) {
        m_parts.table.open = html.mid(open.start, open.end - open.start);
        m_parts.end = html.size();
        read(open.end);
    }

    TableParts take() { return std::move(m_parts); }

private:
    void read(qsizetype from) {
        int depth = 1;
        for (auto tag = nextTag(m_html, from); tag; tag = nextTag(m_html, tag->end)) {
            if (tag->name == QLatin1String("table")) {
                depth += tag->closing ? -1 : 1;
                if (depth == 0) {
                    finishRow(tag->start);
                    finishHead(tag->start, false);
                    m_parts.end = tag->end;
                    return;
                }
            } else if (depth == 1) {
                atTag(*tag);
            }
        }
        finishRow(m_html.size());
        finishHead(m_html.size(), false);
    }

    void atTag(const Tag &tag) {
        if (tag.name == QLatin1String("tr")) {
            finishRow(tag.closing ? tag.end : tag.start);
            if (!tag.closing)
                m_row = tag.start;
        } else if (tag.name == QLatin1String("thead")) {
            finishRow(tag.start);
            if (!tag.closing)
                m_head = tag.start;
            else
                finishHead(tag.end, true);
        } else if (tag.name == QLatin1String("tbody") || tag.name == QLatin1String("tfoot")) {
            finishRow(tag.start);
            finishHead(tag.start, false);
        }
    }

    void finishRow(qsizetype end) {
        if (m_row < 0)
            return;
        if (m_head >= 0) {
            ++m_parts.table.headRows;
            if (roleOf(m_html.mid(m_row, end - m_row)) == BodyFlow::Role::Heading)
                m_headings << std::pair(m_row - m_head, end - m_row);
        } else
            m_parts.rows << m_html.mid(m_row, end - m_row);
        m_row = -1;
    }

    void finishHead(qsizetype end, bool closed) {
        if (m_head < 0)
            return;
        BodyFlow::Table &table = m_parts.table;
        table.head =
            m_html.mid(m_head, end - m_head) + (closed ? QString() : QStringLiteral("</thead>"));
        table.continuedHead = table.head;
        for (auto heading = m_headings.crbegin(); heading != m_headings.crend(); ++heading)
            table.continuedHead.replace(heading->first, heading->second,
                                        continued(table.head.mid(heading->first, heading->second)));
        m_head = -1;
    }

    const QString &m_html;
    TableParts m_parts;
    qsizetype m_row = -1;
    qsizetype m_head = -1;
    QList<std::pair<qsizetype, qsizetype>> m_headings; // heading rows in the head: start, length
};

} // namespace

void BodyFlow::addHtml(const QString &html, int frames) {
    if (html.trimmed().isEmpty() && frames == 0)
        return;
    if (!m_items.isEmpty() && m_items.last().table < 0) {
        m_items.last().html += html;
        m_items.last().frames += frames;
    } else {
        m_items << Item{html, -1, frames};
    }
}

void BodyFlow::addRows(const QStringList &rows) {
    qsizetype heading = -1;
    bool closing = false; // total rows seen: the next other row is outside the group
    for (const QString &row : rows) {
        Item item{row, int(m_tables.size() - 1), 0, roleOf(row)};
        if (item.role == Role::Heading) {
            heading = m_items.size();
            closing = false;
        } else if (item.role == Role::Total) {
            item.heading = heading;
            closing = true;
        } else {
            if (closing)
                heading = -1;
            closing = false;
            item.heading = heading;
        }
        m_items << item;
    }
}

BodyFlow BodyFlow::split(const QString &html) {
    BodyFlow flow;
    qsizetype text = 0;
    int frames = 0;
    for (auto tag = nextTag(html, 0); tag; tag = nextTag(html, tag->end)) {
        if (tag->name != QLatin1String("table") || tag->closing)
            continue;
        TableParts parts = TableReader(html, *tag).take();
        tag->end = parts.end;
        if (parts.rows.isEmpty()) {
            ++frames; // nowhere to break: it stays whole within the HTML around it
            continue;
        }
        flow.addHtml(html.mid(text, tag->start - text), frames);
        frames = 0;
        flow.m_tables << parts.table;
        flow.addRows(parts.rows);
        text = parts.end;
    }
    flow.addHtml(html.mid(text), frames);
    return flow;
}

QString BodyFlow::html(qsizetype first, qsizetype last, bool repeatHead) const {
    QString out;
    int open = -1;
    for (qsizetype i = first; i < last; ++i) {
        const Item &item = m_items.at(i);
        if (item.table != open) {
            if (open >= 0)
                out += QStringLiteral("</table>");
            if (item.table >= 0)
                out += opening(i, repeatHead);
            open = item.table;
        }
        out += item.html;
    }
    if (open >= 0)
        out += QStringLiteral("</table>");
    return out;
}

bool BodyFlow::continuesTable(qsizetype at) const {
    return at > 0 && at < m_items.size() && m_items.at(at).table >= 0 &&
           m_items.at(at - 1).table == m_items.at(at).table;
}

QString BodyFlow::opening(qsizetype at, bool repeatHead) const {
    const Table &table = m_tables.at(m_items.at(at).table);
    if (!continuesTable(at))
        return table.open + table.head;
    if (!repeatHead)
        return table.open;
    const qsizetype heading = continuedHeading(at);
    return table.open + table.continuedHead +
           (heading >= 0 ? continued(m_items.at(heading).html) : QString());
}

bool BodyFlow::breaksBefore(qsizetype at) const {
    if (at <= 0 || at >= m_items.size())
        return true;
    const Item &before = m_items.at(at - 1);
    const Item &item = m_items.at(at);
    return before.role != Role::Heading &&
           !(item.role == Role::Total && item.table >= 0 && item.table == before.table);
}

qsizetype BodyFlow::continuedHeading(qsizetype at) const {
    return at > 0 && at < m_items.size() ? m_items.at(at).heading : -1;
}
