#include "cadhost/partfile/import_layers.h"

#include "cadhost/partfile/sqlite_db.h"

namespace cadhost::partfile {

namespace {

constexpr const char* kKey = "import_layers";

}  // namespace

bool write_import_layers(const std::string& path, const std::string& table, std::string& error) {
    try {
        Db db(path, SQLITE_OPEN_READWRITE);
        db.exec("BEGIN");
        Stmt remove(db, "DELETE FROM meta WHERE key = ?");
        remove.bind(1, std::string(kKey)).run();
        if (!table.empty()) {
            Stmt insert(db, "INSERT INTO meta(key, value) VALUES(?, ?)");
            insert.bind(1, std::string(kKey)).bind(2, table).run();
        }
        db.exec("COMMIT");
        return true;
    } catch (const SqlError& e) {
        error = "cannot write the table of layers into part file '" + path + "': " + e.what();
    }
    return false;
}

bool read_import_layers(const std::string& path, std::string& table, std::string& error) {
    table.clear();
    try {
        Db db(path, SQLITE_OPEN_READONLY);
        Stmt query(db, "SELECT value FROM meta WHERE key = ?");
        query.bind(1, std::string(kKey));
        if (query.step()) table = query.text(0);
        return true;
    } catch (const SqlError& e) {
        error = "part file '" + path + "' is damaged: " + e.what();
    }
    return false;
}

}  // namespace cadhost::partfile
