#include "cadhost/partfile/projection_table.h"

#include <filesystem>

#include "cadhost/partfile/part_schema.h"
#include "cadhost/partfile/sqlite_db.h"

namespace cadhost::partfile {

namespace {

bool has_table(Db& db, const char* schema) {
    Stmt query(db,
               (std::string("SELECT 1 FROM ") + schema + ".sqlite_master WHERE type = 'table' AND name = 'projections'")
                   .c_str());
    return query.step();
}

}  // namespace

bool read_projections(const std::string& path, const std::function<void(std::string key, std::string bytes)>& take,
                      std::string& error) {
    try {
        Db db(path, SQLITE_OPEN_READONLY);
        if (!has_table(db, "main")) return true;
        if (std::string foreign = foreign_schema(db); !foreign.empty()) {
            error = "part file '" + path + "' holds what this program never writes into a part: " + foreign;
            return false;
        }
        Stmt rows(db, "SELECT key, edges FROM projections");
        while (rows.step()) take(rows.text(0), rows.blob(1));
        return true;
    } catch (const SqlError& e) {
        error = "cannot read the projections kept: " + database_problem(path, e);
        return false;
    }
}

KeptProjections::KeptProjections() = default;
KeptProjections::~KeptProjections() = default;

bool KeptProjections::open(const std::string& path, std::vector<std::string>& keys, std::string& error) {
    std::lock_guard<std::mutex> lock(mutex_);
    try {
        auto db = std::make_unique<Db>(path, SQLITE_OPEN_READONLY);
        if (!has_table(*db, "main")) return true;
        if (std::string foreign = foreign_schema(*db); !foreign.empty()) {
            error = "part file '" + path + "' holds what this program never writes into a part: " + foreign;
            return false;
        }
        Stmt rows(*db, "SELECT key FROM projections");
        while (rows.step()) keys.push_back(rows.text(0));
        db_ = std::move(db);
        return true;
    } catch (const SqlError& e) {
        error = "cannot read the projections kept: " + database_problem(path, e);
        return false;
    }
}

bool KeptProjections::find(const std::string& key, std::string& bytes) {
    std::lock_guard<std::mutex> lock(mutex_);
    if (!db_) return false;
    try {
        Stmt row(*db_, "SELECT edges FROM projections WHERE key = ?");
        row.bind(1, key);
        if (!row.step()) return false;
        bytes = row.blob(0);
        return true;
    } catch (const SqlError&) {
        return false;  // computed again by the caller
    }
}

bool keep_projections(const std::string& path, const std::vector<std::pair<std::string, std::string>>& added,
                      const std::set<std::string>& keep, std::string& error) {
    try {
        Db db(path, SQLITE_OPEN_READWRITE);
        db.exec("BEGIN IMMEDIATE");
        try {
            // Only a part as this program writes it is written to: nothing of the file's own runs in the write.
            if (std::string foreign = foreign_schema(db); !foreign.empty()) {
                sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
                error = "part file '" + path + "' holds what this program never writes into a part: " + foreign;
                return false;
            }
            db.exec(kProjectionsTable);
            db.exec("CREATE TEMP TABLE kept(key TEXT PRIMARY KEY)");
            Stmt mark(db, "INSERT OR IGNORE INTO kept(key) VALUES(?)");
            for (const auto& key : keep) mark.bind(1, key).run();
            db.exec("DELETE FROM projections WHERE key NOT IN (SELECT key FROM kept)");
            Stmt insert(db, "INSERT OR REPLACE INTO projections(key, edges) VALUES(?, ?)");
            for (const auto& [key, bytes] : added) insert.bind(1, key).bind_blob(2, bytes).run();
            db.exec("COMMIT");
        } catch (...) {
            sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
            throw;
        }
        return true;
    } catch (const SqlError& e) {
        error = "cannot keep the projections: " + database_problem(path, e);
        return false;
    }
}

void carry_projections(Db& db, const std::string& old_path) {
    std::error_code ec;
    if (!std::filesystem::is_regular_file(old_path, ec)) return;
    try {
        Stmt attach(db, "ATTACH DATABASE ? AS old");
        attach.bind(1, old_path).run();
    } catch (const SqlError&) {
        return;
    }
    try {
        if (has_table(db, "old") && foreign_schema(db, "old").empty()) {
            db.exec("BEGIN");
            db.exec(kProjectionsTable);
            db.exec(
                "INSERT OR IGNORE INTO projections(key, edges) SELECT key, edges FROM old.projections"
                " WHERE typeof(key) = 'text' AND typeof(edges) = 'blob'");
            db.exec("COMMIT");
        }
    } catch (const SqlError&) {
        // Kept projections only save time: a part whose old file cannot give them is saved without them.
        sqlite3_exec(db.handle(), "ROLLBACK", nullptr, nullptr, nullptr);
    }
    sqlite3_exec(db.handle(), "DETACH DATABASE old", nullptr, nullptr, nullptr);
}

}  // namespace cadhost::partfile
