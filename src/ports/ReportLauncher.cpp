#include "ReportLauncher.h"

#include "Clipboard.h"
#include "Programs.h"
#include "session/ClubSettings.h"
#include "session/Module.h"
#include "storage/ClubFile.h"
#include "storage/Schema.h"
#include "storage/Transaction.h"
#include "values/TextValue.h"

#include <QDir>
#include <QFile>
#include <QTextStream>

namespace {

// A print margin is a printer's offset or room for a letterhead: more
// than three inches leaves a sheet of labels or a listing no room at all.
constexpr int MaxMarginInches = 3;
constexpr int MaxMarginTwips = MaxMarginInches * ReportLauncher::TwipsPerInch;

QString line(const QString &name, const QString &value) {
    return name + QLatin1Char('=') + value + QLatin1Char('~');
}

// A stored margin: a whole number of twips in range, else none.
int storedMargin(const QString &text) {
    bool ok = false;
    const int twips = text.trimmed().toInt(&ok);
    return ok && twips >= 0 && twips <= MaxMarginTwips ? twips : 0;
}

} // namespace

ReportWorkCopy::ReportWorkCopy(const Databases &databases, QString fileName,
                               const QString &directory)
    : m_databases(databases)
    , m_fileName(std::move(fileName))
    , m_path(directory.isEmpty() ? databases.clubPath(m_fileName)
                                 : QDir(directory).filePath(m_fileName))
    , m_lock(m_path) {}

Result<DatabasePtr> ReportWorkCopy::open() const {
    return m_databases.openLocalFile(path());
}

WorkTable WorkTable::whole(const QString &name) {
    WorkTable table{name, {}};
    if (const Schema::Table *schema = Schema::findTable(QStringLiteral("rpt"), name))
        for (const Schema::Column &column : schema->columns)
            table.columns << column.name;
    return table;
}

QString WorkTable::selectList(const QString &alias) const {
    if (alias.isEmpty())
        return columns.join(QLatin1String(", "));
    QStringList named;
    for (const QString &column : columns)
        named << alias + QLatin1Char('.') + column;
    return named.join(QLatin1String(", "));
}

Status ReportWorkCopy::append(const QString &table, const QStringList &columns,
                              const QList<QVariantList> &rows) const {
    Writer writer(*this, {{table, columns}});
    if (!writer.ready())
        return writer.ready();
    for (const QVariantList &row : rows)
        if (Status added = writer.add(0, row); !added)
            return added;
    return writer.commit();
}

Status ReportWorkCopy::write(const WorkRows &tables) const {
    QList<WorkTable> workTables;
    for (const auto &[name, rows] : tables)
        workTables << WorkTable::whole(name);
    Writer writer(*this, workTables);
    if (!writer.ready())
        return writer.ready();
    for (int table = 0; table < int(workTables.size()); ++table)
        for (const WorkRow &row : tables[table].second) {
            QVariantList values;
            for (const QString &column : workTables[table].columns)
                values << row.value(column);
            if (Status added = writer.add(table, values); !added)
                return added;
        }
    return writer.commit();
}

ReportWorkCopy::Writer::Writer(const ReportWorkCopy &work, const QList<WorkTable> &tables) {
    for (const WorkTable &table : tables) {
        if (!SqlDialect::isSafeIdentifier(table.name) || table.columns.isEmpty()) {
            m_ready = DbError{ErrorNumber::TableMissing,
                              QStringLiteral("Invalid name: %1").arg(table.name)};
            return;
        }
        for (const QString &column : table.columns)
            if (!SqlDialect::isSafeIdentifier(column)) {
                m_ready = DbError{ErrorNumber::FieldMissing,
                                  QStringLiteral("Invalid name: %1").arg(column)};
                return;
            }
    }
    auto db = work.open();
    if (!db) {
        m_ready = db.error();
        return;
    }
    m_db = std::move(db.value());
    m_transaction = std::make_unique<Transaction>(*m_db);
    if (!m_transaction->begun()) {
        m_ready = m_transaction->begun();
        return;
    }
    for (const WorkTable &table : tables) {
        QStringList marks;
        marks.fill(QStringLiteral("?"), table.columns.size());
        auto insert = m_db->prepare(QStringLiteral("insert into %1 (%2) values (%3)")
                                        .arg(table.name, table.columns.join(QLatin1String(", ")),
                                             marks.join(QLatin1String(", "))));
        if (!insert) {
            m_ready = insert.error();
            return;
        }
        m_inserts << insert.value();
        m_widths << int(table.columns.size());
    }
}

// The inserts go before the transaction and the connection they belong to.
ReportWorkCopy::Writer::~Writer() {
    m_inserts.clear();
    m_transaction.reset();
}

Status ReportWorkCopy::Writer::insert(int table, const std::function<QVariant(int)> &value) {
    if (!m_ready)
        return m_ready;
    QSqlQuery &query = m_inserts[table];
    for (int column = 0; column < m_widths[table]; ++column)
        query.bindValue(column, value(column));
    return m_db->exec(query);
}

Status ReportWorkCopy::Writer::add(int table, const QSqlQuery &source, int first) {
    return insert(table, [&](int column) { return source.value(first + column); });
}

Status ReportWorkCopy::Writer::add(int table, const QVariantList &values) {
    return insert(table, [&](int column) { return values.value(column); });
}

Status ReportWorkCopy::Writer::commit() {
    if (!m_ready)
        return m_ready;
    return m_transaction->commit();
}

ReportLauncher::ReportLauncher(Module &module)
    : m_module(module) {}

QString ReportLauncher::workCopyName(int sysUser) {
    return QStringLiteral("rpt") + (QStringLiteral("00") + QString::number(sysUser)).right(2) +
           QStringLiteral(".mdb");
}

QString ReportLauncher::marginFileName(int sysUser) {
    return QString::number(sysUser) + QStringLiteral("printmargin.");
}

QString ReportLauncher::parameterBlock(const ReportRequest &request, int marginTop,
                                       int marginLeft) {
    QStringList lines{QStringLiteral("Crystal~"),
                      line(QStringLiteral("ReportFileName"), request.ReportFile),
                      line(QStringLiteral("WindowTitle"), request.ReportTitle),
                      line(QStringLiteral("MarginTop"), QString::number(marginTop)),
                      line(QStringLiteral("MarginLeft"), QString::number(marginLeft))};
    if (!request.SelectionFormula.isEmpty())
        lines << line(QStringLiteral("SelectionFormula"), request.SelectionFormula);
    for (std::size_t i = 0; i < request.DataFiles.size(); ++i)
        if (!request.DataFiles[i].isEmpty())
            lines << line(QStringLiteral("DataFiles(%1)").arg(i), request.DataFiles[i]);
    return lines.join(QLatin1Char('\n'));
}

QString ReportLauncher::clubFormatLines(const ClubSettings &club) {
    QString lines = QLatin1Char('\n') + line(QStringLiteral("Locale"), club.locale().name());
    const std::pair<const char *, const char *> formats[] = {
        {"LongDate", ClubSettings::LongDateFormat}, {"ShortDate", ClubSettings::ShortDateFormat}};
    for (const auto &[name, setting] : formats)
        if (const QString format = club.value(QString::fromLatin1(setting)); !format.isEmpty())
            lines += QLatin1Char('\n') + line(QString::fromLatin1(name), format);
    return lines;
}

TypedNumber ReportLauncher::marginInches(const QString &answer, const QString &which) {
    return TypedNumber::read(
        answer, which + QStringLiteral(" margin"),
        TypedNumber::Bounds().atLeast(Decimal()).atMost(Decimal::fromInteger(MaxMarginInches)));
}

std::unique_ptr<ReportWorkCopy> ReportLauncher::PrepareReportDatabase() {
    ReportRequest &request = m_module.report;
    const QString name = workCopyName(m_module.session.SysUser);
    auto work = std::make_unique<ReportWorkCopy>(m_module.databases, name, request.WorkDirectory);
    if (!work->locked()) {
        m_module.messages.show(
            QStringLiteral("The report work file %1 is in use at another workstation.\r\n"
                           "Try again when its report has finished.")
                .arg(name),
            QStringLiteral("Brevant"), Icon::Information);
        return nullptr;
    }
    const QString clubDirectory = m_module.databases.settings().clubDirectory;
    const QString templateFile = ClubFile::find(clubDirectory, QStringLiteral("rpt00.sys"));
    if (templateFile.isEmpty()) {
        // Without the template the last report's copy would print again.
        m_module.messages.ShowMissingDatabase(QStringLiteral("rpt00.sys"));
        return nullptr;
    }
    // A journal left by an interrupted report would be played back into the
    // fresh copy, so it goes with the old copy.
    for (const QString &old : {work->path(), work->path() + QStringLiteral("-journal")}) {
        if (QFile::exists(old) && !QFile::remove(old)) {
            m_module.messages.ShowErrorCodes(
                {ErrorNumber::FileAccess, QStringLiteral("%1 cannot be replaced.").arg(old)});
            return nullptr;
        }
    }
    if (!QFile::copy(templateFile, work->path())) {
        m_module.messages.ShowErrorCodes(
            {ErrorNumber::FileAccess, QStringLiteral("%1 cannot be made.").arg(work->path())});
        return nullptr;
    }
    QFile::setPermissions(work->path(), QFile::permissions(work->path()) | QFile::WriteOwner);

    request.ReportHeadings = {m_module.config.compname, {}, {}, {}, {}};
    return work;
}

std::optional<qsizetype> ReportLauncher::copyRows(const ReportWorkCopy &work,
                                                  const QString &database, const QString &sql,
                                                  const QVariantList &values,
                                                  const QString &table) {
    DatabasePtr source = m_module.access.open(database);
    if (!source)
        return std::nullopt;
    auto rows = source->exec(sql, values);
    if (!rows) {
        m_module.messages.ShowErrorCodes(rows.error());
        return std::nullopt;
    }
    ReportWorkCopy::Writer writer(work, {WorkTable::whole(table)});
    qsizetype count = 0;
    Status copied = writer.ready();
    while (copied && rows->next()) {
        copied = writer.add(0, *rows);
        ++count;
    }
    if (copied && rows->lastError().isValid())
        copied = source->error(rows->lastError());
    if (copied)
        copied = writer.commit();
    if (!copied) {
        m_module.messages.ShowErrorCodes(copied.error());
        return std::nullopt;
    }
    return count;
}

std::unique_ptr<ReportWorkCopy>
ReportLauncher::fillPaper(const QString &layout, const QString &subtitle, const WorkRows &rows) {
    auto work = PrepareReportDatabase();
    if (!work)
        return nullptr;
    ReportRequest &request = m_module.report;
    request.ReportHeadings[1] = subtitle;
    if (!WriteReportHeadings(*work))
        return nullptr;
    if (Status written = work->write(rows); !written) {
        m_module.messages.ShowErrorCodes(written.error());
        return nullptr;
    }
    request.SelectionFormula.clear();
    request.DataFiles[0] = work->fileName();
    request.ReportFile = layout;
    return work;
}

bool ReportLauncher::WriteReportHeadings(ReportWorkCopy &work) {
    auto db = work.open();
    if (!db) {
        m_module.messages.ShowErrorCodes(db.error());
        return false;
    }
    const auto &headings = m_module.report.ReportHeadings;
    QString sql = QStringLiteral(
        "update headings set ctlcompname = ?, ctlauxtitle = ?, ctlseq = ?, ctlselect = ?");
    // The subtitle holds a date range in the club's format and a filter.
    QVariantList values{cutToLength(headings[0], 30), cutToLength(headings[1], 80),
                        cutToLength(headings[2], 40), cutToLength(headings[3], 40)};
    // An empty top line keeps the template's.
    if (!headings[4].isEmpty()) {
        sql += QStringLiteral(", ctllinetop = ?");
        values << cutToLength(headings[4], 250);
    }
    const Status written = db.value()->change(sql, values);
    if (!written) {
        m_module.messages.ShowErrorCodes(written.error());
        return false;
    }
    return true;
}

ClubSettings ReportLauncher::clubSettings() const {
    auto club = ClubSettings::load(m_module.databases);
    return club ? *club : ClubSettings();
}

bool ReportLauncher::LaunchReport(ReportWorkCopy &) {
    LoadPrintMargins();
    ReportRequest &request = m_module.report;
    const QString block =
        parameterBlock(request, MarginTop, MarginLeft) + clubFormatLines(clubSettings());
    request.DataFiles = {};
    request.ReportTitle.clear();
    request.SelectionFormula.clear();
    m_module.ports.clipboard.setText(block);

    const QString program = QLatin1String(ReportRequest::ReportProgram);
    if (!m_module.ports.programs.exists(program)) {
        m_module.messages.show(program + QStringLiteral(" cannot be found"), QString(), Icon::None);
        return false;
    }
    if (!ClubFile::exists(m_module.databases.settings().clubDirectory, request.ReportFile)) {
        m_module.messages.show(request.ReportFile + QStringLiteral(" cannot be found"), QString(),
                               Icon::None);
        return false;
    }
    // A work copy of its own is read from its folder.
    QStringList arguments;
    if (!request.WorkDirectory.isEmpty())
        arguments << QStringLiteral("--data") << request.WorkDirectory;
    if (!request.PdfFile.isEmpty())
        arguments << QStringLiteral("--pdf") << request.PdfFile;
    // The report program shows its own reason for these exit codes (a
    // refused block, such as margins that push labels off the paper, a
    // refused layout, unreadable data, a PDF that cannot be written); a
    // warning on top would only bury it. A report stopped at its time limit
    // is told here; a program that could not start or crashed gets the
    // general warning.
    constexpr int TimeLimitPassed = 6;
    static const QList<int> toldByReportProgram{2, 3, 4, 5, TimeLimitPassed};
    request.ReportResult =
        m_module.routines.RunAndWait(program, arguments, block, toldByReportProgram);
    if (request.ReportResult == TimeLimitPassed)
        m_module.messages.show(
            QStringLiteral("The report %1 took longer than its time limit and was stopped; "
                           "nothing was printed.\r\nSelect fewer events, or ask the "
                           "administrator to raise PRINZEL_TIME_LIMIT.")
                .arg(request.ReportFile),
            QStringLiteral("Oops..."), Icon::Information);
    return request.ReportResult == 0;
}

void ReportLauncher::LoadPrintMargins() {
    MarginTop = 0;
    MarginLeft = 0;
    QFile file(m_module.clubPath(marginFileName(m_module.session.SysUser)));
    if (!file.open(QIODevice::ReadOnly | QIODevice::Text))
        return;
    QTextStream in(&file);
    if (!in.atEnd())
        MarginTop = storedMargin(in.readLine());
    if (!in.atEnd())
        MarginLeft = storedMargin(in.readLine());
}

void ReportLauncher::SetPrintMargins() {
    Prompts &prompts = m_module.ports.prompts;
    prompts.message(QStringLiteral("You may adjust both the TOP and LEFT printing margins for \n"
                                   "Brevant reports. Moving the margins affect all reports\n"
                                   "that use the Prinzel module. Click OK to begin."),
                    QStringLiteral("Set Printer Margins"), Icon::Information);
    // Whole twips, or none when cancelled or refused (the operator told).
    const auto ask = [&](const QString &which, const QString &title) -> std::optional<int> {
        const TypedNumber inches = marginInches(
            prompts.input(
                QStringLiteral("Set the %1 margin by typing a number in inches.\n").arg(which) +
                    QStringLiteral("For example: 1=1 inch  or .5 = 1/2 inch \n\n"
                                   "Type a zero to disable the feature altogether\n\n"
                                   "When done, press ENTER or click OK.\n"),
                title),
            which);
        if (!inches.isNumber()) {
            if (!inches.isEmpty())
                m_module.messages.show(inches.message(), QStringLiteral("Oops..."),
                                       Icon::Information);
            return std::nullopt;
        }
        const auto twips = inches.value().times(Decimal::fromInteger(TwipsPerInch));
        return twips ? std::optional(twips->roundedTo(0).toString().toInt()) : std::nullopt;
    };
    const auto top = ask(QStringLiteral("TOP"), QStringLiteral("Adjust TOP Margin"));
    if (!top)
        return;
    const auto left = ask(QStringLiteral("LEFT"), QStringLiteral("Adjust LEFT Margin"));
    if (!left)
        return;
    QFile file(m_module.clubPath(marginFileName(m_module.session.SysUser)));
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate | QIODevice::Text) ||
        file.write(QStringLiteral("%1\n%2\n").arg(*top).arg(*left).toLatin1()) < 0) {
        m_module.messages.ShowErrorCodes(
            {ErrorNumber::FileAccess,
             QStringLiteral("%1 cannot be written.").arg(file.fileName())});
        return;
    }
    MarginTop = *top;
    MarginLeft = *left;
}

void ReportLauncher::RunPrinterControl() {
    m_module.routines.ChangeToProgramDirectory();
    m_module.ports.programs.start(QStringLiteral("prenvo.exe"), {},
                                  Programs::WindowState::Minimized);
}
