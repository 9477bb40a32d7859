#include "ports/QtPrograms.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

namespace {

void writeScript(const QString &path, const QByteArray &body) {
    QFile script(path);
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\n" + body + "\n");
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
}

TEST(QtPrograms, ARealProgramInTheClubWinsOverTheStandIn) {
    QTemporaryDir club;
    QtPrograms programs(club.path());
    int standInRuns = 0;
    programs.registerStandIn(QStringLiteral("prinzel"),
                             [&](const QStringList &, Programs::WindowState) {
                                 ++standInRuns;
                                 return 0;
                             });
    EXPECT_TRUE(programs.exists(QStringLiteral("PRINZEL.EXE")));
    EXPECT_EQ(programs.runAndWait(QStringLiteral("prinzel.exe"), {}), 0);
    EXPECT_EQ(standInRuns, 1);

    writeScript(QDir(club.path()).filePath(QStringLiteral("prinzel")), "exit 3");
    EXPECT_EQ(programs.runAndWait(QStringLiteral("PRINZEL.EXE"), {}), 3);
    EXPECT_EQ(standInRuns, 1);

    // A Windows program file copied in marks the program but never runs.
    writeScript(QDir(club.path()).filePath(QStringLiteral("TillZo.exe")), "exit 4");
    EXPECT_TRUE(programs.exists(QStringLiteral("tillzo.exe")));
    EXPECT_TRUE(programs.exists(QStringLiteral("TILLZO.EXE")));
    EXPECT_EQ(programs.runAndWait(QStringLiteral("tillzo.exe"), {}), -1);
    EXPECT_FALSE(programs.start(QStringLiteral("TillZo.exe"), {}, Programs::WindowState::Normal));
    writeScript(QDir(club.path()).filePath(QStringLiteral("TILLZO")), "exit 5");
    EXPECT_EQ(programs.runAndWait(QStringLiteral("tillzo.exe"), {}), 5);

    EXPECT_FALSE(programs.exists(QStringLiteral("nosuchprogram.exe")));
    EXPECT_EQ(programs.runAndWait(QStringLiteral("nosuchprogram.exe"), {}), -1);
    EXPECT_FALSE(
        programs.start(QStringLiteral("nosuchprogram.exe"), {}, Programs::WindowState::Normal));
}

TEST(QtPrograms, TheWindowKeepsWorkingWhileAProgramRuns) {
    QTemporaryDir club;
    writeScript(QDir(club.path()).filePath(QStringLiteral("backup")), "sleep 0.3; exit 0");
    QtPrograms programs(club.path());
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    EXPECT_EQ(programs.runAndWait(QStringLiteral("backup"), {}), 0);
    EXPECT_GT(ticks, 3) << "events were handled during the wait";
}

TEST(QtPrograms, TheSuitesOwnToolsAreFoundWhereTheyWereInstalled) {
    QTemporaryDir club;
    QTemporaryDir installed;
    // Reads its standard input into a file of the club, as the report
    // program reads its parameter block.
    writeScript(QDir(installed.path()).filePath(QStringLiteral("prinzel")),
                "cat > block.txt; exit 0");
    QtPrograms programs(club.path(), {installed.path()});
    EXPECT_TRUE(programs.exists(QStringLiteral("prinzel.exe")));
    EXPECT_EQ(programs.runAndWait(QStringLiteral("prinzel.exe"), {}, QStringLiteral("Crystal~")),
              0);
    QFile block(QDir(club.path()).filePath(QStringLiteral("block.txt")));
    ASSERT_TRUE(block.open(QIODevice::ReadOnly)) << "run in the club directory";
    EXPECT_EQ(block.readAll(), QByteArray("Crystal~"));

    // The club's own program still wins.
    writeScript(QDir(club.path()).filePath(QStringLiteral("prinzel")), "exit 6");
    EXPECT_EQ(programs.runAndWait(QStringLiteral("prinzel.exe"), {}), 6);
}

} // namespace
