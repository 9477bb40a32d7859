#pragma once

#include "QtPrinters.h"
#include "ports/Clipboard.h"
#include "ports/Clock.h"
#include "ports/Printer.h"
#include "ports/Programs.h"
#include "ports/Prompts.h"
#include "session/Module.h"
#include "utilities/Keysend.h"
#include "utilities/ScreenGrabber.h"

#include <QLocale>
#include <QQueue>
#include <optional>

// Answers questions and input boxes from a script, records every message,
// and fails the test on a prompt nobody expected, an answer nobody asked for,
// or an error report ("Brevant Codes", "Uh-oh...", a critical icon) that the
// test did not announce with expectError().
class ScriptedPrompts final : public Prompts {
public:
    struct Shown {
        QString text;
        QString title;
        Icon icon = Icon::None;
    };

    ~ScriptedPrompts() override;

    void answerYesNo(bool yes) { m_answers.enqueue(yes); }
    void answerInput(const QString &text) { m_answers.enqueue(text); }
    // The next checklist comes back with exactly the boxes of these labels
    // (as shown, without "&") ticked; cancelled when none is given. A
    // checklist no test answered is taken as offered.
    void answerOptions(const std::optional<QStringList> &ticked) { m_options.enqueue(ticked); }
    // The next `count` error reports are part of what the test checks.
    void expectError(int count = 1) { m_expectedErrors += count; }

    void message(const QString &text, const QString &title, Icon icon) override;
    bool askYesNo(const QString &text, const QString &title) override {
        questions << Shown{text, title, Icon::Question};
        return next(QMetaType::fromType<bool>(), text).toBool();
    }
    QString input(const QString &text, const QString &title, const QString &initial) override {
        inputs << Shown{text, title, Icon::None};
        offered << initial;
        return next(QMetaType::fromType<QString>(), text).toString();
    }
    bool chooseOptions(const QString &text, const QString &title, QList<PromptOption> &options,
                       const QString &name) override;
    void setBusy(bool busy) override { busyDepth += busy ? 1 : -1; }

    // In the order they were shown.
    QList<Shown> messages;
    QList<Shown> questions;
    QList<Shown> inputs;
    QList<Shown> checklists;
    QList<QList<PromptOption>> offeredOptions; // each checklist's boxes as it started
    QStringList offered;                       // what each input box started with
    int busyDepth = 0;

    QStringList messageTexts() const;
    const Shown &lastMessage() const {
        static const Shown none;
        return messages.isEmpty() ? none : messages.last();
    }
    // Forgets what was shown so far.
    void clear() {
        messages = questions = inputs = checklists = {};
        offered.clear();
        offeredOptions.clear();
    }

private:
    QVariant next(QMetaType kind, const QString &text);

    QQueue<QVariant> m_answers; // a bool answers a question, a text an input box
    QQueue<std::optional<QStringList>> m_options;
    int m_expectedErrors = 0;
};

struct FakeClipboard final : Clipboard {
    QString text() const override { return content; }
    void setText(const QString &text) override { content = text; }
    void clear() override { content.clear(); }

    QString content;
};

// A clock that stands still unless a test (or a pause) moves it.
struct FixedClock final : Clock {
    QDate today() const override { return current.date(); }
    QDateTime now() const override { return current; }
    void pause(int milliseconds) override {
        pauses << milliseconds;
        current = current.addMSecs(milliseconds);
    }

    QDateTime current{QDate(2026, 12, 6), QTime(9, 30)};
    QList<int> pauses;
};

// Records what was started; runAndWait answers with scripted exit codes (0
// when none is scripted).
struct RecordingPrograms final : Programs {
    bool exists(const QString &program) const override {
        return available.contains(program.toLower());
    }
    bool start(const QString &program, const QStringList &arguments, WindowState state) override {
        states << state;
        started << (QStringList{program} + arguments).join(QLatin1Char(' '));
        if (onStart)
            onStart(program);
        return true;
    }
    int runAndWait(const QString &program, const QStringList &arguments,
                   const QString &input) override {
        waited << (QStringList{program} + arguments).join(QLatin1Char(' '));
        inputs << input;
        return exitCodes.isEmpty() ? 0 : exitCodes.dequeue();
    }

    QStringList available; // lower-case names that exist()
    QStringList started;
    std::function<void(const QString &program)> onStart; // what a started program does
    QList<WindowState> states;
    QStringList waited;
    QStringList inputs; // standard input of each program waited for
    QQueue<int> exitCodes;
};

struct RecordingKeySender final : KeySender {
    void SendKeyText(const QString &text) override { sent << text; }

    QStringList sent;
};

struct RecordingPrinter final : Printer {
    struct Document {
        QString title;
        QStringList lines;
    };
    bool printLines(const QString &title, const QStringList &lines) override {
        documents << Document{title, lines};
        return true;
    }

    QList<Document> documents;
};

// Hands out the picture a test set, or none (a session without a display).
struct FakeScreen final : ScreenGrabber {
    std::optional<ScreenPicture> grabDesktop() override {
        ++grabs;
        return picture;
    }

    std::optional<ScreenPicture> picture;
    int grabs = 0;
};

// A scripted operator: one of each fake, and the ports over them.
struct FakeOperator {
    Ports ports() { return Ports{prompts, clipboard, programs, clock, keys, printer, screen}; }

    ScriptedPrompts prompts;
    FakeClipboard clipboard;
    RecordingPrograms programs;
    FixedClock clock;
    RecordingKeySender keys;
    RecordingPrinter printer;
    FakeScreen screen;
};

// The workstation's locale for one test; the one before comes back after.
class WorkstationLocale {
public:
    explicit WorkstationLocale(const QLocale &locale) { QLocale::setDefault(locale); }
    ~WorkstationLocale() { QLocale::setDefault(m_before); }

private:
    QLocale m_before;
};
