#include "ClubFixture.h"
#include "ToolFiles.h"
#include "storage/ClubStorage.h"

#include <QProcess>

using namespace Qt::StringLiterals;

namespace {

// The club tool on a full disk, made by a file-size limit (or /dev/full):
// every write is checked to its end, the command fails with the system's
// reason, and what it was replacing or making is whole or absent.
class FullDiskTest : public ClubFixture {
protected:
    bool demoData() const override { return true; }

    struct Run {
        int status = -1;
        QString said;
    };
    // The tool under bash with a file-size limit in KiB (0: none), standard
    // output sent to `output`.
    Run tool(int limitKiB, const QStringList &arguments, const QString &output = {}) {
        QProcess process;
        if (!output.isEmpty())
            process.setStandardOutputFile(output);
        const QString limit = limitKiB > 0 ? u"ulimit -f %1; "_s.arg(limitKiB) : QString();
        process.start(u"bash"_s, QStringList{u"-c"_s, limit + u"exec \"$0\" \"$@\""_s,
                                             QStringLiteral(MORAVEL_CLUB)} +
                                     arguments);
        EXPECT_TRUE(process.waitForFinished(120000));
        return {process.exitCode(), QString::fromUtf8(process.readAllStandardError())};
    }
    QString inTemp(const QString &name) const { return inDirectory(temp.path(), name); }
};

TEST_F(FullDiskTest, EveryWriteOfTheToolIsCheckedAndLeavesNothingHalfMade) {
    const QString made = inTemp(u"new/club"_s);
    const QString published = inTemp(u"events.ics"_s);
    const QString copied = inTemp(u"copied"_s);
    const QStringList ics{u"export-ics"_s, club, u"20200101"_s, u"20351231"_s};
    writeFile(published, "yesterday's calendar");
    const struct {
        const char *command;
        int limitKiB;
        QStringList arguments;
        QString output;
        const char *reason;
        std::function<void()> leaves;
    } rows[] = {
        {"create --demo", 64, QStringList{u"create"_s, made, u"--demo"_s}, QString(),
         "File too large",
         [&] {
             EXPECT_FALSE(QFileInfo::exists(made)) << "no half-made club";
             EXPECT_EQ(QDir(inTemp(u"new"_s))
                           .entryList(QDir::AllEntries | QDir::NoDotAndDotDot | QDir::Hidden),
                       QStringList())
                 << "nothing of it beside its place either";
         }},
        {"export-ics > /dev/full", 0, ics, u"/dev/full"_s, "No space left on device",
         [] {
         }},
        {"export-ics --out", 4, ics + QStringList{u"--out"_s, published}, QString(),
         "File too large",
         [&] {
             EXPECT_EQ(contents(published), "yesterday's calendar") << "kept until a whole one";
         }},
        {"copy", 64, QStringList{u"copy"_s, club, copied}, QString(), "File too large",
         [&] {
             EXPECT_FALSE(ClubStorage::load(copied).ok()) << "the copy stays marked incomplete";
         }},
    };
    for (const auto &row : rows) {
        const Run run = tool(row.limitKiB, row.arguments, row.output);
        EXPECT_EQ(run.status, 1) << row.command << ": " << run.said.toStdString();
        EXPECT_TRUE(run.said.contains(QString::fromLatin1(row.reason)))
            << row.command << ": " << run.said.toStdString();
        row.leaves();
    }

    // Without the limit the same commands do their work.
    EXPECT_EQ(tool(0, ics + QStringList{u"--out"_s, published}).status, 0);
    EXPECT_TRUE(contents(published).startsWith("BEGIN:VCALENDAR"));
    EXPECT_EQ(tool(0, {u"create"_s, made}).status, 0);
    EXPECT_TRUE(QFileInfo(QDir(made).filePath(u"evnt.mdb"_s)).isFile());
}

} // namespace
