#pragma once

#include "ReportFailure.h"
#include "ReportLayout.h"
#include "SelectionFormula.h"
#include "ValueText.h"

#include <QDate>
#include <QSqlDatabase>
#include <kainjow/mustache.hpp>

// What a report's templates see, read from its data files:
//   headings.<column>        the one row of the headings table, when there is one
//   <query>                  the query's rows, each column by its name
//   <query>_count            how many rows
//   <query>_empty            true when there are none
//   <query>_total.<column>   the sum of each `sum` column
//   <query>_groups           with `group`: the groups of rows, each with the first
//                            row's columns, group, rows, count and sum.<column>
//   empty                    true when every query returned no rows
//   title, today             the window title and the print date
// Values are texts, formatted as the query's `format` says in the club's
// formats; an empty value
// counts as false in a section. A memo column is a list of its lines, each
// with `line` (the text) and `blank` (true when it shows nothing).
namespace ReportValues {

using Data = kainjow::mustache::data;

Result<Data, ReportFailure> read(QSqlDatabase database, const ReportLayout &layout,
                                 const SelectionFormula &formula, const QString &title,
                                 const QDate &today, const ValueText &writer = {});

// A value as the templates see it.
Data text(const QString &value);

} // namespace ReportValues
