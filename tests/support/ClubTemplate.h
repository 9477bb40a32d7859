#pragma once

#include "club/ClubCreator.h"

#include <functional>

// A test's new club is a copy of one the creator made once: making a club
// takes a second (a demo club on a server several), copying one a fraction
// of that. The first test process to need a kind of club makes it while the
// others wait, then each copies it. SQLite templates are kept in the build
// tree, server ones beside the test server's files.
namespace ClubTemplate {

// What the creator makes depends on its code as built, the shipped files it
// copies and the options: the same of each, the same template name.
QString name(const ClubCreator::Options &options);

// Runs make() once for the template directory: the first process to get here
// holds its lock while it does, the others wait and then find it made.
bool makeOnce(const QString &directory, const std::function<Status()> &make);

bool copyDirectory(const QString &from, const QString &to);

// A new club of SQLite files in `directory`, as ClubCreator makes it.
Status createFiles(const QString &directory, const ClubCreator::Options &options);

} // namespace ClubTemplate
