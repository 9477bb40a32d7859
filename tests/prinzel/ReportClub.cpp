#include "ReportClub.h"

#include "ReportJob.h"
#include "storage/Transaction.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QRegularExpression>
#include <gtest/gtest.h>

namespace {

StorageSettings settings(const QString &directory) {
    StorageSettings settings;
    settings.clubDirectory = directory;
    return settings;
}

} // namespace

ReportClub::ReportClub()
    : directory(temp.path())
    , m_databases(settings(temp.path())) {
    {
        auto made = m_databases.create("rpt");
        EXPECT_TRUE(made) << made.error().description.toStdString();
    }
    EXPECT_TRUE(QFile::rename(path(Databases::fileName("rpt")), path("rpt05.mdb")));
    exec("insert into headings (ctlcompname, ctlauxtitle) values (?, ?)",
         {"Harbour Club", QString()});
    for (const QString &layout : QDir(QStringLiteral(PRINZEL_LAYOUTS)).entryList({"*.rpt"}))
        EXPECT_TRUE(QFile::copy(QStringLiteral(PRINZEL_LAYOUTS "/") + layout, path(layout)));
}

QString ReportClub::path(const QString &name) const {
    return QDir(directory).filePath(name);
}

void ReportClub::execMany(const QString &sql, const QList<QVariantList> &rows,
                          const QString &file) {
    execAll({{sql, rows}}, file);
}

void ReportClub::execAll(const Statements &statements, const QString &file) {
    auto db = m_databases.openLocalFile(path(file));
    ASSERT_TRUE(db) << db.error().description.toStdString();
    Transaction transaction(**db);
    for (const auto &[sql, rows] : statements) {
        auto query = (*db)->prepare(sql);
        ASSERT_TRUE(query) << query.error().description.toStdString();
        for (const QVariantList &values : rows) {
            for (int i = 0; i < values.size(); ++i)
                query->bindValue(i, values.at(i));
            const Status done = (*db)->exec(*query);
            ASSERT_TRUE(done) << sql.toStdString() << ": "
                              << done.error().description.toStdString();
        }
    }
    ASSERT_TRUE(transaction.commit());
}

void ReportClub::writeFile(const QString &name, const QString &text) const {
    QFile file(path(name));
    ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
    file.write(text.toUtf8());
}

QString ReportClub::block(const QString &report, const QString &formula, int marginTop,
                          int marginLeft) {
    QStringList lines{"Crystal~", QStringLiteral("ReportFileName=%1~").arg(report), "WindowTitle=~",
                      QStringLiteral("MarginTop=%1~").arg(marginTop),
                      QStringLiteral("MarginLeft=%1~").arg(marginLeft)};
    if (!formula.isEmpty())
        lines << QStringLiteral("SelectionFormula=%1~").arg(formula);
    lines << QStringLiteral("DataFiles(0)=rpt05.mdb~");
    return lines.join(QLatin1Char('\n'));
}

Result<int, ReportFailure> ReportClub::makePdf(const QString &blockText, const QString &pdf) {
    const auto job = ReportJob::prepare(blockText, {directory, today(), {}});
    if (!job)
        return job.error();
    return job->writePdf(path(pdf));
}

QString ReportClub::print(const QString &blockText) {
    const auto made = makePdf(blockText);
    EXPECT_TRUE(made) << blockText.toStdString() << ": " << made.error().message.toStdString();
    pages = made ? *made : 0;
    return made ? text() : QString();
}

QString ReportClub::text(const QString &pdf) const {
    return pdfText(path(pdf));
}

void expectGolden(const QString &name, const QString &text) {
    QFile file(QStringLiteral(PRINZEL_GOLDEN "/") + name);
    if (qEnvironmentVariableIsSet("PRINZEL_UPDATE_GOLDEN")) {
        ASSERT_TRUE(file.open(QIODevice::WriteOnly | QIODevice::Truncate));
        file.write(text.toUtf8());
        return;
    }
    ASSERT_TRUE(file.open(QIODevice::ReadOnly)) << name.toStdString();
    EXPECT_EQ(text.toStdString(), file.readAll().toStdString()) << name.toStdString();
}

QString pdfText(const QString &pdf, const QStringList &options) {
    QProcess pdftotext;
    pdftotext.start("pdftotext", options + QStringList{pdf, "-"});
    EXPECT_TRUE(pdftotext.waitForFinished(60000));
    EXPECT_EQ(pdftotext.exitCode(), 0) << pdftotext.readAllStandardError().toStdString();
    return QString::fromUtf8(pdftotext.readAllStandardOutput());
}

QList<PdfWord> pdfWords(const QString &pdf) {
    static const QRegularExpression pattern("<page |<word xMin=\"([0-9.]+)\" yMin=\"([0-9.]+)\" "
                                            "xMax=\"([0-9.]+)\" yMax=\"([0-9.]+)\">([^<]*)<");
    QList<PdfWord> words;
    int page = 0;
    for (auto match = pattern.globalMatch(pdfText(pdf, {"-bbox"})); match.hasNext();) {
        const auto found = match.next();
        if (found.captured(1).isEmpty()) {
            ++page;
            continue;
        }
        const QPointF topLeft(found.captured(1).toDouble(), found.captured(2).toDouble());
        const QPointF bottomRight(found.captured(3).toDouble(), found.captured(4).toDouble());
        words << PdfWord{page, found.captured(5), QRectF(topLeft, bottomRight)};
    }
    return words;
}

void expectWordsApart(const QString &pdf, QSizeF paper, const std::string &where) {
    const QList<PdfWord> printed = pdfWords(pdf);
    for (qsizetype i = 0; i < printed.size(); ++i) {
        const PdfWord &word = printed[i];
        EXPECT_TRUE(QRectF(QPointF(), paper).contains(word.box))
            << where << ": " << word.text.toStdString() << " off the paper";
        // A word drawn over another shares more than a sliver with it.
        const QRectF inner = word.box.adjusted(1, 1, -1, -1);
        for (qsizetype j = i + 1; j < printed.size(); ++j)
            if (printed[j].page == word.page && inner.intersects(printed[j].box))
                ADD_FAILURE() << where << ": \"" << word.text.toStdString() << "\" over \""
                              << printed[j].text.toStdString() << "\" on page " << word.page;
    }
}

QString longTitle(int size) {
    const QStringList words{"Fête", "東京の夕べ", "Праздник", "Γιορτή"};
    QString title;
    for (int i = 0; title.size() < size; ++i)
        title += words[i % words.size()] + QString::number(i) + QLatin1Char(' ');
    title.truncate(size);
    return title;
}

QList<QVariantList> rows(const QStringList &lines) {
    QList<QVariantList> rows;
    for (const QString &line : lines) {
        QVariantList values;
        for (const QString &value : line.split(QLatin1Char('|')))
            values << value;
        rows << values;
    }
    return rows;
}

int expectAmountsWhole(const QString &pdf, qreal right, const std::string &where, int page) {
    static const QRegularExpression amount("^-?\\d{1,3}(,\\d{3})*\\.\\d\\d$");
    static const QRegularExpression grouped("\\d,\\d");
    int largest = 0;
    for (const PdfWord &word : pdfWords(pdf)) {
        if ((page && word.page != page) || !word.text.contains(grouped))
            continue;
        EXPECT_TRUE(amount.match(word.text).hasMatch()) << where << ": " << word.text.toStdString();
        EXPECT_LE(word.box.right(), right) << where << ": beyond the margin";
        largest += word.text == QLatin1String("9,999,999.99");
    }
    return largest;
}

QList<int> numbers(const QString &text, const QString &marker) {
    QList<int> found;
    const QRegularExpression pattern(QRegularExpression::escape(marker) + QStringLiteral("(\\d+)"));
    for (auto match = pattern.globalMatch(text); match.hasNext();)
        found << match.next().captured(1).toInt();
    return found;
}
