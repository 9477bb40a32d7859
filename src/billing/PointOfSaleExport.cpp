#include "PointOfSaleExport.h"

#include "ports/Messages.h"
#include "session/LongOperation.h"
#include "storage/ClubFile.h"
#include "storage/Databases.h"
#include "values/TypedNumber.h"

#include <QCoreApplication>
#include <QFile>
#include <QStringDecoder>

namespace {

const QString Oops = QStringLiteral("Oops...");

// Where the failure of the run's own work happened: reading the till
// configuration, writing the request files.
constexpr int ReadingSettings = 5;
constexpr int WritingRequests = 95;

// The club's file of that name in whatever case it was copied in, or the
// path for a new one.
QString clubFile(const Databases &databases, const QString &name) {
    const QString found = ClubFile::find(databases.settings().clubDirectory, name);
    return found.isEmpty() ? databases.clubPath(name) : found;
}

// A mode as it is asked for: digits only, within 16 bits.
std::optional<qint16> modeNumber(const QString &text) {
    const QString digits = text.trimmed();
    bool number = !digits.isEmpty() && digits.size() <= 5;
    for (QChar c : digits)
        number = number && c.isDigit() && c.unicode() < 128;
    const int value = number ? digits.toInt() : -1;
    if (value < 0 || value > 32767)
        return std::nullopt;
    return qint16(value);
}

} // namespace

PointOfSaleExport::PointOfSaleExport(Databases &databases, Messages &messages,
                                     LongOperation &longOperation, QObject *parent)
    : QObject(parent)
    , m_databases(databases)
    , m_messages(messages)
    , m_longOperation(longOperation)
    , m_copies(
          databases, [this](const QString &text) { setMessage(text); },
          [] { QCoreApplication::processEvents(); }) {}

QList<PointOfSaleExport::Routine> PointOfSaleExport::routinesOf(int mode) {
    using enum Routine;
    switch (mode) {
    case 15:
    case 24:
        return {Inventory};
    case 16:
        return {Members};
    case 17:
    case 171:
        return {Inventory, Buttons};
    case 19:
    case 27:
        return {Employees};
    case 20:
        return {Inventory, Members, Employees};
    case 21:
    case 28:
        return {Members, Inventory, Employees};
    case 22:
        return {Members, Inventory};
    case 23:
    case 30:
        return {Inventory, Employees};
    case 25:
        return {Members, Employees};
    case 26:
        return {Members, Buttons};
    case 29:
        return {Members, Inventory, Buttons};
    case 31:
        return {Members, Employees, Buttons};
    case 40:
        return {Members, Employees, Inventory};
    case 51:
        return {Renumbering};
    default:
        return {};
    }
}

QString PointOfSaleExport::storeIdFrom(const QByteArray &content) {
    const qsizetype end = content.indexOf('\n');
    const QByteArray firstLine = (end < 0 ? content : content.left(end)).trimmed();
    // A file written in a Windows code page is read as Latin-1 rather than
    // mangled.
    QStringDecoder utf8(QStringDecoder::Utf8, QStringDecoder::Flag::Stateless);
    QString line = utf8(firstLine);
    if (utf8.hasError())
        line = QString::fromLatin1(firstLine);
    const QString prefix = QStringLiteral("StoreID=");
    if (!line.startsWith(prefix, Qt::CaseInsensitive))
        return QString();
    return line.mid(prefix.size()).trimmed();
}

QStringList PointOfSaleExport::requestLines(int mode) {
    if (mode == 171)
        return {QStringLiteral("17 , 1 , 0 , 0 , 0")};
    QStringList lines{QString::number(mode) + QStringLiteral(" , 0 , 0 , 0 , 0")};
    if (mode == 17)
        lines << QStringLiteral("15 , 0 , 0 , 0 , 0");
    return lines;
}

void PointOfSaleExport::setMessage(const QString &text) {
    statusText = text;
    emit changed();
}

void PointOfSaleExport::updateTills(const QString &mode,
                                    const std::optional<Renumbering> &renumbering) {
    statusText.clear();
    errorDetail.clear();
    errorButtonVisible = false;
    ErrorFlag = 0;
    running = true;
    emit changed();
    // Writing commands wait until the tills' copies are done.
    std::optional<LongOperation::Scope> busy;
    if (!m_longOperation.running())
        busy.emplace(m_longOperation, QStringLiteral("Updating Tillzo"));
    if (readSettings(mode)) {
        if (Mode == 51 && !renumbering) {
            m_messages.show(QStringLiteral("Mode 51 renumbers an item on the till buttons "
                                           "and needs the old and new item numbers; "
                                           "nothing was updated."),
                            Oops, Icon::Information);
        } else {
            runAll(routinesOf(Mode), renumbering);
        }
    }
    running = false;
    emit changed();
}

bool PointOfSaleExport::readSettings(const QString &asked) {
    const auto mode = modeNumber(asked);
    if (!mode || routinesOf(*mode).isEmpty()) {
        m_messages.show(QStringLiteral("\"") + asked +
                            QStringLiteral("\" is not a point-of-sale update mode; "
                                           "nothing was updated."),
                        Oops, Icon::Information);
        return false;
    }
    Mode = *mode;

    QFile store(clubFile(m_databases, QStringLiteral("storeid.dat")));
    StoreId = store.open(QIODevice::ReadOnly) ? storeIdFrom(store.read(4096)) : QString();

    auto config = m_databases.open(QStringLiteral("config"));
    auto tills = config ? (*config)->exec(QStringLiteral("select tillcount from pos"))
                        : Result<QSqlQuery>(config.error());
    if (!tills) {
        fail({tills.error(), ReadingSettings});
        return false;
    }
    // No till configured (or a Null count) leaves only optiondef to do. A
    // count kept as text is read whole: "12abc" is no count of 12 or of 0.
    const QVariant count = tills->next() ? tills->value(0) : QVariant();
    const QString text =
        count.isNull() ? QString()
        : count.typeId() == QMetaType::Double
            ? QString::number(count.toDouble(), 'f', QLocale::FloatingPointShortest)
            : count.toString();
    const TypedNumber read =
        TypedNumber::read(text, QStringLiteral("Till count"),
                          TypedNumber::ofColumn(QStringLiteral("config"), QStringLiteral("pos"),
                                                QStringLiteral("tillcount")));
    if (!read.isNumber() && !read.isEmpty()) {
        m_messages.show(read.message() + QStringLiteral("\nNothing was updated."), Oops,
                        Icon::Information);
        return false;
    }
    TillCount = read.isNumber() ? std::max(0, int(read.value().toDouble())) : 0;
    if (TillCount > MostTills) {
        m_messages.show(QStringLiteral("The till configuration lists %1 tills, but the "
                                       "point-of-sale update handles tills 01 to %2 only; "
                                       "nothing was updated.")
                            .arg(TillCount)
                            .arg(MostTills),
                        Oops, Icon::Information);
        return false;
    }
    emit changed();
    return true;
}

// Every database the routines write or read: the copies first, so that the
// run's connection is one of theirs.
QStringList PointOfSaleExport::databasesOf(const QList<Routine> &routines) {
    QStringList copies, sources;
    for (Routine routine : routines) {
        switch (routine) {
        case Routine::Members:
            copies << QStringLiteral("qnposmem");
            sources << QStringLiteral("master");
            break;
        case Routine::Employees:
            copies << QStringLiteral("qnposemp");
            sources << QStringLiteral("emp");
            break;
        case Routine::Inventory:
            copies << QStringLiteral("qnposinv");
            sources << QStringLiteral("invntory") << QStringLiteral("ar");
            break;
        case Routine::Buttons:
            copies << QStringLiteral("qnposh");
            sources << QStringLiteral("invntory");
            break;
        case Routine::Renumbering:
            copies << QStringLiteral("qnposh");
            break;
        }
    }
    QStringList all = copies + sources;
    all.removeDuplicates();
    return all;
}

// The routines are one transaction: a failure in any leaves every copy as
// it was, and the tills are asked to reload only once all are committed.
void PointOfSaleExport::runAll(const QList<Routine> &routines,
                               const std::optional<Renumbering> &renumbering) {
    // A run killed while committing may have left a super-journal that no
    // journal needs any more; none is left to pile up in the club folder.
    if (m_databases.settings().engine == Engine::Sqlite)
        ClubFile::removeStaleSuperJournals(m_databases.settings().clubDirectory);
    if (auto failed = m_copies.begin(databasesOf(routines)))
        return fail(*failed);
    for (Routine routine : routines) {
        if (!run(routine, renumbering)) {
            m_copies.abandon();
            return;
        }
    }
    if (auto failed = m_copies.finish())
        return fail(*failed);
    writeRequestFiles();
}

bool PointOfSaleExport::run(Routine routine, const std::optional<Renumbering> &renumbering) {
    TillCopies::Outcome failed;
    switch (routine) {
    case Routine::Members:
        failed = m_copies.members();
        break;
    case Routine::Employees:
        failed = m_copies.employees();
        break;
    case Routine::Inventory:
        failed = m_copies.inventory();
        break;
    case Routine::Buttons:
        failed = m_copies.buttons(TillCount);
        break;
    case Routine::Renumbering:
        failed = m_copies.renumberButtons(TillCount, renumbering->oldNumber, renumbering->newNumber,
                                          renumbering->code);
        break;
    }
    if (failed)
        fail(*failed);
    return !failed;
}

void PointOfSaleExport::fail(const TillCopies::Failure &failure) {
    ErrorFlag = 1;
    errorButtonVisible = true;
    statusText = QStringLiteral("Error %1 @ %2").arg(failure.error.number).arg(failure.line);
    errorDetail = failure.error.description;
    emit changed();
}

void PointOfSaleExport::acknowledgeError() {
    errorButtonVisible = false;
    ErrorFlag = 0;
    emit changed();
}

// Each till's file is written whole beside the old one and then put in its
// place, so a till never reads half a request.
bool PointOfSaleExport::writeRequestFiles() {
    const QByteArray content =
        (requestLines(Mode).join(QStringLiteral("\r\n")) + QStringLiteral("\r\n")).toLatin1();
    for (int till = 1; till <= TillCount; ++till) {
        const QString name = QStringLiteral("qnpos%1.req").arg(till, 2, 10, QLatin1Char('0'));
        if (const QString failed = ClubFile::replace(clubFile(m_databases, name), content);
            !failed.isEmpty()) {
            fail({{ErrorNumber::FileAccess,
                   QStringLiteral("%1 could not be written: %2").arg(name, failed)},
                  WritingRequests});
            return false;
        }
    }
    return true;
}
