#include "ParameterBlock.h"

#include "Fuzz.h"
#include "ReportClub.h"

#include <QStringList>
#include <gtest/gtest.h>
#include <utility>

namespace {

using Changes = std::initializer_list<std::pair<const char *, const char *>>;

// The six lines the calling program writes for one data file, with lines
// replaced by name (by nothing to remove them) or added at the end.
QString block(Changes changes = {}, const char *separator = "\n") {
    QList<std::pair<QString, QString>> lines{
        {"Crystal", "Crystal~"},           {"ReportFileName", "ReportFileName=a.rpt~"},
        {"WindowTitle", "WindowTitle=T~"}, {"MarginTop", "MarginTop=0~"},
        {"MarginLeft", "MarginLeft=0~"},   {"DataFiles(0)", "DataFiles(0)=a.mdb~"}};
    for (const auto &[name, line] : changes) {
        const auto found = std::find_if(lines.begin(), lines.end(), [&](const auto &existing) {
            return existing.first == name;
        });
        if (found == lines.end())
            lines.append({QString::fromUtf8(name), QString::fromUtf8(line)});
        else if (line)
            found->second = QString::fromUtf8(line);
        else
            lines.erase(found);
    }
    QStringList text;
    for (const auto &line : lines)
        text << line.second;
    return text.join(QString::fromLatin1(separator));
}

TEST(ParameterBlock, ReadsItsLinesWhateverTheirEndsAndTildes) {
    const struct {
        const char *rule;
        QString text;
        const char *title;
        const char *formula;
        QStringList files = {"a.mdb"};
    } cases[] = {
        {"all eleven lines",
         block({{"WindowTitle", "WindowTitle=~"},
                {"DataFiles(0)", nullptr},
                {"SelectionFormula", "SelectionFormula={eventinfo.eventnum} = 123~"},
                {"0", "DataFiles(0)=rpt05.mdb~"},
                {"1", "DataFiles(1)=evnt.mdb~"},
                {"2", "DataFiles(2)=config.mdb~"},
                {"3", "DataFiles(3)=master.mdb~"},
                {"4", "DataFiles(4)=ar.mdb~"}}),
         "",
         "{eventinfo.eventnum} = 123",
         {"rpt05.mdb", "evnt.mdb", "config.mdb", "master.mdb", "ar.mdb"}},
        {"no line feed after the last line", block(), "T", ""},
        {"a final line feed is tolerated", block() + "\n", "T", ""},
        {"carriage returns before the line feeds", block({}, "\r\n"), "T", ""},
        {"only the last tilde ends a line",
         block({{"WindowTitle", "WindowTitle=~Tom~s~ list~~"},
                {"SelectionFormula", "SelectionFormula={t.c} = 'a~b'~"}}),
         "~Tom~s~ list~", "{t.c} = 'a~b'"},
        {"an equals sign in a value", block({{"WindowTitle", "WindowTitle=a=b~"}}), "a=b", ""},
    };
    for (const auto &c : cases) {
        SCOPED_TRACE(c.rule);
        const auto parsed = ParameterBlock::parse(c.text);
        ASSERT_TRUE(parsed) << parsed.error().message.toStdString();
        EXPECT_EQ(parsed->windowTitle, QString::fromUtf8(c.title));
        EXPECT_EQ(parsed->selectionFormula, QString::fromUtf8(c.formula));
        EXPECT_EQ(parsed->reportFileName, "a.rpt");
        EXPECT_EQ(
            QStringList(parsed->dataFiles.begin(), parsed->dataFiles.begin() + c.files.size()),
            c.files);
    }
}

TEST(ParameterBlock, RefusalsNameTheirCause) {
    const struct {
        QString text;
        const char *named;
    } cases[] = {
        {block({{"Crystal", nullptr}}), "Crystal"},
        {QString(), "Crystal"},
        {block({{"ReportFileName", "ReportFileName=../a.rpt~"}}), "ReportFileName"},
        {block({{"DataFiles(0)", "DataFiles(0)=/etc/passwd~"}}), "DataFiles(0)"},
        {block({{"DataFiles(2)", "DataFiles(2)=..~"}}), "DataFiles(2)"},
        {block({{"DataFiles(0)", "DataFiles(0)=C:\\club\\a.mdb~"}}), "DataFiles(0)"},
        {block({{"DataFiles(0)", nullptr}, {"DataFiles(1)", "DataFiles(1)=a.mdb~"}}),
         "DataFiles(0)"},
        {block({{"ReportFileName", nullptr}}), "ReportFileName"},
        {block({{"MarginTop", "MarginTop=0.5~"}}), "MarginTop"},
        {block({{"MarginLeft", "MarginLeft=-10~"}}), "MarginLeft"},
        {block({{"MarginTop", "MarginTop=0"}}), "line 4"},
        {block({{"WindowTitle", "Printer=LPT1~"}}), "Printer"},
        {block({{"DataFiles(5)", "DataFiles(5)=b.mdb~"}}), "DataFiles(5)"},
        {block({{"again", "ReportFileName=b.rpt~"}}), "twice"},
    };
    for (const auto &c : cases) {
        const auto parsed = ParameterBlock::parse(c.text);
        expectRefused(parsed, ExitCode::Block, c.named);
    }
}

// Random text and damaged blocks: each is read or refused with a message,
// and what is read holds what a report needs, with bare file names.
TEST(ParameterBlock, DamagedBlocksAreReadOrRefused) {
    const QString alphabet =
        QStringLiteral("Crystal~=\n\r ()0159-./\\ReportFileNameDataFilesMarginTop"
                       "SelectionFormula{}'\"\u00e9\u2028");
    const QString eleven = block({{"SelectionFormula", "SelectionFormula={t.c} = 1~"},
                                  {"1", "DataFiles(1)=b.mdb~"},
                                  {"4", "DataFiles(4)=c.mdb~"}},
                                 "\r\n");
    FuzzInputs fuzz(20270115);
    const int count = FuzzInputs::count(5000);
    for (int i = 0; i < count; ++i) {
        const QString text = fuzz.oneIn(4) ? fuzz.from(alphabet, 200)
                                           : fuzz.mutate(fuzz.pick({block(), eleven}), alphabet, 6);
        const auto parsed = ParameterBlock::parse(text);
        const std::string input = "input " + std::to_string(i) + ": " + text.toStdString();
        if (!parsed) {
            EXPECT_EQ(parsed.error().code, ExitCode::Block) << input;
            EXPECT_TRUE(parsed.error().message.startsWith("The parameter block is refused: "))
                << input;
            continue;
        }
        EXPECT_FALSE(parsed->reportFileName.isEmpty() || parsed->dataFiles[0].isEmpty()) << input;
        EXPECT_TRUE(parsed->marginTop >= 0 && parsed->marginLeft >= 0) << input;
        QStringList names(parsed->dataFiles.begin(), parsed->dataFiles.end());
        for (const QString &name : names << parsed->reportFileName)
            EXPECT_FALSE(name.contains('/') || name.contains('\\') || name.contains("..")) << input;
    }
}

} // namespace
