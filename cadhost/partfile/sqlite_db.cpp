#include "cadhost/partfile/sqlite_db.h"

#include <cstdlib>

namespace cadhost::partfile {

namespace {
[[noreturn]] void fail(sqlite3* db, int code) { throw SqlError(db ? sqlite3_errmsg(db) : sqlite3_errstr(code), code); }

void configure(sqlite3* db, int option, int value) { sqlite3_db_config(db, option, value, nullptr); }
}  // namespace

int part_wait_seconds() {
    const char* text = std::getenv("QUILLON_PART_WAIT");
    if (!text || !*text) return 20;
    char* end = nullptr;
    const long seconds = std::strtol(text, &end, 10);
    return *end || seconds < 0 || seconds > 3600 ? 20 : static_cast<int>(seconds);
}

std::string database_problem(const std::string& path, const SqlError& error) {
    const std::string file = "part file '" + path + "'";
    switch (error.code & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return file + " is in use by another process (waited " + std::to_string(part_wait_seconds()) +
                   " s for it; QUILLON_PART_WAIT sets how long)";
        case SQLITE_NOTADB:
            return "'" + path + "' is not a part file";
        case SQLITE_CORRUPT:
            return file + " is damaged: " + error.what();
        case SQLITE_READONLY:
            if (error.code == SQLITE_READONLY_ROLLBACK)
                return file + " holds an unfinished write of a process that was stopped, and it cannot be rolled" +
                       " back: the file or its folder is read-only";
            return file + " cannot be written: the file or its folder is read-only";
        case SQLITE_CANTOPEN:
            return "cannot open " + file + ": " + error.what();
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return "cannot open " + file + ": permission denied";
        case SQLITE_FULL:
            return "cannot write " + file + ": the disk is full";
        case SQLITE_IOERR:
            return "cannot read or write " + file + ": input/output error (" + error.what() + ")";
        case SQLITE_NOMEM:
            return "cannot read " + file + ": out of memory";
        case SQLITE_TOOBIG:
            return file + " is damaged: a record is too big";
        case SQLITE_MISMATCH:
        case SQLITE_CONSTRAINT:
        case SQLITE_SCHEMA:
            return file + " is damaged: its tables are not as this program makes them (" + error.what() + ")";
    }
    return "cannot read " + file + ": " + error.what();
}

Db::Db(const std::string& path, int flags) {
    int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw SqlError(message, rc);
    }
    sqlite3_extended_result_codes(db_, 1);
    // A part file is data: SQL stored in it (a trigger, a view, a function in its schema) never runs.
    configure(db_, SQLITE_DBCONFIG_ENABLE_TRIGGER, 0);
    configure(db_, SQLITE_DBCONFIG_ENABLE_VIEW, 0);
    configure(db_, SQLITE_DBCONFIG_TRUSTED_SCHEMA, 0);
    configure(db_, SQLITE_DBCONFIG_DEFENSIVE, 1);
    sqlite3_busy_timeout(db_, part_wait_seconds() * 1000);
}

Db::~Db() { sqlite3_close(db_); }

void Db::exec(const char* sql) {
    int rc = sqlite3_exec(db_, sql, nullptr, nullptr, nullptr);
    if (rc != SQLITE_OK) fail(db_, rc);
}

Stmt::Stmt(Db& db, const char* sql) : db_(db) {
    int rc = sqlite3_prepare_v2(db.handle(), sql, -1, &stmt_, nullptr);
    if (rc != SQLITE_OK) fail(db.handle(), rc);
}

Stmt::~Stmt() { sqlite3_finalize(stmt_); }

Stmt& Stmt::bind(int index, std::int64_t value) {
    int rc = sqlite3_bind_int64(stmt_, index, value);
    if (rc != SQLITE_OK) fail(db_.handle(), rc);
    return *this;
}

Stmt& Stmt::bind(int index, double value) {
    int rc = sqlite3_bind_double(stmt_, index, value);
    if (rc != SQLITE_OK) fail(db_.handle(), rc);
    return *this;
}

Stmt& Stmt::bind(int index, const std::string& text) {
    int rc = sqlite3_bind_text(stmt_, index, text.data(), static_cast<int>(text.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) fail(db_.handle(), rc);
    return *this;
}

Stmt& Stmt::bind_blob(int index, const std::string& bytes) {
    int rc = sqlite3_bind_blob(stmt_, index, bytes.data(), static_cast<int>(bytes.size()), SQLITE_TRANSIENT);
    if (rc != SQLITE_OK) fail(db_.handle(), rc);
    return *this;
}

bool Stmt::step() {
    int rc = sqlite3_step(stmt_);
    if (rc == SQLITE_ROW) return true;
    if (rc == SQLITE_DONE) return false;
    fail(db_.handle(), rc);
}

void Stmt::run() {
    step();
    sqlite3_reset(stmt_);
    sqlite3_clear_bindings(stmt_);
}

bool Stmt::is_null(int column) const { return sqlite3_column_type(stmt_, column) == SQLITE_NULL; }
std::int64_t Stmt::integer(int column) const { return sqlite3_column_int64(stmt_, column); }
double Stmt::real(int column) const { return sqlite3_column_double(stmt_, column); }

std::string Stmt::text(int column) const {
    const auto* data = reinterpret_cast<const char*>(sqlite3_column_text(stmt_, column));
    return data ? std::string(data, sqlite3_column_bytes(stmt_, column)) : std::string();
}

std::string Stmt::blob(int column) const {
    const auto* data = static_cast<const char*>(sqlite3_column_blob(stmt_, column));
    return data ? std::string(data, sqlite3_column_bytes(stmt_, column)) : std::string();
}

}  // namespace cadhost::partfile
