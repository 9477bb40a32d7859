#pragma once

#include <QString>

// moravel-club print: one of the club's reports for an event or a date
// range, made without a workstation. The program's own filling code fills a
// work copy of the report template in a temporary folder of this run alone,
// the report program writes the PDF, and the folder goes with everything in
// it, whatever happened. The club is only read, its databases opened
// read-only, except for an event order printed with `issue`, which is
// issued first: the one write. A club that is not recognised or needs an
// upgrade is refused, never upgraded.
namespace ClubPrint {

enum Exit { Printed = 0, BadArguments = 2, NothingSelected = 3, Refused = 4 };

struct Request {
    QString clubDirectory;
    QString layout; // any case, with or without ".rpt"
    int event = 0;
    int from = 0; // YYYYMMDD
    int to = 0;
    int contract = 0;   // the stored contract a contract layout prints
    bool issue = false; // an event order is issued before it prints
    QString pdf;        // empty: LAYOUT-SELECTION.pdf in the current directory; "-": stdout
};

// Prints the request; what went wrong goes to the standard error, the
// path of the PDF written to the standard output.
Exit print(const Request &request);

} // namespace ClubPrint
