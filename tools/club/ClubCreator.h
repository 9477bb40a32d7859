#pragma once

#include "foundation/Result.h"

#include <QDate>
#include <QString>

// Makes a new club directory: every database with its tables, the settings
// rows, the DEMO operator and the shipped files (help texts, report
// layouts); with demo data, sample members, staff, inventory and
// receivables codes. It never touches an existing club.
namespace ClubCreator {

struct Options {
    bool demo = false;
    QDate today = QDate::currentDate();
    QString shareDirectory; // files copied into the club; empty: none
};

Status create(const QString &directory, const Options &options);

} // namespace ClubCreator
