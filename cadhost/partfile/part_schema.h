// The tables a part file holds, and the check that a file holds nothing else: a part file is data, and a trigger, view
// or table that this program did not make is refused before anything is read or written.
#ifndef CADHOST_PARTFILE_PART_SCHEMA_H
#define CADHOST_PARTFILE_PART_SCHEMA_H

#include <string>

namespace cadhost::partfile {

class Db;

// The part's own tables, made by every save.
extern const char* const kPartTables;
// The optional table of kept projections.
extern const char* const kProjectionsTable;

// The schema objects of the database's schema ("main", or an attached one) that this program does not make, or makes
// otherwise ("trigger 'wipe', table 'extra'"), or empty when there are none.
std::string foreign_schema(Db& db, const std::string& schema = "main");

}  // namespace cadhost::partfile

#endif
