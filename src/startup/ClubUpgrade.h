#pragma once

#include "values/Result.h"

#include <QDateTime>
#include <QString>
#include <QStringList>

class Databases;

// Brings an existing club directory up to this program: the databases'
// upgrade steps, then the shipped files the club lacks (help texts, report
// layouts, contract components). A file the club has, edited or not, is
// never overwritten. Run at start-up and by "moravel-club upgrade".
namespace ClubUpgrade {

// The files shipped into every club: club/ below $MORAVEL_SHARE_DIR when
// set, else below share/moravel beside the installed program
// (/usr/bin/../share/moravel), else share/club of the source tree a build
// was made from.
QString shareDirectory();

// The list of every version of the shipped files, kept beside them (and
// never copied into a club: the iteration passes over hidden files).
inline constexpr auto ShippedChecksums = ".shipped.sha256";

// Copies each file below `from` that `to` lacks (whatever the case of its
// name there), and replaces a file `to` has when it is an earlier version
// the program shipped; a file the club edited is kept. One line per file:
// "copied X", "updated X", "kept X, which the club edited".
Result<QStringList> copyMissingFiles(const QString &from, const QString &to);

// The upgrade steps run and the files copied, one line each. A club
// without a time zone takes this workstation's; the admin log records it,
// as of `now` by `user`.
Result<QStringList> run(Databases &databases, const QString &shareDirectory, const QDateTime &now,
                        const QString &user);

// Starts one database of the club empty, in place of a file (or schema) that
// is not the program's: an empty, damaged or foreign one. A database the
// program recognises is refused, changing nothing. The one found there is
// kept under a dated name ("evnt.mdb.unrecognised-20261207-0515"), never
// deleted, and the admin log records it. Returns what was done.
Result<QString> recreate(Databases &databases, const QString &database, const QDateTime &now,
                         const QString &user);

} // namespace ClubUpgrade
