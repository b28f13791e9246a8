// The colours of a part's objects, in a table of their own that a part holds only when some object has a colour:
// parts saved before objects had colours load as they are, and a part without colours is saved as it always was.
#ifndef CADHOST_PARTFILE_COLOUR_TABLE_H
#define CADHOST_PARTFILE_COLOUR_TABLE_H

#include <cstdint>
#include <stdexcept>

#include "cadhost/document/document.h"

namespace cadhost::partfile {

class Db;

extern const char* const kColoursTable;

struct ColourError : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// Writes the colours of the state's objects; makes the table first when there is one to write.
void write_colours(Db& db, int state, const Document& doc);

// Reads the state's colours into its objects, if the part has the table; throws ColourError naming a colour that is
// out of range or that belongs to no object.
void read_colours(Db& db, std::int64_t state, Document& doc);

}  // namespace cadhost::partfile

#endif
