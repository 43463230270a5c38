#pragma once

#include <QString>

#include "core/run/run_settings.h"
#include "data/entry/session.h"
#include "data/load/page_against_school.h"
#include "data/shell/startup.h"

namespace taktirio::cli {

// Exit codes of `verify`, beside the tool's general ones (1: the page breaks
// rules, each violation listed).
enum VerifyExitCode {
    kExitOtherSchool = 8,   // the page is a solution of another school
    kExitUnknownNames = 9,  // class sections or teachers the school does not have
    kExitDamagedPage = 10,  // not a solution page, or one cut short or altered
    // The page keeps the rules as the search placed its lessons, row by row,
    // but breaks them as a teacher's week counts them (pages written before
    // those limits counted the person).
    kExitKeepsRulesOnlyAsSearched = 11,
};

using CheckedPage = data::SchoolPage;

// What `verify` does, for any command that takes a page back: reads the page
// whole, loads the school and judges the page; says why and returns the exit
// code when the page is not sound, kExitOk (and `checked` filled) when it is.
int CheckPage(const data::Session& session, const QString& page, const RunSettings& settings,
              CheckedPage& checked);

// Reads a solution page with the page readers and checks its timetable
// against the logged-in school's data (prepared and loaded as a run does)
// under the run options given: prints every violation and returns 1, or
// prints nothing and returns 0.
int VerifyPage(const data::Session& session, const QString& page, const RunSettings& settings);

}  // namespace taktirio::cli
