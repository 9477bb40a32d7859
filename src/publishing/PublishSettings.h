#pragma once

#include "values/Result.h"

#include <QList>
#include <QString>
#include <QUrl>

// Where and what a club publishes to its staff's calendars: the club
// directory's publish.ini. The password is never kept there; it comes from
// the environment or the user's ~/.netrc, as the database's does.
//
//   url = https://calendar.example.org/club/events/
//   user = clubcal
//   daysback = 30
//   daysahead = 365
//   rooms = 1, 2, 5
//   contacts = no
//   onsave = no
//   timeout = 30
struct PublishSettings {
    static constexpr const char *FileName = "publish.ini";
    static constexpr const char *PasswordVariable = "MORAVEL_CALDAV_PASSWORD";

    QUrl collection; // ends with "/"
    QString user;    // empty: the server asks for no password
    QString password;
    int daysBack = 30;
    int daysAhead = 365;
    QList<int> rooms;      // empty: every room
    bool contacts = false; // the contact's name and phone: member data, off unless asked
    bool onSave = false;   // a save publishes its event in the background
    int timeoutSeconds = 30;
    bool insecure = false; // certificates not checked: only for a server on this machine

    // The club's settings, with the password looked up. Everything wrong is
    // named with the file and the line.
    static Result<PublishSettings> load(const QString &clubDirectory, bool insecure = false);
    // The settings in a file's text; the password is looked up by load().
    static Result<PublishSettings> parse(const QString &text, const QString &fileName);
    // The password of a user at a host in a ~/.netrc text (its "machine" or
    // "default" entry); empty when there is none.
    static QString netrcPassword(const QString &netrc, const QString &host, const QString &user);
    // A server on this machine: only there may certificates go unchecked or
    // the password travel unencrypted.
    static bool localHost(const QString &host);
};
