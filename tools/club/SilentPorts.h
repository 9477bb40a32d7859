#pragma once

#include "ports/Clipboard.h"
#include "ports/Clock.h"
#include "ports/Printer.h"
#include "ports/Programs.h"
#include "ports/Prompts.h"
#include "utilities/Keysend.h"
#include "utilities/ScreenGrabber.h"

// Ports for driving the logic without an operator: nothing is shown, every
// question is answered No (but for the next `yesAnswers`), an input box
// takes the next scripted answer, nothing is started, there is no screen. The club creator and the
// benchmarks use them.
struct SilentPorts final : Prompts, Clipboard, Programs, Clock, KeySender, Printer, ScreenGrabber {
    explicit SilentPorts(QDate day = QDate::currentDate())
        : date(day) {}

    void message(const QString &text, const QString &, Icon) override { lastMessage = text; }
    bool askYesNo(const QString &, const QString &) override {
        if (yesAnswers <= 0)
            return false;
        --yesAnswers;
        return true;
    }
    // Input boxes take the next of `inputAnswers`; none left is a cancel.
    QString input(const QString &, const QString &, const QString &) override {
        return inputAnswers.isEmpty() ? QString() : inputAnswers.takeFirst();
    }
    void setBusy(bool) override {}
    QString text() const override { return {}; }
    void setText(const QString &) override {}
    void clear() override {}
    bool exists(const QString &) const override { return false; }
    bool start(const QString &, const QStringList &, WindowState) override { return false; }
    int runAndWait(const QString &, const QStringList &, const QString &) override { return 0; }
    QDate today() const override { return date; }
    QDateTime now() const override { return QDateTime(date, QTime(9, 0)); }
    void pause(int) override {}
    void SendKeyText(const QString &) override {}
    bool printLines(const QString &, const QStringList &) override { return false; }
    std::optional<ScreenPicture> grabDesktop() override { return std::nullopt; }

    QDate date;
    QString lastMessage; // what would have been shown, for error reports
    int yesAnswers = 0;
    QStringList inputAnswers;
};
