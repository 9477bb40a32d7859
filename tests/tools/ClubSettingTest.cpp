#include "ClubFixture.h"

#include <QProcess>

using namespace Qt::StringLiterals;

namespace {

// `moravel-club setting` run as the program it is: what it shows, sets and
// refuses, and what the club keeps.
class ClubSettingTest : public ClubFixture {
protected:
    struct Run {
        int status = -1;
        QString out;
        QString err;
    };
    Run setting(const QStringList &arguments) {
        QProcess process;
        process.start(QStringLiteral(MORAVEL_CLUB), QStringList{u"setting"_s, club} + arguments);
        EXPECT_TRUE(process.waitForFinished(60000));
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardOutput()),
                QString::fromUtf8(process.readAllStandardError())};
    }
    QString stored(const QString &name) {
        return scalar(u"evnt"_s, u"select value from clubsetting where name = ?"_s, {name})
            .toString();
    }
};

TEST_F(ClubSettingTest, SetsShowsAndRemovesASettingAndRefusesWhatItCannotTake) {
    const struct {
        QStringList arguments;
        int status;
        const char *said; // the start of what it prints, or of its complaint
        const char *kept; // statuscolor4 afterwards
    } runs[] = {
        {{u"statuscolor4"_s, u"#123456"_s}, 0, "statuscolor4 = #123456", "#123456"},
        {{u"statuscolor4"_s}, 0, "statuscolor4 = #123456", "#123456"},
        {{u"statuscolor4"_s, u"green"_s}, 1, "moravel-club: \"green\" is not a colour", "#123456"},
        {{u"statuscolor4"_s, u"#12345"_s},
         1,
         "moravel-club: \"#12345\" is not a colour",
         "#123456"},
        {{u"statuscolor4"_s, u"0x12AB"_s},
         1,
         "moravel-club: \"0x12AB\" is not a colour",
         "#123456"},
        {{u"statuscolor4"_s, u"+12345"_s},
         1,
         "moravel-club: \"+12345\" is not a colour",
         "#123456"},
        {{u"statuscolour4"_s, u"#654321"_s},
         1,
         "moravel-club: \"statuscolour4\" is not a setting",
         "#123456"},
        {{QString(), u"x"_s}, 1, "moravel-club: \"\" is not a setting", "#123456"},
        {{u"locale"_s, u"xx_YY"_s}, 1, "moravel-club: \"xx_YY\" is not a locale", "#123456"},
        {{u"longdate"_s, u"zzz"_s}, 1, "moravel-club: \"zzz\" writes no day", "#123456"},
        {{u"timezone"_s, u"Mars/Base"_s},
         1,
         "moravel-club: \"Mars/Base\" is not a time zone",
         "#123456"},
        {{u"courses"_s, u"Canapés;Soup;Main"_s}, 0, "courses = Canapés;Soup;Main", "#123456"},
        {{u"coursebydept"_s, u"1Main"_s},
         1,
         "moravel-club: \"1Main\" is not DEPT=Course",
         "#123456"},
        {{u"setupstyles"_s, u";"_s}, 1, "moravel-club: The list names nothing", "#123456"},
        {{u"paymentterms"_s, u"Deposit=25%,booking;Balance=rest,14"_s},
         0,
         "paymentterms = Deposit=25%,booking;Balance=rest,14",
         "#123456"},
        {{u"paymentterms"_s, u"Deposit=125%,booking"_s},
         1,
         "moravel-club: \"Deposit=125%,booking\": \"125%\" is not a percentage",
         "#123456"},
        {{u"strictdeposit"_s, u"perhaps"_s},
         1,
         "moravel-club: \"perhaps\" is neither yes nor no",
         "#123456"},
        {{}, 0, "courses = ", "#123456"},
        {{u"statuscolor4"_s, u""_s}, 0, "statuscolor4 removed", ""},
        {{u"statuscolor4"_s}, 3, "", ""},
    };
    for (const auto &run : runs) {
        SCOPED_TRACE(run.arguments.join(u' ').toStdString());
        const Run done = setting(run.arguments);
        EXPECT_EQ(done.status, run.status) << done.err.toStdString();
        const QString said = run.status == 1 ? done.err : done.out;
        EXPECT_TRUE(*run.said ? said.startsWith(QString::fromUtf8(run.said)) : said.isEmpty())
            << said.toStdString();
        EXPECT_EQ(stored(u"statuscolor4"_s), QString::fromUtf8(run.kept));
    }
}

} // namespace
