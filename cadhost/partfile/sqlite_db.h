// A thin RAII layer over SQLite: a connection and prepared statements whose failures throw SqlError. A connection never
// runs SQL that a file carries (triggers and views are off, the schema is not trusted), and it waits for a database
// another process holds, up to part_wait_seconds(), before it fails with SQLITE_BUSY.
#ifndef CADHOST_PARTFILE_SQLITE_DB_H
#define CADHOST_PARTFILE_SQLITE_DB_H

#include <sqlite3.h>

#include <cstdint>
#include <stdexcept>
#include <string>

namespace cadhost::partfile {

struct SqlError : std::runtime_error {
    SqlError(const std::string& what, int code) : std::runtime_error(what), code(code) {}
    int code;
};

// How long a command waits for a part another process is using: QUILLON_PART_WAIT seconds (0 to 3600), else 20.
int part_wait_seconds();

// What went wrong with a database, in words that do not depend on the library's wording: "is in use by another
// process", "is not a part file", "is damaged: ...". `path` is named in the message.
std::string database_problem(const std::string& path, const SqlError& error);

class Db {
  public:
    Db(const std::string& path, int flags);
    ~Db();
    Db(const Db&) = delete;
    Db& operator=(const Db&) = delete;
    void exec(const char* sql);
    sqlite3* handle() { return db_; }

  private:
    sqlite3* db_ = nullptr;
};

class Stmt {
  public:
    Stmt(Db& db, const char* sql);
    ~Stmt();
    Stmt(const Stmt&) = delete;
    Stmt& operator=(const Stmt&) = delete;

    Stmt& bind(int index, std::int64_t value);
    Stmt& bind(int index, double value);
    Stmt& bind(int index, const std::string& text);
    Stmt& bind_blob(int index, const std::string& bytes);
    // Steps once: true while a row is there.
    bool step();
    // Runs a statement that returns no rows, then makes it ready for new bindings.
    void run();

    bool is_null(int column) const;
    std::int64_t integer(int column) const;
    double real(int column) const;
    std::string text(int column) const;
    std::string blob(int column) const;

  private:
    Db& db_;
    sqlite3_stmt* stmt_ = nullptr;
};

}  // namespace cadhost::partfile

#endif
