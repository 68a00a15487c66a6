#pragma once

// The record store: tables opened by name in the database directory, narrowed
// by filter expressions, ordered by named orders, walked by a cursor, with
// fields read and written as text or integers and record events around the
// operations. Our own code on SQLite.
//
// Semantics the whole program relies on:
// - A view is the ordered list of records that pass the filter; the cursor is
//   a position in it (1-based record number).
// - Moves (First, Last, Next, Prior, Locate, SetRecNo), a change of filter
//   text or of filtering, and a change of order first post a record in edit or
//   insert state. After a refilter the cursor is on the first record; after a
//   change of order it stays on the same record.
// - After a post the cursor follows its record to its place in the order; when
//   the record no longer passes the filter it leaves the view and the cursor
//   stays at its position, which now holds the record that followed (the last
//   record when it was the last).
//   A new record that does not pass the filter leaves the cursor where the
//   insert began (Insert: the record that was current; Append: the last).
// - Delete removes the current record; the next record becomes current (the
//   previous one when the last was removed). Delete of a new record cancels
//   it; in edit state the edit is dropped; an empty view is an error.
// - Events: Post fires BeforePost, writes, AfterPost, then AfterScroll;
//   Delete fires BeforeDelete, removes, then AfterScroll; Insert/Append (and
//   Edit on an empty view) fire BeforeInsert, begin the record, AfterInsert;
//   Edit fires BeforeEdit; Cancel fires BeforeCancel; every other move fires
//   AfterScroll after it. Handlers may call any operation of any table.
// - A move, refilter or reorder that finds a new record still untouched
//   (Insert/Append with no field written) cancels it instead of posting an
//   empty record. Cancel of an insert returns to the record that was current
//   and fires AfterScroll; Cancel of an edit stays and fires none.
// - Eof/Bof: Next on the last record sets Eof, Prior on the first sets Bof;
//   every successful move clears both; an empty view has both set.
// - A field that holds nothing is NULL in storage and reads as "" or 0 (a
//   logical field reads "True" / "False", or "" when it holds nothing).
// - Errors are StoreError with a Japanese message; nothing is left half-written.

#include <cstdint>
#include <filesystem>
#include <functional>
#include <memory>
#include <stdexcept>
#include <string>
#include <string_view>
#include <vector>

#include "core/ledger/store_error.h"
#include "core/ledger/table_schema.h"

struct sqlite3;

namespace ravelto::store {

enum class State { Browse, Edit, Insert };

class Database;
struct TableSchema;

// One record read at a view position, without moving the cursor and without
// events (the record grid and printing use it).
class Record {
  public:
    Record() = default;
    const std::string& Text(std::string_view field) const;
    int32_t Int(std::string_view field) const;
    const std::string& Text(int field_index) const;
    int32_t Int(int field_index) const;
    bool IsNull(int field_index) const;
    int64_t RowId() const { return row_id_; }
    size_t FieldCount() const { return text_.size(); }

  private:
    friend class Table;
    friend struct TableAccess;
    std::shared_ptr<const TableSchema> schema_;
    int64_t row_id_ = 0;
    std::vector<std::string> text_;  // text form of every field ("" for NULL)
    std::vector<int32_t> int_;       // integer form (0 for NULL or text fields)
    std::vector<bool> null_;
};

struct TableEvents {
    std::function<void()> BeforeInsert;
    std::function<void()> AfterInsert;
    std::function<void()> BeforeEdit;
    std::function<void()> BeforePost;
    std::function<void()> AfterPost;
    std::function<void()> BeforeCancel;
    std::function<void()> BeforeDelete;
    std::function<void()> AfterScroll;
    // Not a record event: called whenever the view or the current record's
    // values changed in any way, so a window can re-render. May be empty.
    std::function<void()> Changed;
};

class Table {
  public:
    ~Table();
    Table(const Table&) = delete;
    Table& operator=(const Table&) = delete;

    const TableDef& Def() const;
    const std::string& Name() const;
    int FieldIndex(std::string_view field) const;  // throws StoreError for an unknown name

    TableEvents& Events();

    // Filter and order.
    void SetFilter(std::string_view expression);  // CP932; parsed at once, errors quote it
    const std::string& Filter() const;
    void SetFiltered(bool on);
    bool Filtered() const;
    void SetOrder(std::string_view order_name);  // "" is the primary order
    const std::string& Order() const;

    // Cursor.
    void First();
    void Last();
    void Next();
    void Prior();
    bool Eof() const;
    bool Bof() const;
    int RecordCount() const;
    int RecNo() const;      // 1-based; 0 on an empty view
    int64_t RowId() const;  // of the current record; 0 on an empty view or a new record
    void SetRecNo(int rec_no);
    // fields: names separated by ";"; values in the same order (CP932 text; an
    // integer field compares as a decimal number). partial: text values match
    // as prefixes.
    bool Locate(std::string_view fields, const std::vector<std::string>& values, bool partial);

    // Editing.
    State GetState() const;
    bool Modified() const;  // a field was written since Edit / Insert
    void Edit();
    void Insert();
    void Append();
    void AppendRecord(const std::vector<std::string>& values);
    void Post();
    void Cancel();
    void Delete();

    // Fields of the current record (the pending values while editing).
    std::string Text(std::string_view field) const;
    int32_t Int(std::string_view field) const;
    std::string Text(int field_index) const;
    int32_t Int(int field_index) const;
    // Writes need edit or insert state. Text into an integer field is taken as a
    // decimal number (refused when it is not one or does not fit 32 bits); an
    // empty text clears the field.
    void SetText(std::string_view field, std::string_view value);
    void SetInt(std::string_view field, int64_t value);  // refused outside 32 bits
    void SetText(int field_index, std::string_view value);
    void SetInt(int field_index, int64_t value);
    void Clear(int field_index);

    // Reading without moving the cursor and without events.
    Record ReadAt(int rec_no) const;  // 1-based view position

  private:
    friend class Database;
    friend class Transaction;
    friend struct TableAccess;
    struct Impl;
    explicit Table(std::unique_ptr<Impl> impl);
    void BeginInsert(bool append);
    std::unique_ptr<Impl> impl_;
};

// A connection with the tables attached to it. The program's own tables share
// one Database so that one command's writes commit together; the sibling
// programs' tables get a Database of their own (SQLite attaches at most 10
// files to one connection). Each table is the file named like it in the
// directory; the connection's own main database is the empty file
// ".ravelto.db" there, which lets SQLite commit writes to several table files
// atomically even across a crash. Rollback journal, never WAL.
class Database {
  public:
    // dir is created when missing.
    explicit Database(std::filesystem::path dir);
    ~Database();
    Database(const Database&) = delete;
    Database& operator=(const Database&) = delete;

    // The database directory: $CARDATA when set, else CARDATA/ under start_dir.
    static std::filesystem::path DirectoryFor(const std::filesystem::path& start_dir);

    const std::filesystem::path& Directory() const;

    // Opens (creating when missing) the table's file; the cursor is on the
    // first record. Opening an open table gives the same Table. A file whose
    // fields differ from def is refused; one with fewer fields gains the rest.
    // Not inside a Transaction.
    Table& Open(const TableDef& def);
    // The Table is gone afterwards. Not from inside one of its own handlers.
    void Close(Table& table);
    Table* Find(std::string_view name);

    bool InTransaction() const;
    // How long a write waits for another program's lock before failing.
    void SetBusyTimeout(int milliseconds);

    sqlite3* Handle();  // for the store's own parts

  private:
    friend class Transaction;
    friend class Table;
    struct Impl;
    std::unique_ptr<Impl> impl_;
};

// All writes to all tables of one Database inside the scope commit together,
// or none do. Nested scopes are savepoints. Destroyed without Commit() (an
// error, an early return) it rolls back and every open view is read again;
// an edit or insert begun inside the scope is dropped, one begun before it is
// kept. Once SQLite has given up the transaction after an error, every later
// write in the scope is refused.
class Transaction {
  public:
    explicit Transaction(Database& db);
    ~Transaction();
    Transaction(const Transaction&) = delete;
    Transaction& operator=(const Transaction&) = delete;
    void Commit();

  private:
    Database& db_;
    int depth_ = 0;
    bool done_ = false;
    void Rollback() noexcept;
};

}  // namespace ravelto::store
