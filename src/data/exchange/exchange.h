#pragma once

#include "data/entry/session.h"
#include "data/exchange/school_document.h"

namespace taktirio::data {

// Replaces the logged-in school's data with the document's, in one
// transaction: the SCHOOLS row's name, person responsible and requested
// solutions are updated, every other row of the school is deleted, and every
// list is inserted in the document's order through the data-entry operations
// (so their checks apply and identifiers follow the file); the school's names
// get the registration's checks. A refusal throws
// ImportError naming the item and leaves the database as it was.
void ImportSchool(const Session& session, const SchoolDocument& document);

// The school's data as a document, every list in identifier (entry) order.
SchoolDocument ExportSchool(const Session& session);

}  // namespace taktirio::data
