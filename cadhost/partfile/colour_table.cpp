#include "cadhost/partfile/colour_table.h"

#include <string>

#include "cadhost/document/object_colour.h"
#include "cadhost/partfile/sqlite_db.h"

namespace cadhost::partfile {

const char* const kColoursTable =
    "CREATE TABLE IF NOT EXISTS colours(state INTEGER NOT NULL, tag INTEGER NOT NULL, rgb INTEGER NOT NULL,"
    " PRIMARY KEY(state, tag))";

void write_colours(Db& db, int state, const Document& doc) {
    bool made = false;
    for (const auto& [tag, object] : doc.objects()) {
        if (!object.rgb) continue;
        if (!made) db.exec(kColoursTable), made = true;
        Stmt(db, "INSERT INTO colours(state, tag, rgb) VALUES(?, ?, ?)")
            .bind(1, std::int64_t{state})
            .bind(2, std::int64_t{tag})
            .bind(3, std::int64_t{*object.rgb})
            .run();
    }
}

void read_colours(Db& db, std::int64_t state, Document& doc) {
    Stmt table(db, "SELECT count(*) FROM sqlite_master WHERE type = 'table' AND name = 'colours'");
    if (!table.step() || table.integer(0) == 0) return;
    Stmt rows(db, "SELECT tag, rgb, typeof(rgb) FROM colours WHERE state = ? ORDER BY tag");
    rows.bind(1, state);
    while (rows.step()) {
        const std::int64_t tag = rows.integer(0), rgb = rows.integer(1);
        const std::string where = "the colour of object " + std::to_string(tag);
        Object* object = tag > 0 && tag <= INT32_MAX ? doc.find(static_cast<tag_t>(tag)) : nullptr;
        if (!object) throw ColourError(where + ": there is no such object");
        if (rows.text(2) != "integer" || rgb < 0 || rgb > kLargestColour)
            throw ColourError(where + " is not a colour 0xRRGGBB");
        object->rgb = static_cast<std::uint32_t>(rgb);
    }
}

}  // namespace cadhost::partfile
