#include "cadhost/partfile/sqlite_db.h"

namespace cadhost::partfile {

namespace {
[[noreturn]] void fail(sqlite3* db, int code) { throw SqlError(db ? sqlite3_errmsg(db) : sqlite3_errstr(code), code); }
}  // namespace

Db::Db(const std::string& path, int flags) {
    int rc = sqlite3_open_v2(path.c_str(), &db_, flags, nullptr);
    if (rc != SQLITE_OK) {
        std::string message = db_ ? sqlite3_errmsg(db_) : sqlite3_errstr(rc);
        sqlite3_close(db_);
        db_ = nullptr;
        throw SqlError(message, rc);
    }
    sqlite3_extended_result_codes(db_, 1);
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
