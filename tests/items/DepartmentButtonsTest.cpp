#include "items/DepartmentButtons.h"

#include "ClubFixture.h"
#include "storage/SharedFile.h"

#include <QDir>
#include <QFile>
#include <QProcess>
#include <QThread>
#include <optional>
#include <thread>

using namespace Qt::StringLiterals;

namespace {

const QString Dept = u"Dept|"_s;
const QString CreatedLine = u"Dept , "_s;

class DepartmentButtonsTest : public ClubFixture {
protected:
    void SetUp() override {
        ClubFixture::SetUp();
        signIn(99);
        buttons = std::make_unique<DepartmentButtons>(module->databases, module->messages,
                                                      module->session);
    }
    void TearDown() override {
        buttons.reset();
        ClubFixture::TearDown();
    }

    QString file() const { return path(u"evnt.dat"_s); }
    void write(const QByteArray &content) {
        QFile out(file());
        ASSERT_TRUE(out.open(QIODevice::WriteOnly));
        out.write(content);
    }
    void write(const QStringList &lines) { write((lines.join(QLatin1Char('\n')) + '\n').toUtf8()); }
    QStringList stored() const {
        QFile in(file());
        if (!in.open(QIODevice::ReadOnly))
            return {u"(no file)"_s};
        return QString::fromUtf8(in.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    }
    // Each button as "caption|tag", "(hidden) " in front when it is not shown.
    static QStringList shown(const DepartmentButtons &logic) {
        QStringList buttons;
        for (const DepartmentButton &button : logic.departmentButtons)
            buttons << (button.visible ? QString() : u"(hidden) "_s) + button.caption +
                           QLatin1Char('|') + button.tag;
        return buttons;
    }
    // In the open panel: picks a button and types both boxes.
    void type(int button, const QString &caption, const QString &tag) {
        ASSERT_TRUE(buttons->openPanel());
        buttons->chooseButton(button);
        buttons->editCaption(caption);
        buttons->editTag(tag);
    }

    std::unique_ptr<DepartmentButtons> buttons;
};

TEST_F(DepartmentButtonsTest, TheFirstOpeningCreatesTheFileAndLoadingTakesWhatItCanFromAnyFile) {
    buttons->windowOpened();
    EXPECT_EQ(stored(), QStringList(16, CreatedLine));
    EXPECT_EQ(shown(*buttons), QStringList(16, Dept));

    QByteArray seventeen;
    QStringList sixteen;
    for (int line = 0; line < 17; ++line) {
        seventeen += u"B%1,T%1\n"_s.arg(line).toUtf8();
        sixteen << u"B%1|T%1"_s.arg(line);
    }
    // The buttons the file sets; the others keep their "Dept". "*" is any.
    const struct {
        const char *rule;
        QByteArray content;
        QStringList expected;
    } cases[] = {
        {"a short file sets its buttons; an empty caption hides",
         "Bar,BAR\n , \n  Food  ,  FOOD",
         {"Bar|BAR", "(hidden) |", "Food|FOOD"}},
        {"lines past the sixteenth are ignored", seventeen, sixteen.mid(0, 16)},
        {"CRLF line ends", "Bar,BAR\r\nWine,WINE\r\n", {"Bar|BAR", "Wine|WINE"}},
        {"a line without a comma is all caption; a third field is dropped",
         "Buffet\nA,B,C\n",
         {"Buffet|", "A|B"}},
        {"a tag is cut to five characters", "Bar,BARTENDER\n", {"Bar|BARTE"}},
        {"binary junk",
         QByteArray("\xff\xfe\x00\x01,\x80\x81\nWine,WINE\n", 18),
         {"*", "Wine|WINE"}},
        {"an empty file", "", {}},
    };
    for (const auto &rule : cases) {
        write(rule.content);
        DepartmentButtons loaded(module->databases, module->messages, module->session);
        loaded.windowOpened();
        EXPECT_EQ(stored(),
                  QString::fromUtf8(rule.content).split(QLatin1Char('\n'), Qt::SkipEmptyParts))
            << "an existing file is kept: " << rule.rule;
        const QStringList buttons = shown(loaded);
        for (int k = 0; k < 16; ++k)
            if (rule.expected.value(k) != QLatin1String("*")) {
                EXPECT_EQ(buttons[k], rule.expected.value(k, Dept)) << rule.rule << ", " << k;
            }
    }
    QFile::remove(file());
    buttons->LoadButtons();
    EXPECT_EQ(shown(*buttons), QStringList(16, Dept)) << "a missing file changes nothing";
}

TEST_F(DepartmentButtonsTest, ADepartmentIsNamedByTheFirstUsedButtonThatListsIt) {
    write("Food,1\n,2\nBar & Wine,2\nDrinks,2\nBuffet\n  Kitchen ,  3 \n");
    buttons->LoadButtons();
    // The unused button before "Bar & Wine" names nothing; an unlisted code
    // is its own name; the unused "Dept" buttons have no department.
    for (const auto &[code, name] :
         {std::pair{"1", "Food"}, {"2", "Bar & Wine"}, {" 3", "Kitchen"}, {"4", "4"}, {"", ""}})
        EXPECT_EQ(buttons->departmentName(QString::fromUtf8(code)), QString::fromUtf8(name))
            << code;
    const QList<std::pair<QString, QString>> named{
        {"1", "Food"}, {"2", "Bar & Wine"}, {"3", "Kitchen"}};
    EXPECT_EQ(buttons->departmentNames(), named);
}

// The panel's own view test types and saves a button; here what the file gets.
TEST_F(DepartmentButtonsTest, SavingReplacesOnlyTheSelectedLineAndRefusesCommasAndLowerLevels) {
    write(QStringList{u"Bar,BAR"_s, u","_s});
    buttons->windowOpened();
    QStringList listed;
    QObject::connect(buttons.get(), &DepartmentButtons::showDepartment,
                     [&](const QString &tag, const QString &caption) { listed << tag + caption; });
    buttons->chooseButton(0);
    buttons->chooseButton(1); // hidden: not there to click
    EXPECT_EQ(listed, QStringList{u"BARBar"_s}) << "outside the panel a click lists";
    EXPECT_EQ(buttons->selectedButton, -1);
    // Another workstation saved a button since this window read the file.
    QStringList expected =
        QStringList{u"Bar,BAR"_s, u","_s, u"Dept,"_s, u"Dept,"_s, u"Wine,WINE"_s};
    write(expected);

    ASSERT_TRUE(buttons->openPanel());
    EXPECT_TRUE(buttons->departmentButtons[1].visible) << "so that it can be given a caption";
    buttons->chooseButton(0);
    EXPECT_EQ(listed.size(), 1);
    EXPECT_EQ(buttons->captionText + buttons->tagText, u"BarBAR"_s);
    EXPECT_FALSE(buttons->unsavedChanges);
    buttons->chooseButton(2);
    buttons->editCaption(u"Bar, Grill"_s);
    EXPECT_FALSE(buttons->saveSettings());
    buttons->editCaption(QString());
    buttons->editTag(u"B,R"_s);
    EXPECT_FALSE(buttons->saveSettings());
    const QStringList refusals(2, u"A button caption or department code cannot contain a comma."_s);
    EXPECT_EQ(prompts.messageTexts(), refusals);
    EXPECT_EQ(stored(), expected);
    buttons->editTag(u"BEVERAGE"_s);
    EXPECT_TRUE(buttons->unsavedChanges);
    EXPECT_EQ(buttons->tagText + buttons->sample.tag, u"BEVERBEVER"_s)
        << "a sixth character is refused";
    EXPECT_EQ(shown(*buttons)[2], Dept) << "the buttons change only on save";
    EXPECT_TRUE(buttons->saveSettings());
    expected[2] = u",BEVER"_s;
    expected += QStringList(11, u"Dept,"_s);
    EXPECT_EQ(stored(), expected) << "a short file gets the lines it lacks from this window";
    EXPECT_FALSE(buttons->unsavedChanges);
    const QString caption = u"Chef's Crème Brûlée 🍰"_s;
    buttons->chooseButton(3);
    buttons->editCaption(caption);
    buttons->editTag(u"DSRT"_s);
    EXPECT_TRUE(buttons->saveSettings());
    expected[3] = caption + u",DSRT"_s;
    EXPECT_EQ(stored(), expected);
    EXPECT_EQ(shown(*buttons)[3], caption + u"|DSRT"_s) << "the saved button shows at once";
    buttons->closePanel();
    EXPECT_FALSE(buttons->visible);
    EXPECT_EQ(shown(*buttons)[2], u"(hidden) |BEVER"_s) << "without caption, hidden once closed";
    buttons->LoadButtons();
    EXPECT_EQ(buttons->departmentButtons[3].caption, caption);

    signIn(49); // below evaccess2, 50: the panel stays shut and nothing is saved
    EXPECT_FALSE(buttons->openPanel());
    EXPECT_FALSE(buttons->visible || buttons->departmentButtons[2].visible);
    buttons->selectedButton = 0;
    buttons->editCaption(u"Wine"_s);
    EXPECT_FALSE(buttons->saveSettings());
    EXPECT_EQ(stored(), expected);
    EXPECT_EQ(prompts.messageTexts(), refusals);
    signIn(50);
    EXPECT_TRUE(buttons->openPanel());
}

TEST_F(DepartmentButtonsTest, DoneAfterTypingOffersToSaveThenReadsTheFileAgain) {
    buttons->windowOpened();
    type(0, u"Bar"_s, u"BAR"_s);
    // Meanwhile another workstation set button 0 and emptied button 1.
    QStringList other = stored();
    other[0] = u"Wine,WINE"_s;
    other[1] = u","_s;
    write(other);
    prompts.answerYesNo(false);
    buttons->closePanel();
    ASSERT_EQ(prompts.questions.size(), 1);
    EXPECT_EQ(prompts.questions[0].text,
              u"Changes have been made. Do you wish \r\nto save them now?"_s);
    EXPECT_FALSE(buttons->visible);
    EXPECT_EQ(stored(), other);
    QStringList expected(16, Dept);
    expected[0] = u"Wine|WINE"_s;
    expected[1] = u"(hidden) |"_s;
    EXPECT_EQ(shown(*buttons), expected);

    // Yes with no button picked: the save refuses and nothing is stored.
    ASSERT_TRUE(buttons->openPanel());
    buttons->editCaption(u"Bar"_s);
    prompts.answerYesNo(true);
    buttons->closePanel();
    EXPECT_EQ(prompts.messageTexts(), QStringList{u"Please select a button # first."_s});
    EXPECT_FALSE(buttons->visible);
    EXPECT_EQ(stored(), other);

    ASSERT_TRUE(buttons->openPanel());
    buttons->closePanel();
    EXPECT_EQ(prompts.questions.size(), 2) << "nothing typed, nothing asked";
}

TEST_F(DepartmentButtonsTest, AFileThatCannotBeWrittenIsReported) {
    // Nobody can take the file's lock.
    ASSERT_TRUE(QDir(club).mkdir(u"evnt.dat.lck"_s));
    prompts.expectError(2);
    buttons->windowOpened();
    EXPECT_EQ(prompts.messages.size(), 1);
    EXPECT_EQ(shown(*buttons), QStringList(16, Dept));

    type(0, u"Bar"_s, u"BAR"_s);
    EXPECT_FALSE(buttons->saveSettings());
    ASSERT_EQ(prompts.messages.size(), 2);
    EXPECT_TRUE(prompts.lastMessage().text.startsWith(u"Code 75 - "_s));
    EXPECT_EQ(shown(*buttons)[0], Dept) << "the button shows what the file holds";
    EXPECT_TRUE(buttons->unsavedChanges);
    EXPECT_FALSE(QFile::exists(file()));
}

TEST_F(DepartmentButtonsTest, AWorkstationOpeningWhileAnotherSavesKeepsTheSavedFile) {
    std::optional<SharedFile::FileLock> other(std::in_place, file());
    ASSERT_TRUE(other->locked());
    std::thread opening([&] { buttons->windowOpened(); });
    QThread::msleep(300); // it has found no file and waits for the lock
    const QStringList saved{u"Bar,BAR"_s, u"Wine,WINE"_s};
    write(saved);
    other.reset();
    opening.join();
    EXPECT_EQ(stored(), saved);
    EXPECT_EQ(shown(*buttons)[1], u"Wine|WINE"_s);
}

TEST_F(DepartmentButtonsTest, WorkstationsSavingDifferentButtonsAtOnceKeepEveryEdit) {
    const QList<int> stations{1, 6, 10, 15};
    constexpr int Saves = 25;
    std::vector<std::unique_ptr<QProcess>> workers;
    for (int button : stations) {
        workers.push_back(std::make_unique<QProcess>());
        workers.back()->start(QStringLiteral(BUTTONS_WORKER),
                              {club, QString::number(button), QString::number(Saves)});
    }
    for (auto &worker : workers) {
        while (!worker->canReadLine() && worker->waitForReadyRead(60000)) {
        }
        ASSERT_EQ(worker->readLine(), "ready\n") << worker->readAllStandardError().toStdString();
    }
    for (auto &worker : workers)
        worker->write("go\n");
    for (auto &worker : workers) {
        EXPECT_TRUE(worker->waitForFinished(60000));
        EXPECT_EQ(worker->exitCode(), 0) << worker->readAllStandardError().toStdString();
    }
    QStringList expected(16, CreatedLine);
    for (int button : stations)
        expected[button] = u"Station %1 save %2,T%1"_s.arg(button).arg(Saves);
    EXPECT_EQ(stored(), expected);
}

} // namespace
