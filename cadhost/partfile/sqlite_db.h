// A thin RAII layer over SQLite: a connection and prepared statements whose failures throw SqlError.
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
