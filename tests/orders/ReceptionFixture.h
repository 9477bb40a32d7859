#pragma once

#include "EventFixture.h"
#include "orders/EventOrder.h"
#include "ports/QtPrograms.h"
#include "session/ClubSettings.h"
#include "startup/ClubUpgrade.h"
#include "storage/Databases.h"

#include <QFile>
#include <QProcess>

// The first of the fragments not found after the one before it; empty when
// the text holds them all in that order.
inline QString missing(const QString &text, const QStringList &fragments) {
    qsizetype at = 0;
    for (const QString &fragment : fragments) {
        at = text.indexOf(fragment, at);
        if (at < 0)
            return fragment;
        at += fragment.size();
    }
    return {};
}

// A confirmed dinner for 58 guests on 12 June 2027 with three items in
// two departments, the club serving department 1 as Main and 2 at the Bar.
class ReceptionFixture : public EventFixture {
protected:
    void SetUp() override {
        EventFixture::SetUp();
        ASSERT_EQ(book(QStringLiteral("20270612"), QStringLiteral("Park Reception"),
                       QStringLiteral("18:00"), QStringLiteral("23:00"), 3, 4),
                  EventRecord::Saved::Done);
        event = lastNumber;
        exec(QStringLiteral("evnt"),
             QStringLiteral("update eventinfo set setfor = 60, guarantee = 58, contactname = "
                            "'Hannah Park', contphone1 = '267-555-0136' where eventnum = ?"),
             {event});
        addItems(event, {{30, 103, 1, QStringLiteral("Grilled Salmon"), "1170, 210.6, 81.9"},
                         {28, 101, 1, QStringLiteral("Filet Mignon"), "1344, 241.92, 94.08"},
                         {232, 202, 2, QStringLiteral("Open Bar"), "2784, 501.12, 194.88"}});
        ASSERT_TRUE(ClubSettings::write(*open(),
                                        QString::fromLatin1(OrderLists::CourseByDepartmentSetting),
                                        QStringLiteral("1=Main;2=Bar"))
                        .ok());
    }

    DatabasePtr open() { return std::move(module->databases.open(QStringLiteral("evnt")).value()); }

    struct Item {
        int quantity, number, department;
        QString description;
        const char *amounts; // price, service charge, tax
    };
    // Items sold to the event, each described after its quantity as sold.
    void addItems(int number, const QList<Item> &items) {
        for (const Item &item : items)
            exec(QStringLiteral("evnt"),
                 QStringLiteral("insert into items (eventid, qty, itemnum, dept, itemdesc, price, "
                                "servchg, tax) values (?, ?, ?, ?, ?, %1)")
                     .arg(QLatin1String(item.amounts)),
                 {number, item.quantity, item.number, QString::number(item.department),
                  QString::number(item.quantity) + QLatin1Char(' ') + item.description});
    }

    int event = 0;
};

// The reception with the club's shipped files, and a workstation (operator
// 5) that prints through the real report program into paper.pdf.
class PrintingFixture : public ReceptionFixture {
protected:
    void SetUp() override {
        ReceptionFixture::SetUp();
        ASSERT_TRUE(ClubUpgrade::copyMissingFiles(ClubUpgrade::shareDirectory(), club).ok());
        module->session.SysUser = 5;
        realPrograms = std::make_unique<QtPrograms>(club);
        printing = std::make_unique<Module>(
            settings(), Ports{prompts, clipboard, *realPrograms, clock, keys, printer, screen});
        printing->session = module->session;
        printing->report.PdfFile = path(QStringLiteral("paper.pdf"));
    }
    void TearDown() override {
        printing.reset();
        ReceptionFixture::TearDown();
    }

    // What the last paper says, its lines as laid out, blanks run together;
    // "(no paper)" when none was printed.
    QString printed() {
        if (!QFile::exists(path(QStringLiteral("paper.pdf"))))
            return QStringLiteral("(no paper)");
        QProcess text;
        text.start(
            QStringLiteral("pdftotext"),
            {QStringLiteral("-layout"), path(QStringLiteral("paper.pdf")), QStringLiteral("-")});
        EXPECT_TRUE(text.waitForFinished(60000));
        QFile::remove(path(QStringLiteral("paper.pdf")));
        return QString::fromUtf8(text.readAllStandardOutput()).simplified();
    }

    std::unique_ptr<QtPrograms> realPrograms;
    std::unique_ptr<Module> printing; // the workstation that prints through the report program
};
