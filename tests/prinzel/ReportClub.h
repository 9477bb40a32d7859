#pragma once

#include "ReportFailure.h"
#include "storage/Databases.h"

#include <QDate>
#include <QRectF>
#include <QStringList>
#include <QTemporaryDir>
#include <QVariantList>
#include <gtest/gtest.h>

// A club directory in a temporary folder with the operator's report work
// file rpt05.mdb, made by the schema module as the program makes it (every
// report table and the template's headings row), and the shipped layouts.
class ReportClub {
public:
    // The print date the tests fix, so that whole outputs can be compared.
    static QDate today() { return QDate(2027, 1, 15); }

    ReportClub();

    QString path(const QString &name) const;
    // Runs a statement on a data file (made when missing), once per row of
    // values; the test fails on an error.
    void execMany(const QString &sql, const QList<QVariantList> &rows,
                  const QString &file = QStringLiteral("rpt05.mdb"));
    void exec(const QString &sql, const QVariantList &values = {}) { execMany(sql, {values}); }
    // Several statements, each once per row of its values, in one transaction.
    using Statements = QList<std::pair<QString, QList<QVariantList>>>;
    void execAll(const Statements &statements, const QString &file = QStringLiteral("rpt05.mdb"));
    void writeFile(const QString &name, const QString &text) const;

    // A parameter block for a report over rpt05.mdb.
    static QString block(const QString &report, const QString &formula = {}, int marginTop = 0,
                         int marginLeft = 0);
    // Prepares and writes the report's PDF; the number of pages.
    Result<int, ReportFailure> makePdf(const QString &blockText,
                                       const QString &pdf = QStringLiteral("out.pdf"));
    // Writes the report's PDF and sets `pages`; its text, empty when it failed.
    QString print(const QString &blockText);
    // The PDF as pdftotext lays it out (no ligatures: words stay findable); pages are
    // separated by form feeds.
    QString text(const QString &pdf = QStringLiteral("out.pdf")) const;

    QTemporaryDir temp;
    QString directory;
    int pages = 0;

private:
    Databases m_databases;
};

// The result is refused with `code` and a message naming `named`.
template <typename Result>
void expectRefused(const Result &result, ExitCode code, const QString &named) {
    ASSERT_FALSE(result) << named.toStdString();
    EXPECT_EQ(result.error().code, code) << named.toStdString();
    EXPECT_TRUE(result.error().message.contains(named)) << result.error().message.toStdString();
}

// Compares a whole output with its golden file; PRINZEL_UPDATE_GOLDEN=1
// writes the file instead, for a change that is meant.
void expectGolden(const QString &name, const QString &text);

// pdftotext's output of a PDF file; extra options before the file name.
QString pdfText(const QString &pdf, const QStringList &options = {QStringLiteral("-layout")});

// A word of a PDF where pdftotext finds it: its page (from 1) and its box in
// points from the page's top left.
struct PdfWord {
    int page = 0;
    QString text;
    QRectF box;
};

QList<PdfWord> pdfWords(const QString &pdf);

// The numbers "<marker><n>" in the text, in order.
QList<int> numbers(const QString &text, const QString &marker);

// A title of `size` characters in Latin, Japanese, Cyrillic and Greek words:
// "Fête0 東京の夕べ1 Праздник2 Γιορτή3 Fête4 ...".
QString longTitle(int size = 10000);

// Rows written as text, one a string, their values separated by "|"; the
// columns' types make numbers of numbers again.
QList<QVariantList> rows(const QStringList &lines);

// Every word of the PDF on its paper (in points) and none drawn over
// another (boxes may touch); each fault is reported under `where`.
void expectWordsApart(const QString &pdf, QSizeF paper, const std::string &where);

// Every amount of the PDF (on `page`; 0: every page) whole on one line and
// its right edge at most at `right` points; how many of them are the largest
// an amount column holds, 9,999,999.99.
int expectAmountsWhole(const QString &pdf, qreal right, const std::string &where, int page = 0);
