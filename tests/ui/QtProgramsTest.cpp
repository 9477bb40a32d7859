#include "ports/QtPrograms.h"

#include "WaitFor.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>

using namespace Qt::StringLiterals;

namespace {

void writeScript(const QTemporaryDir &in, const QString &name, const QByteArray &body) {
    QFile script(QDir(in.path()).filePath(name));
    ASSERT_TRUE(script.open(QIODevice::WriteOnly));
    script.write("#!/bin/sh\n" + body + "\n");
    script.close();
    script.setPermissions(script.permissions() | QFileDevice::ExeOwner);
}

// The club's own program wins over the suite's installed tool, which wins
// over the stand-in; the window keeps working while a program runs.
TEST(QtPrograms, ARealProgramInTheClubWinsOverTheInstalledToolAndTheStandIn) {
    QTemporaryDir club;
    QTemporaryDir installed;
    QtPrograms programs(club.path());
    int standInRuns = 0;
    programs.registerStandIn(u"prinzel"_s, [&](const QStringList &, Programs::WindowState) {
        ++standInRuns;
        return 0;
    });
    EXPECT_TRUE(programs.exists(u"PRINZEL.EXE"_s));
    EXPECT_EQ(programs.runAndWait(u"prinzel.exe"_s, {}), 0);
    EXPECT_EQ(standInRuns, 1);

    // Reads its standard input into a file of the club, as the report
    // program reads its parameter block.
    writeScript(installed, u"prinzel"_s, "cat > block.txt; exit 0");
    QtPrograms installedTools(club.path(), {installed.path()});
    EXPECT_TRUE(installedTools.exists(u"prinzel.exe"_s));
    EXPECT_EQ(installedTools.runAndWait(u"prinzel.exe"_s, {}, u"Crystal~"_s), 0);
    QFile block(QDir(club.path()).filePath(u"block.txt"_s));
    ASSERT_TRUE(block.open(QIODevice::ReadOnly)) << "run in the club directory";
    EXPECT_EQ(block.readAll(), QByteArray("Crystal~"));
    // Started without waiting, an installed tool runs all the same.
    writeScript(installed, u"mailforge"_s, "touch started");
    EXPECT_TRUE(installedTools.start(u"MAILFORGE.EXE"_s, {}, Programs::WindowState::Normal));
    EXPECT_TRUE(waitFor([&] { return QFile::exists(QDir(club.path()).filePath(u"started"_s)); }));

    // The club's own program wins over both.
    writeScript(club, u"prinzel"_s, "sleep 0.3; exit 3");
    EXPECT_EQ(installedTools.runAndWait(u"prinzel.exe"_s, {}), 3);
    int ticks = 0;
    QTimer timer;
    QObject::connect(&timer, &QTimer::timeout, [&] { ++ticks; });
    timer.start(20);
    EXPECT_EQ(programs.runAndWait(u"PRINZEL.EXE"_s, {}), 3);
    EXPECT_GT(ticks, 3) << "events were handled during the wait";
    EXPECT_EQ(standInRuns, 1);

    // A Windows program file copied in marks the program but never runs.
    writeScript(club, u"TillZo.exe"_s, "exit 4");
    EXPECT_TRUE(programs.exists(u"tillzo.exe"_s));
    EXPECT_TRUE(programs.exists(u"TILLZO.EXE"_s));
    EXPECT_EQ(programs.runAndWait(u"tillzo.exe"_s, {}), -1);
    EXPECT_FALSE(programs.start(u"TillZo.exe"_s, {}, Programs::WindowState::Normal));
    writeScript(club, u"TILLZO"_s, "exit 5");
    EXPECT_EQ(programs.runAndWait(u"tillzo.exe"_s, {}), 5);

    EXPECT_FALSE(programs.exists(u"nosuchprogram.exe"_s));
    EXPECT_EQ(programs.runAndWait(u"nosuchprogram.exe"_s, {}), -1);
    EXPECT_FALSE(programs.start(u"nosuchprogram.exe"_s, {}, Programs::WindowState::Normal));
}

} // namespace
