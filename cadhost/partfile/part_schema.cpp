#include "cadhost/partfile/part_schema.h"

#include <set>
#include <tuple>

#include "cadhost/partfile/colour_table.h"
#include "cadhost/partfile/sqlite_db.h"

namespace cadhost::partfile {

const char* const kPartTables = R"sql(
CREATE TABLE meta(key TEXT PRIMARY KEY, value TEXT NOT NULL);
CREATE TABLE states(id INTEGER PRIMARY KEY, role TEXT UNIQUE NOT NULL, next_tag INTEGER NOT NULL,
                    work_layer INTEGER NOT NULL, wcs INTEGER NOT NULL, module INTEGER NOT NULL,
                    display_state INTEGER NOT NULL, work_view BLOB NOT NULL, preferences BLOB NOT NULL,
                    drafting BLOB NOT NULL);
CREATE TABLE layers(state INTEGER NOT NULL, layer INTEGER NOT NULL, status INTEGER NOT NULL,
                    PRIMARY KEY(state, layer));
CREATE TABLE shapes(id INTEGER PRIMARY KEY, checksum INTEGER NOT NULL, brep BLOB NOT NULL);
CREATE TABLE objects(state INTEGER NOT NULL, tag INTEGER NOT NULL, type INTEGER NOT NULL, subtype INTEGER NOT NULL,
                     layer INTEGER NOT NULL, name TEXT NOT NULL, blank INTEGER NOT NULL, font INTEGER NOT NULL,
                     color INTEGER NOT NULL, width INTEGER NOT NULL, kind TEXT NOT NULL, payload BLOB NOT NULL,
                     drawing INTEGER NOT NULL, PRIMARY KEY(state, tag));
CREATE TABLE attributes(state INTEGER NOT NULL, tag INTEGER NOT NULL, seq INTEGER NOT NULL, title TEXT NOT NULL,
                        type INTEGER NOT NULL, value, PRIMARY KEY(state, tag, seq));
)sql";

const char* const kProjectionsTable =
    "CREATE TABLE IF NOT EXISTS projections(key TEXT PRIMARY KEY, edges BLOB NOT NULL)";

namespace {

// type, name, table, SQL text: a schema object is ours only when all four are what our own statements make.
using Entry = std::tuple<std::string, std::string, std::string, std::string>;

std::set<Entry> entries(Db& db, const std::string& schema) {
    std::set<Entry> found;
    Stmt rows(db, ("SELECT type, name, tbl_name, sql, typeof(sql) FROM " + schema + ".sqlite_master").c_str());
    while (rows.step())
        found.emplace(rows.text(0), rows.text(1), rows.text(2), rows.text(4) == "null" ? "-" : rows.text(3));
    return found;
}

const std::set<Entry>& ours() {
    static const std::set<Entry> made = [] {
        Db db(":memory:", SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE);
        db.exec(kPartTables);
        db.exec(kProjectionsTable);
        db.exec(kColoursTable);
        return entries(db, "main");
    }();
    return made;
}

// Names from a file are shown only as far as they are printable ASCII, and never at any length.
std::string shown(const std::string& name) {
    std::string out;
    for (unsigned char c : name.substr(0, 64)) out += c >= 0x20 && c < 0x7f ? static_cast<char>(c) : '?';
    return name.size() > 64 ? out + "..." : out;
}

}  // namespace

std::string foreign_schema(Db& db, const std::string& schema) {
    std::set<std::string> names;
    for (const Entry& entry : ours()) names.insert(std::get<1>(entry));
    std::string list;
    for (const Entry& entry : entries(db, schema)) {
        if (ours().count(entry)) continue;
        const auto& [type, name, table, sql] = entry;
        if (!list.empty()) list += ", ";
        list += shown(type) + " '" + shown(name) + "'" + (names.count(name) ? " (not as this program makes it)" : "");
    }
    return list;
}

}  // namespace cadhost::partfile
