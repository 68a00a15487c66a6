#include "core/ledger/record_store.h"

#include <sqlite3.h>

#include <algorithm>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <optional>
#include <unordered_map>

#include "core/ledger/cp932.h"
#include "core/ledger/filter_expression.h"

// Storage. Each table is one SQLite file attached to the Database's connection
// under an ASCII alias (t1, t2, …). The file holds
//   records(id INTEGER PRIMARY KEY, c1, c2, … cN)   text columns BLOB, others INTEGER
//   fields(pos, name, type)                         the field names, for checks
// Text is stored as BLOBs of CP932 bytes, so SQLite compares it with memcmp:
// unsigned, a prefix below the longer text. A field that holds nothing is
// NULL (never an empty BLOB). Comparisons treat NULL as "" / 0: a condition
// that "" (or 0) satisfies gets "c IS NULL OR …" added, one that it does not
// satisfy stays a plain comparison, so the indexes keep serving ranges and
// prefixes. Integer order keys sort by IFNULL(c, 0) (indexed on that
// expression); text keys sort NULL first, which is where "" belongs.

namespace ravelto::store {

namespace fs = std::filesystem;

struct TableSchema {
    TableDef def;
    std::unordered_map<std::string, int> index;
    std::vector<OrderDef> orders;  // orders[0] is the primary order
};

namespace {

std::string U(std::string_view cp932) {
    return Cp932ToUtf8Lenient(cp932);
}

std::string Col(int i) {
    return "c" + std::to_string(i + 1);
}

std::string DbMessage(sqlite3* db, int rc, const std::string& table_utf8) {
    std::string t = "「" + table_utf8 + "」";
    switch (rc & 0xff) {
        case SQLITE_BUSY:
        case SQLITE_LOCKED:
            return t + "は他のプログラムが使用中です。しばらくしてからやり直してください。";
        case SQLITE_READONLY:
            return t + "は読み取り専用のため書き込めません。";
        case SQLITE_FULL:
            return "ディスクに空きがないため" + t + "に書き込めません。";
        case SQLITE_NOTADB:
        case SQLITE_CORRUPT:
            return t + "は壊れているか、表のファイルではありません。";
        case SQLITE_CANTOPEN:
            return t + "を開けません。";
        case SQLITE_PERM:
        case SQLITE_AUTH:
            return t + "を使う権限がありません。";
        case SQLITE_IOERR:
            return t + "の読み書きに失敗しました。";
        default:
            return t + "でエラーが起きました（" +
                   std::string(db ? sqlite3_errmsg(db) : sqlite3_errstr(rc)) + "）。";
    }
}

struct Param {
    enum class Kind { Null, Blob, Int, Text } kind = Kind::Null;
    std::string s;
    int64_t i = 0;
    static Param Blob(std::string v) { return Param{Kind::Blob, std::move(v), 0}; }
    static Param Int(int64_t v) { return Param{Kind::Int, {}, v}; }
    static Param Text(std::string v) { return Param{Kind::Text, std::move(v), 0}; }
};

void Bind(sqlite3_stmt* s, int at, const Param& p) {
    switch (p.kind) {
        case Param::Kind::Null:
            sqlite3_bind_null(s, at);
            break;
        case Param::Kind::Blob:
            if (p.s.empty())
                sqlite3_bind_zeroblob(s, at, 0);
            else
                sqlite3_bind_blob(s, at, p.s.data(), static_cast<int>(p.s.size()),
                                  SQLITE_TRANSIENT);
            break;
        case Param::Kind::Int:
            sqlite3_bind_int64(s, at, p.i);
            break;
        case Param::Kind::Text:
            sqlite3_bind_text(s, at, p.s.data(), static_cast<int>(p.s.size()), SQLITE_TRANSIENT);
            break;
    }
}

// The next text above every text that begins with prefix; nullopt when none.
std::optional<std::string> RaisePrefix(std::string p) {
    while (!p.empty() && static_cast<unsigned char>(p.back()) == 0xFF)
        p.pop_back();
    if (p.empty()) return std::nullopt;
    p.back() = static_cast<char>(static_cast<unsigned char>(p.back()) + 1);
    return p;
}

// Decimal text → integer. Blanks around are allowed; nullopt when not a number.
std::optional<int64_t> ParseDecimal(std::string_view t) {
    while (!t.empty() && t.front() == ' ')
        t.remove_prefix(1);
    while (!t.empty() && t.back() == ' ')
        t.remove_suffix(1);
    if (t.empty()) return std::nullopt;
    bool neg = false;
    if (t.front() == '-' || t.front() == '+') {
        neg = t.front() == '-';
        t.remove_prefix(1);
    }
    if (t.empty()) return std::nullopt;
    // A long number stays a number, held at a value far outside 32 bits, so
    // that it is refused as out of range rather than as not a number.
    constexpr int64_t kHuge = int64_t{1} << 58;
    int64_t v = 0;
    for (char c : t) {
        if (c < '0' || c > '9') return std::nullopt;
        v = v > kHuge ? kHuge : v * 10 + (c - '0');
    }
    return neg ? -v : v;
}

// One value of an order key, compared the way SQLite orders them.
struct KeyVal {
    int rank = 0;  // 0 NULL, 1 integer, 2 text/blob
    int64_t i = 0;
    std::string b;
};

int CompareKey(const KeyVal& a, const KeyVal& b) {
    if (a.rank != b.rank) return a.rank < b.rank ? -1 : 1;
    if (a.rank == 1) return a.i < b.i ? -1 : (a.i > b.i ? 1 : 0);
    if (a.rank == 2) {
        size_t n = std::min(a.b.size(), b.b.size());
        int c = n ? std::memcmp(a.b.data(), b.b.data(), n) : 0;
        if (c != 0) return c < 0 ? -1 : 1;
        return a.b.size() < b.b.size() ? -1 : (a.b.size() > b.b.size() ? 1 : 0);
    }
    return 0;
}

}  // namespace

// ---------------------------------------------------------------------------
// Record

namespace {
const std::string& EmptyString() {
    static const std::string e;
    return e;
}
}  // namespace

struct TableAccess {
    static Record Make(std::shared_ptr<const TableSchema> schema) {
        Record r;
        size_t n = schema->def.fields.size();
        r.schema_ = std::move(schema);
        r.text_.assign(n, std::string());
        r.int_.assign(n, 0);
        r.null_.assign(n, true);
        return r;
    }
    static std::vector<std::string>& Text(Record& r) { return r.text_; }
    static std::vector<int32_t>& Int(Record& r) { return r.int_; }
    static std::vector<bool>& Null(Record& r) { return r.null_; }
    static int64_t& RowId(Record& r) { return r.row_id_; }
    static const TableSchema* Schema(const Record& r) { return r.schema_.get(); }
};

namespace {
int IndexIn(const TableSchema* schema, std::string_view field) {
    if (!schema) throw StoreError("レコードがありません。");
    auto it = schema->index.find(std::string(field));
    if (it == schema->index.end())
        throw StoreError("表「" + schema->def.name + "」に項目「" + U(field) + "」はありません。");
    return it->second;
}
}  // namespace

const std::string& Record::Text(std::string_view field) const {
    return Text(IndexIn(schema_.get(), field));
}
int32_t Record::Int(std::string_view field) const {
    return Int(IndexIn(schema_.get(), field));
}

const std::string& Record::Text(int field_index) const {
    if (field_index < 0 || static_cast<size_t>(field_index) >= text_.size()) {
        if (text_.empty()) return EmptyString();
        throw StoreError("項目の番号 " + std::to_string(field_index) + " は範囲外です。");
    }
    return text_[field_index];
}

int32_t Record::Int(int field_index) const {
    if (field_index < 0 || static_cast<size_t>(field_index) >= int_.size()) {
        if (int_.empty()) return 0;
        throw StoreError("項目の番号 " + std::to_string(field_index) + " は範囲外です。");
    }
    if (schema_ && schema_->def.fields[field_index].type == FieldType::Text &&
        !null_[field_index]) {
        auto v = ParseDecimal(text_[field_index]);
        if (!v || *v < INT32_MIN || *v > INT32_MAX)
            throw StoreError("項目「" + U(schema_->def.fields[field_index].name) + "」の値「" +
                             U(text_[field_index]) + "」は数値ではありません。");
        return static_cast<int32_t>(*v);
    }
    return int_[field_index];
}

bool Record::IsNull(int field_index) const {
    if (field_index < 0 || static_cast<size_t>(field_index) >= null_.size()) return true;
    return null_[field_index];
}

// ---------------------------------------------------------------------------
// Database internals

struct Database::Impl {
    sqlite3* db = nullptr;
    fs::path dir;
    std::vector<std::unique_ptr<Table>> tables;
    int depth = 0;
    bool broken = false;  // SQLite ended the transaction on its own after an error
    int busy_ms = 250;

    void Exec(const std::string& sql, const std::string& table_utf8) {
        char* err = nullptr;
        int rc = sqlite3_exec(db, sql.c_str(), nullptr, nullptr, &err);
        if (err) sqlite3_free(err);
        if (rc != SQLITE_OK) throw StoreError(DbMessage(db, rc, table_utf8));
    }

    void RereadAll(int rolled_back_depth) noexcept;
    void AfterFailure() noexcept;
};

// ---------------------------------------------------------------------------
// Table internals

struct CompiledFilter {
    std::string where = "1";
    std::vector<Param> params;
};

struct Table::Impl {
    Database::Impl& db;
    Database& owner;
    std::shared_ptr<const TableSchema> schema;
    std::string alias;      // t1, t2, …
    std::string qualified;  // t1.records
    std::string name_utf8;
    TableEvents events;

    std::string filter_text;
    FilterNode filter_tree;
    bool filtered = false;
    CompiledFilter compiled;
    std::string order_name;
    int order = 0;  // index into schema->orders

    bool view_valid = false;
    std::vector<int64_t> view;
    int pos = 0;
    bool eof = false, bof = false;
    int64_t target_rowid = 0;  // where the cursor goes when the view is next read
    int target_pos = 0;

    mutable std::optional<Record> current;

    State state = State::Browse;
    Record pending;
    bool modified = false;
    int64_t edit_rowid = 0;
    int edit_depth = 0;
    int64_t return_rowid = 0;  // record current before an insert
    int return_pos = 0;
    bool appending = false;

    int busy = 0;
    int live = 0;  // Stmts in use: a failing one may run handlers before it is reset
    std::unordered_map<std::string, sqlite3_stmt*> stmts;
    std::string sql_read_row, sql_insert, sql_update;  // made once: records are read often
    std::string sql_keys;
    int sql_keys_order = -1;

    Impl(Database::Impl& d, Database& o) : db(d), owner(o) {}
    ~Impl() { FinalizeAll(); }

    void FinalizeAll() {
        for (auto& [sql, s] : stmts)
            sqlite3_finalize(s);
        stmts.clear();
    }

    [[noreturn]] void Fail(int rc) {
        db.AfterFailure();
        throw StoreError(DbMessage(db.db, rc, name_utf8));
    }

    [[noreturn]] void Error(const std::string& what) const {
        throw StoreError("「" + name_utf8 + "」: " + what);
    }

    // A prepared statement, reset on scope exit so nothing stays open.
    class Stmt {
      public:
        Stmt(Impl& t, const std::string& sql) : t_(t) {
            auto it = t.stmts.find(sql);
            if (it != t.stmts.end()) {
                s_ = it->second;
            } else {
                if (t.stmts.size() > 64 && t.live == 0) t.FinalizeAll();
                int rc = sqlite3_prepare_v3(t.db.db, sql.c_str(), -1, SQLITE_PREPARE_PERSISTENT,
                                            &s_, nullptr);
                if (rc != SQLITE_OK) {
                    sqlite3_finalize(s_);
                    s_ = nullptr;
                    t.Fail(rc);
                }
                t.stmts.emplace(sql, s_);
            }
            ++t.live;
        }
        ~Stmt() {
            --t_.live;
            sqlite3_reset(s_);
            sqlite3_clear_bindings(s_);
        }
        Stmt(const Stmt&) = delete;
        Stmt& operator=(const Stmt&) = delete;
        void Bind(const std::vector<Param>& ps, int from = 1) {
            for (size_t i = 0; i < ps.size(); ++i)
                store::Bind(s_, from + static_cast<int>(i), ps[i]);
        }
        void BindInt(int at, int64_t v) { sqlite3_bind_int64(s_, at, v); }
        bool Step() {
            int rc = sqlite3_step(s_);
            if (rc == SQLITE_ROW) return true;
            if (rc == SQLITE_DONE) return false;
            sqlite3_reset(s_);
            t_.Fail(rc);
        }
        sqlite3_stmt* get() { return s_; }

      private:
        Impl& t_;
        sqlite3_stmt* s_ = nullptr;
    };

    int FieldIndex(std::string_view field) const {
        auto it = schema->index.find(std::string(field));
        if (it == schema->index.end()) Error("項目「" + U(field) + "」はありません。");
        return it->second;
    }
    FieldType TypeOf(int i) const { return schema->def.fields[i].type; }
    int FieldCount() const { return static_cast<int>(schema->def.fields.size()); }

    // ---- filters -------------------------------------------------------

    struct Compiler {
        const Impl& t;
        std::string_view source;  // for messages
        std::vector<Param> params;
        bool no_index = false;     // "+c": the planner may not use an index for these terms
        bool null_in_sql = false;  // set by Leaf: its SQL itself may pass a NULL

        std::string C(int col) const { return no_index ? "+" + Col(col) : Col(col); }

        [[noreturn]] void Bad(const std::string& what) const {
            t.Error(what + "（フィルタ式「" + U(source) + "」）");
        }

        std::string Node(const FilterNode& n, const std::vector<int>& no_null) {
            switch (n.kind) {
                case FilterNode::Kind::True:
                    return "1";
                case FilterNode::Kind::Compare: {
                    bool null_ok = false;
                    std::string sql = Leaf(n, null_ok);
                    int col = ColumnOf(n);
                    if (null_ok && std::find(no_null.begin(), no_null.end(), col) == no_null.end())
                        return "(" + C(col) + " IS NULL OR " + sql + ")";
                    return sql;
                }
                case FilterNode::Kind::And: {
                    // A row whose column is NULL already fails a conjunct that
                    // "" does not satisfy; the other conjuncts need no NULL case
                    // for that column (which keeps a range a plain range).
                    std::vector<int> inner = no_null;
                    for (const auto& c : n.children) {
                        if (c.kind != FilterNode::Kind::Compare) continue;
                        bool null_ok = false;
                        std::vector<Param> save = params;
                        Leaf(c, null_ok);
                        params = std::move(save);
                        if (!null_ok && !null_in_sql) inner.push_back(ColumnOf(c));
                    }
                    std::string out = "(";
                    for (size_t i = 0; i < n.children.size(); ++i) {
                        if (i) out += " AND ";
                        out += Node(n.children[i], inner);
                    }
                    return out + ")";
                }
                case FilterNode::Kind::Or: {
                    std::string out = "(";
                    for (size_t i = 0; i < n.children.size(); ++i) {
                        if (i) out += " OR ";
                        out += Node(n.children[i], no_null);
                    }
                    return out + ")";
                }
            }
            return "1";
        }

        int ColumnOf(const FilterNode& n) const {
            auto it = t.schema->index.find(n.field);
            if (it == t.schema->index.end()) Bad("項目「" + U(n.field) + "」はありません");
            return it->second;
        }

        // SQL of one comparison; null_ok tells whether "" (0) satisfies it,
        // in which case the caller adds the NULL case (unless the SQL already
        // holds it and null_ok is returned false).
        std::string Leaf(const FilterNode& n, bool& null_ok) {
            null_in_sql = false;
            int col = ColumnOf(n);
            std::string c = C(col);
            FieldType type = t.TypeOf(col);
            if (type == FieldType::Text) {
                if (n.is_number)
                    Bad("文字の項目「" + U(n.field) + "」を数値と比べることはできません");
                const std::string& v = n.text;
                if (n.prefix) {
                    if (v.empty()) {
                        null_ok = false;
                        null_in_sql = n.op == FilterOp::Eq;
                        return n.op == FilterOp::Eq ? "1" : "0";
                    }
                    auto hi = RaisePrefix(v);
                    params.push_back(Param::Blob(v));
                    if (hi) params.push_back(Param::Blob(*hi));
                    if (n.op == FilterOp::Eq) {
                        null_ok = false;
                        return hi ? "(" + c + " >= ? AND " + c + " < ?)" : c + " >= ?";
                    }
                    null_ok = true;
                    return hi ? "(" + c + " < ? OR " + c + " >= ?)" : c + " < ?";
                }
                switch (n.op) {
                    case FilterOp::Eq:
                        if (v.empty()) {
                            null_ok = false;
                            null_in_sql = true;
                            return "(" + c + " IS NULL OR " + c + " = x'')";
                        }
                        params.push_back(Param::Blob(v));
                        null_ok = false;
                        return c + " = ?";
                    case FilterOp::Ne:
                        if (v.empty()) {
                            null_ok = false;
                            return "(" + c + " IS NOT NULL AND " + c + " <> x'')";
                        }
                        params.push_back(Param::Blob(v));
                        null_ok = true;
                        return c + " <> ?";
                    case FilterOp::Ge:
                        if (v.empty()) {
                            null_ok = false;
                            null_in_sql = true;
                            return "1";
                        }
                        params.push_back(Param::Blob(v));
                        null_ok = false;
                        return c + " >= ?";
                    case FilterOp::Le:
                        params.push_back(Param::Blob(v));
                        null_ok = true;
                        return c + " <= ?";
                }
            }
            // Integer and logical fields.
            if (!n.is_number && n.prefix) {
                // A prefix of the decimal text of the number.
                std::string e = "CAST(IFNULL(" + c + ",0) AS TEXT)";
                null_ok = false;
                null_in_sql = true;
                if (n.text.empty()) return n.op == FilterOp::Eq ? "1" : "0";
                auto hi = RaisePrefix(n.text);
                params.push_back(Param::Text(n.text));
                if (hi) params.push_back(Param::Text(*hi));
                if (n.op == FilterOp::Eq)
                    return hi ? "(" + e + " >= ? AND " + e + " < ?)" : e + " >= ?";
                return hi ? "(" + e + " < ? OR " + e + " >= ?)" : e + " < ?";
            }
            int64_t value = n.number;
            if (!n.is_number) {
                if (n.text.empty()) {
                    value = 0;
                } else if (type == FieldType::Logical && (n.text == "True" || n.text == "False")) {
                    value = n.text == "True" ? 1 : 0;
                } else {
                    auto parsed = ParseDecimal(n.text);
                    if (!parsed)
                        Bad("数値の項目「" + U(n.field) + "」と数値でない「" + U(n.text) +
                            "」は比べられません");
                    value = *parsed;
                }
            }
            params.push_back(Param::Int(value));
            switch (n.op) {
                case FilterOp::Eq:
                    null_ok = value == 0;
                    return c + " = ?";
                case FilterOp::Ne:
                    null_ok = value != 0;
                    return c + " <> ?";
                case FilterOp::Ge:
                    null_ok = 0 >= value;
                    return c + " >= ?";
                case FilterOp::Le:
                    null_ok = 0 <= value;
                    return c + " <= ?";
            }
            return "1";
        }
    };

    CompiledFilter Compile(const FilterNode& tree, std::string_view source,
                           bool no_index = false) const {
        Compiler comp{*this, source, {}, no_index};
        CompiledFilter out;
        out.where = comp.Node(tree, {});
        out.params = std::move(comp.params);
        return out;
    }

    // ---- order ---------------------------------------------------------

    const OrderDef& Order() const { return schema->orders[order]; }
    bool OrderDescending() const {
        return !Order().keys.empty() && Order().keys.front().descending;
    }

    std::string KeyExpr(const OrderKey& k) const {
        int col = schema->index.at(k.field);
        return TypeOf(col) == FieldType::Text ? Col(col) : "IFNULL(" + Col(col) + ",0)";
    }

    std::string OrderBy() const {
        std::string out;
        for (const auto& k : Order().keys)
            out += KeyExpr(k) + (k.descending ? " DESC, " : ", ");
        return out + (OrderDescending() ? "id DESC" : "id");
    }

    std::vector<KeyVal> ReadKeys(int64_t rowid) {
        const auto& keys = Order().keys;
        std::vector<KeyVal> out(keys.size());
        if (keys.empty()) return out;
        if (sql_keys_order != order) {
            sql_keys = "SELECT ";
            for (size_t i = 0; i < keys.size(); ++i)
                sql_keys += (i ? ", " : "") + KeyExpr(keys[i]);
            sql_keys += " FROM " + qualified + " WHERE id = ?";
            sql_keys_order = order;
        }
        Stmt s(*this, sql_keys);
        s.BindInt(1, rowid);
        if (!s.Step()) return out;
        for (size_t i = 0; i < keys.size(); ++i) {
            switch (sqlite3_column_type(s.get(), static_cast<int>(i))) {
                case SQLITE_NULL:
                    out[i].rank = 0;
                    break;
                case SQLITE_INTEGER:
                case SQLITE_FLOAT:
                    out[i].rank = 1;
                    out[i].i = sqlite3_column_int64(s.get(), static_cast<int>(i));
                    break;
                default: {
                    out[i].rank = 2;
                    const void* p = sqlite3_column_blob(s.get(), static_cast<int>(i));
                    int len = sqlite3_column_bytes(s.get(), static_cast<int>(i));
                    out[i].b.assign(static_cast<const char*>(p), static_cast<size_t>(len));
                }
            }
        }
        return out;
    }

    // True when record a comes before record b in the current order.
    bool Before(const std::vector<KeyVal>& ka, int64_t a, const std::vector<KeyVal>& kb,
                int64_t b) const {
        const auto& keys = Order().keys;
        for (size_t i = 0; i < keys.size(); ++i) {
            int c = CompareKey(ka[i], kb[i]);
            if (c != 0) return keys[i].descending ? c > 0 : c < 0;
        }
        return OrderDescending() ? a > b : a < b;
    }

    // Where a record belongs in the (valid) view: the index of the first
    // record that comes after it. The record itself must not be in the view.
    int InsertionPoint(int64_t rowid) {
        if (Order().keys.empty()) {
            auto it = std::lower_bound(view.begin(), view.end(), rowid);
            return static_cast<int>(it - view.begin());
        }
        std::vector<KeyVal> k = ReadKeys(rowid);
        int lo = 0, hi = static_cast<int>(view.size());
        while (lo < hi) {
            int mid = (lo + hi) / 2;
            if (Before(ReadKeys(view[mid]), view[mid], k, rowid))
                lo = mid + 1;
            else
                hi = mid;
        }
        return lo;
    }

    // Position of a record in the (valid) view, or -1.
    int PositionOf(int64_t rowid) {
        if (view.empty()) return -1;
        if (Order().keys.empty()) {
            auto it = std::lower_bound(view.begin(), view.end(), rowid);
            return it != view.end() && *it == rowid ? static_cast<int>(it - view.begin()) : -1;
        }
        int at = InsertionPoint(rowid);
        if (at < static_cast<int>(view.size()) && view[at] == rowid) return at;
        auto it = std::find(view.begin(), view.end(), rowid);
        return it == view.end() ? -1 : static_cast<int>(it - view.begin());
    }

    // ---- the view ------------------------------------------------------

    std::string Where() const { return filtered ? compiled.where : "1"; }

    void EnsureView() {
        if (view_valid) return;
        std::vector<int64_t> ids;
        {
            Stmt s(*this,
                   "SELECT id FROM " + qualified + " WHERE " + Where() + " ORDER BY " + OrderBy());
            if (filtered) s.Bind(compiled.params);
            while (s.Step())
                ids.push_back(sqlite3_column_int64(s.get(), 0));
        }
        view = std::move(ids);
        view_valid = true;
        int p = -1;
        if (target_rowid != 0) {
            auto it = std::find(view.begin(), view.end(), target_rowid);
            if (it != view.end()) p = static_cast<int>(it - view.begin());
        }
        if (p < 0) p = std::clamp(target_pos, 0, std::max(0, static_cast<int>(view.size()) - 1));
        pos = p;
        target_rowid = 0;
        target_pos = 0;
    }

    // The view will be read again; the cursor stays on its record (or position).
    void Invalidate() {
        if (view_valid) {
            target_rowid = view.empty() ? 0 : view[pos];
            target_pos = pos;
        }
        view_valid = false;
        Forget();
    }

    void Refilter() {
        view_valid = false;
        target_rowid = 0;
        target_pos = 0;
        eof = bof = false;
        Forget();
    }

    int64_t CurrentRowId() {
        if (!view_valid && target_rowid == 0 && target_pos == 0) return FirstRowId();
        EnsureView();
        return view.empty() ? 0 : view[pos];
    }

    // The first record of a view not yet read, without reading it all (the
    // record shown right after opening or refiltering).
    int64_t FirstRowId() {
        Stmt s(*this, "SELECT id FROM " + qualified + " WHERE " + Where() + " ORDER BY " +
                          OrderBy() + " LIMIT 1");
        if (filtered) s.Bind(compiled.params);
        return s.Step() ? sqlite3_column_int64(s.get(), 0) : 0;
    }

    bool Passes(int64_t rowid) {
        if (!filtered) return true;
        Stmt s(*this, "SELECT 1 FROM " + qualified + " WHERE id = ? AND " + compiled.where);
        s.BindInt(1, rowid);
        s.Bind(compiled.params, 2);
        return s.Step();
    }

    // ---- records -------------------------------------------------------

    std::string SelectColumns() const {
        std::string sql;
        for (int i = 0; i < FieldCount(); ++i)
            sql += (i ? ", " : "") + Col(i);
        return sql;
    }

    Record ReadRow(int64_t rowid) {
        Stmt s(*this, sql_read_row);
        s.BindInt(1, rowid);
        if (!s.Step()) {  // gone: reads as an empty record
            Record r = TableAccess::Make(schema);
            TableAccess::RowId(r) = rowid;
            return r;
        }
        return Decode(s.get(), 0, rowid);
    }

    // Records read ahead along the view: a walk or a grid page costs one
    // statement (and one file lock) per batch instead of one per record.
    static constexpr int kAhead = 32;
    std::unordered_map<int64_t, Record> ahead;

    void Forget() {
        current.reset();
        ahead.clear();
    }

    Record Fetch(int64_t rowid, int at) {
        auto it = ahead.find(rowid);
        if (it != ahead.end()) return it->second;
        if (at < 0 || !view_valid || at >= static_cast<int>(view.size()) || view[at] != rowid)
            return ReadRow(rowid);
        if (ahead.size() > 8 * kAhead) ahead.clear();
        std::string sql =
            "SELECT id, " + SelectColumns() + " FROM " + qualified + " WHERE id IN (?";
        for (int i = 1; i < kAhead; ++i)
            sql += ", ?";
        sql += ")";
        {
            Stmt s(*this, sql);
            for (int i = 0; i < kAhead && at + i < static_cast<int>(view.size()); ++i)
                s.BindInt(i + 1, view[static_cast<size_t>(at + i)]);
            while (s.Step()) {
                int64_t id = sqlite3_column_int64(s.get(), 0);
                ahead.insert_or_assign(id, Decode(s.get(), 1, id));
            }
        }
        it = ahead.find(rowid);
        if (it != ahead.end()) return it->second;
        Record r = TableAccess::Make(schema);
        TableAccess::RowId(r) = rowid;
        return r;
    }

    Record Decode(sqlite3_stmt* st, int first, int64_t rowid) {
        Record r = TableAccess::Make(schema);
        TableAccess::RowId(r) = rowid;
        auto& text = TableAccess::Text(r);
        auto& ints = TableAccess::Int(r);
        auto& nulls = TableAccess::Null(r);
        for (int i = 0; i < FieldCount(); ++i) {
            int col = first + i;
            int type = sqlite3_column_type(st, col);
            if (type == SQLITE_NULL) continue;
            nulls[i] = false;
            switch (TypeOf(i)) {
                case FieldType::Text: {
                    const void* p = sqlite3_column_blob(st, col);
                    int len = sqlite3_column_bytes(st, col);
                    text[i].assign(static_cast<const char*>(p), static_cast<size_t>(len));
                    if (len == 0) nulls[i] = true;
                    break;
                }
                case FieldType::Integer: {
                    int64_t v = sqlite3_column_int64(st, col);
                    if (v < INT32_MIN || v > INT32_MAX)
                        Error("項目「" + U(schema->def.fields[i].name) + "」の値 " +
                              std::to_string(v) + " が範囲を超えています。");
                    ints[i] = static_cast<int32_t>(v);
                    text[i] = std::to_string(v);
                    break;
                }
                case FieldType::Logical: {
                    bool on = sqlite3_column_int64(st, col) != 0;
                    ints[i] = on ? 1 : 0;
                    text[i] = on ? "True" : "False";
                    break;
                }
            }
        }
        return r;
    }

    const Record& Current() {
        int64_t id = CurrentRowId();
        if (!current || current->RowId() != id || id == 0) {
            if (id == 0)
                current = TableAccess::Make(schema);
            else
                current = Fetch(id, view_valid ? pos : -1);
        }
        return *current;
    }

    const Record& Shown() {
        if (state != State::Browse) return pending;
        return Current();
    }

    void CheckWritable() {
        if (db.depth > 0 && (db.broken || sqlite3_get_autocommit(db.db))) {
            db.broken = true;
            Error("先のエラーで処理が中断されたため書き込めません。");
        }
    }

    void Write() {
        CheckWritable();
        std::vector<Param> ps;
        const auto& text = TableAccess::Text(pending);
        const auto& ints = TableAccess::Int(pending);
        const auto& nulls = TableAccess::Null(pending);
        for (int i = 0; i < FieldCount(); ++i) {
            if (nulls[i])
                ps.push_back(Param{});
            else if (TypeOf(i) == FieldType::Text)
                ps.push_back(Param::Blob(text[i]));
            else
                ps.push_back(Param::Int(ints[i]));
        }
        if (state == State::Insert) {
            Stmt s(*this, sql_insert);
            s.Bind(ps);
            s.Step();
            edit_rowid = sqlite3_last_insert_rowid(db.db);
        } else {
            Stmt s(*this, sql_update);
            s.Bind(ps);
            s.BindInt(FieldCount() + 1, edit_rowid);
            s.Step();
            if (sqlite3_changes(db.db) != 1)
                Error("編集中のレコードが見つかりません（他で削除されました）。");
        }
    }

    // ---- events --------------------------------------------------------

    void Fire(std::function<void()> TableEvents::*which) {
        std::function<void()> h = events.*which;  // a handler may replace itself
        if (!h) return;
        ++busy;
        try {
            h();
        } catch (...) {
            --busy;
            throw;
        }
        --busy;
    }

    void Scrolled() {
        Fire(&TableEvents::AfterScroll);
        Fire(&TableEvents::Changed);
    }

    void SetValue(int i, std::string_view value) {
        auto& text = TableAccess::Text(pending);
        auto& ints = TableAccess::Int(pending);
        auto& nulls = TableAccess::Null(pending);
        const std::string& fname = schema->def.fields[i].name;
        if (value.empty()) {
            text[i].clear();
            ints[i] = 0;
            nulls[i] = true;
            return;
        }
        switch (TypeOf(i)) {
            case FieldType::Text:
                text[i].assign(value);
                ints[i] = 0;
                nulls[i] = false;
                return;
            case FieldType::Integer: {
                auto v = ParseDecimal(value);
                if (!v)
                    Error("数値の項目「" + U(fname) + "」に数値でない「" + U(value) +
                          "」は書き込めません。");
                SetNumber(i, *v);
                return;
            }
            case FieldType::Logical: {
                std::string lower;
                for (char c : value)
                    lower.push_back(static_cast<char>(std::tolower(static_cast<unsigned char>(c))));
                if (lower == "true" || lower == "1")
                    SetNumber(i, 1);
                else if (lower == "false" || lower == "0")
                    SetNumber(i, 0);
                else
                    Error("項目「" + U(fname) + "」には True か False を書き込んでください（「" +
                          U(value) + "」）。");
                return;
            }
        }
    }

    void SetNumber(int i, int64_t v) {
        const std::string& fname = schema->def.fields[i].name;
        if (TypeOf(i) == FieldType::Text) {
            SetValue(i, std::to_string(v));
            return;
        }
        if (v < INT32_MIN || v > INT32_MAX)
            Error("項目「" + U(fname) + "」の値 " + std::to_string(v) +
                  " は範囲（-2147483648～2147483647）を超えています。");
        auto& ints = TableAccess::Int(pending);
        auto& text = TableAccess::Text(pending);
        auto& nulls = TableAccess::Null(pending);
        if (TypeOf(i) == FieldType::Logical) v = v != 0 ? 1 : 0;
        ints[i] = static_cast<int32_t>(v);
        text[i] = TypeOf(i) == FieldType::Logical ? (v ? "True" : "False") : std::to_string(v);
        nulls[i] = false;
    }

    void CheckEditing(int i) const {
        if (state == State::Browse)
            Error("編集中ではないため項目「" + U(schema->def.fields[i].name) +
                  "」に書き込めません。");
    }

    int CheckIndex(int i) const {
        if (i < 0 || i >= FieldCount())
            Error("項目の番号 " + std::to_string(i) + " は範囲外です。");
        return i;
    }

    void DropPending() {
        state = State::Browse;
        pending = Record();
        modified = false;
        edit_rowid = 0;
    }
};

// Called after a statement failed: when SQLite ended an open transaction on
// its own, every view is read again and later writes in the scope are refused.
void Database::Impl::AfterFailure() noexcept {
    if (depth > 0 && sqlite3_get_autocommit(db) && !broken) {
        broken = true;
        RereadAll(1);
    }
}

void Database::Impl::RereadAll(int rolled_back_depth) noexcept {
    for (auto& t : tables) {
        Table::Impl& i = *t->impl_;
        if (i.state != State::Browse && i.edit_depth >= rolled_back_depth) i.DropPending();
        i.Invalidate();
        i.eof = i.bof = false;
    }
    // A handler may open or close tables: walk a copy, and skip a table
    // that is gone by its turn.
    std::vector<Table*> told;
    for (auto& t : tables)
        told.push_back(t.get());
    for (Table* t : told) {
        bool open = std::any_of(tables.begin(), tables.end(),
                                [&](const std::unique_ptr<Table>& o) { return o.get() == t; });
        if (!open) continue;
        try {
            t->impl_->Fire(&TableEvents::Changed);
        } catch (...) {
            // A window that cannot re-render now does so at its next change.
        }
    }
}

// ---------------------------------------------------------------------------
// Table

Table::Table(std::unique_ptr<Impl> impl) : impl_(std::move(impl)) {}
Table::~Table() = default;

const TableDef& Table::Def() const {
    return impl_->schema->def;
}
const std::string& Table::Name() const {
    return impl_->schema->def.name;
}
int Table::FieldIndex(std::string_view field) const {
    return impl_->FieldIndex(field);
}
TableEvents& Table::Events() {
    return impl_->events;
}

void Table::SetFilter(std::string_view expression) {
    Impl& t = *impl_;
    FilterNode tree;
    try {
        tree = ParseFilter(expression);
    } catch (const StoreError& e) {
        t.Error(e.what());
    }
    CompiledFilter compiled = t.Compile(tree, expression);
    if (t.filtered) {
        if (t.state != State::Browse) {
            // Posting first may run handlers; they see the old filter.
            if (t.state == State::Insert && !t.modified)
                Cancel();
            else
                Post();
        }
    }
    t.filter_text.assign(expression);
    t.filter_tree = std::move(tree);
    t.compiled = std::move(compiled);
    if (t.filtered) {
        t.Refilter();
        t.Scrolled();
    }
}

const std::string& Table::Filter() const {
    return impl_->filter_text;
}

void Table::SetFiltered(bool on) {
    Impl& t = *impl_;
    if (t.state != State::Browse) {
        if (t.state == State::Insert && !t.modified)
            Cancel();
        else
            Post();
    }
    t.filtered = on;
    t.Refilter();
    t.Scrolled();
}

bool Table::Filtered() const {
    return impl_->filtered;
}

void Table::SetOrder(std::string_view order_name) {
    Impl& t = *impl_;
    int found = -1;
    for (size_t i = 0; i < t.schema->orders.size(); ++i)
        if (t.schema->orders[i].name == order_name) found = static_cast<int>(i);
    if (found < 0) t.Error("並び順「" + U(order_name) + "」はありません。");
    if (t.state != State::Browse) {
        if (t.state == State::Insert && !t.modified)
            Cancel();
        else
            Post();
    }
    if (!t.view_valid && t.target_rowid == 0 && t.target_pos == 0) t.target_rowid = t.FirstRowId();
    t.Invalidate();
    t.order = found;
    t.order_name.assign(order_name);
    t.eof = t.bof = false;  // the record may now stand anywhere in the view
    t.Scrolled();
}

const std::string& Table::Order() const {
    return impl_->order_name;
}

namespace {
// Moves post a pending record first (an untouched new record is dropped).
void PostFirst(Table& table) {
    if (table.GetState() == State::Insert && !table.Modified())
        table.Cancel();
    else if (table.GetState() != State::Browse)
        table.Post();
}
}  // namespace

void Table::First() {
    PostFirst(*this);
    Impl& t = *impl_;
    t.EnsureView();
    t.pos = 0;
    t.current.reset();
    t.eof = t.bof = false;
    t.Scrolled();
}

void Table::Last() {
    PostFirst(*this);
    Impl& t = *impl_;
    t.EnsureView();
    t.pos = std::max(0, static_cast<int>(t.view.size()) - 1);
    t.current.reset();
    t.eof = t.bof = false;
    t.Scrolled();
}

void Table::Next() {
    PostFirst(*this);
    Impl& t = *impl_;
    t.EnsureView();
    if (t.pos + 1 < static_cast<int>(t.view.size())) {
        ++t.pos;
        t.eof = t.bof = false;
    } else {
        t.eof = true;
    }
    t.Scrolled();
}

void Table::Prior() {
    PostFirst(*this);
    Impl& t = *impl_;
    t.EnsureView();
    if (t.pos > 0 && !t.view.empty()) {
        --t.pos;
        t.eof = t.bof = false;
    } else {
        t.bof = true;
    }
    t.Scrolled();
}

bool Table::Eof() const {
    impl_->EnsureView();
    return impl_->view.empty() || impl_->eof;
}

bool Table::Bof() const {
    impl_->EnsureView();
    return impl_->view.empty() || impl_->bof;
}

int Table::RecordCount() const {
    impl_->EnsureView();
    return static_cast<int>(impl_->view.size());
}

int Table::RecNo() const {
    impl_->EnsureView();
    return impl_->view.empty() ? 0 : impl_->pos + 1;
}

int64_t Table::RowId() const {
    if (impl_->state == State::Insert) return 0;
    if (impl_->state == State::Edit) return impl_->edit_rowid;
    return impl_->CurrentRowId();
}

void Table::SetRecNo(int rec_no) {
    PostFirst(*this);
    Impl& t = *impl_;
    t.EnsureView();
    if (t.view.empty()) return;
    t.pos = std::clamp(rec_no, 1, static_cast<int>(t.view.size())) - 1;
    t.eof = t.bof = false;
    t.Scrolled();
}

bool Table::Locate(std::string_view fields, const std::vector<std::string>& values, bool partial) {
    Impl& t = *impl_;
    std::vector<std::string> names;
    size_t start = 0;
    for (;;) {
        size_t semi = fields.find(';', start);
        names.emplace_back(
            fields.substr(start, semi == std::string_view::npos ? fields.npos : semi - start));
        if (semi == std::string_view::npos) break;
        start = semi + 1;
    }
    if (names.size() != values.size())
        t.Error("検索する項目の数（" + std::to_string(names.size()) + "）と値の数（" +
                std::to_string(values.size()) + "）が合いません。");
    FilterNode tree;
    tree.kind = FilterNode::Kind::And;
    for (size_t i = 0; i < names.size(); ++i) {
        int col = t.FieldIndex(names[i]);
        FilterNode n;
        n.kind = FilterNode::Kind::Compare;
        n.field = names[i];
        n.op = FilterOp::Eq;
        n.text = values[i];
        if (t.TypeOf(col) == FieldType::Text) {
            n.prefix = partial;
        } else if (!values[i].empty() && !ParseDecimal(values[i]) &&
                   !(t.TypeOf(col) == FieldType::Logical &&
                     (values[i] == "True" || values[i] == "False"))) {
            t.Error("数値の項目「" + U(names[i]) + "」を数値でない「" + U(values[i]) +
                    "」で検索できません。");
        }
        tree.children.push_back(std::move(n));
    }
    // Within a filtered view the filter's index finds the candidates; an index
    // on a located field (say 氏名 over the whole ledger) would grow with it.
    CompiledFilter cond = t.Compile(tree, fields, t.filtered);

    PostFirst(*this);
    t.EnsureView();
    if (t.view.empty()) return false;
    int64_t found = 0;
    {
        std::string where =
            t.filtered ? "(" + t.compiled.where + ") AND " + cond.where : cond.where;
        Impl::Stmt s(t, "SELECT id FROM " + t.qualified + " WHERE " + where + " ORDER BY " +
                            t.OrderBy() + " LIMIT 1");
        int at = 1;
        if (t.filtered) {
            s.Bind(t.compiled.params, at);
            at += static_cast<int>(t.compiled.params.size());
        }
        s.Bind(cond.params, at);
        if (s.Step()) found = sqlite3_column_int64(s.get(), 0);
    }
    if (found == 0) return false;
    int p = t.PositionOf(found);
    if (p < 0) return false;
    t.pos = p;
    t.current.reset();
    t.eof = t.bof = false;
    t.Scrolled();
    return true;
}

State Table::GetState() const {
    return impl_->state;
}
bool Table::Modified() const {
    return impl_->modified;
}

void Table::Edit() {
    Impl& t = *impl_;
    if (t.state != State::Browse) return;
    t.EnsureView();
    if (t.view.empty()) {
        Insert();
        return;
    }
    t.Fire(&TableEvents::BeforeEdit);
    if (t.state != State::Browse) return;
    t.EnsureView();
    if (t.view.empty()) {
        Insert();
        return;
    }
    int64_t id = t.view[t.pos];
    t.current.reset();
    t.pending = t.ReadRow(id);
    t.edit_rowid = id;
    t.edit_depth = t.db.depth;
    t.modified = false;
    t.state = State::Edit;
    t.Fire(&TableEvents::Changed);
}

void Table::BeginInsert(bool append) {
    Table& table = *this;
    Impl& t = *impl_;
    PostFirst(table);
    t.Fire(&TableEvents::BeforeInsert);
    PostFirst(table);
    t.EnsureView();
    t.return_rowid = t.view.empty() ? 0 : t.view[t.pos];
    t.return_pos = t.pos;
    t.appending = append;
    t.pending = TableAccess::Make(t.schema);
    t.edit_rowid = 0;
    t.edit_depth = t.db.depth;
    t.modified = false;
    t.state = State::Insert;
    t.current.reset();
    t.Fire(&TableEvents::Changed);
    t.Fire(&TableEvents::AfterInsert);
}

void Table::Insert() {
    BeginInsert(false);
}
void Table::Append() {
    BeginInsert(true);
}

void Table::AppendRecord(const std::vector<std::string>& values) {
    Impl& t = *impl_;
    if (values.size() > static_cast<size_t>(t.FieldCount()))
        t.Error("値の数（" + std::to_string(values.size()) + "）が項目の数を超えています。");
    // Check every value before anything begins.
    {
        Record probe = TableAccess::Make(t.schema);
        std::swap(probe, t.pending);
        try {
            for (size_t i = 0; i < values.size(); ++i)
                t.SetValue(static_cast<int>(i), values[i]);
        } catch (...) {
            std::swap(probe, t.pending);
            throw;
        }
        std::swap(probe, t.pending);
    }
    Append();
    if (t.state != State::Insert) return;  // a handler refused the new record
    try {
        for (size_t i = 0; i < values.size(); ++i)
            t.SetValue(static_cast<int>(i), values[i]);
        t.modified = true;
        Post();
    } catch (...) {
        if (t.state == State::Insert) {
            try {
                Cancel();
            } catch (...) {
            }
        }
        throw;
    }
}

void Table::Post() {
    Impl& t = *impl_;
    if (t.state == State::Browse) return;
    t.Fire(&TableEvents::BeforePost);
    if (t.state == State::Browse) return;  // a handler cancelled
    t.EnsureView();
    bool was_insert = t.state == State::Insert;
    int64_t old_id = t.edit_rowid;
    t.Write();
    int64_t id = t.edit_rowid;
    // The record written; bring the view up to date in place.
    int old_pos = -1;
    if (!was_insert) {
        if (t.pos < static_cast<int>(t.view.size()) && t.view[t.pos] == old_id)
            old_pos = t.pos;
        else {
            auto it = std::find(t.view.begin(), t.view.end(), old_id);
            if (it != t.view.end()) old_pos = static_cast<int>(it - t.view.begin());
        }
        if (old_pos >= 0) t.view.erase(t.view.begin() + old_pos);
    }
    t.DropPending();
    t.Forget();
    try {
        if (t.Passes(id)) {
            int at = t.InsertionPoint(id);
            t.view.insert(t.view.begin() + at, id);
            t.pos = at;
        } else {
            int p = was_insert ? (t.appending ? static_cast<int>(t.view.size()) : t.return_pos)
                               : (old_pos >= 0 ? old_pos : t.pos);
            t.pos = std::clamp(p, 0, std::max(0, static_cast<int>(t.view.size()) - 1));
        }
    } catch (const StoreError&) {
        // The record is written; the view is read again when next needed.
        t.view_valid = false;
        t.target_rowid = id;
        t.target_pos = old_pos >= 0 ? old_pos : t.pos;
    }
    t.eof = t.bof = false;
    t.Fire(&TableEvents::AfterPost);
    t.Scrolled();
}

void Table::Cancel() {
    Impl& t = *impl_;
    if (t.state == State::Browse) return;
    t.Fire(&TableEvents::BeforeCancel);
    if (t.state == State::Browse) return;
    bool was_insert = t.state == State::Insert;
    t.DropPending();
    t.current.reset();
    if (!was_insert) {
        t.Fire(&TableEvents::Changed);
        return;
    }
    t.EnsureView();
    int p = t.return_rowid ? t.PositionOf(t.return_rowid) : -1;
    if (p < 0) p = std::clamp(t.return_pos, 0, std::max(0, static_cast<int>(t.view.size()) - 1));
    t.pos = p;
    t.Scrolled();
}

void Table::Delete() {
    Impl& t = *impl_;
    if (t.state == State::Insert) {
        Cancel();
        return;
    }
    t.EnsureView();
    if (t.view.empty()) t.Error("削除するレコードがありません。");
    t.Fire(&TableEvents::BeforeDelete);
    if (t.state == State::Insert) return;
    t.EnsureView();
    if (t.view.empty()) return;
    int64_t id = t.view[t.pos];
    t.CheckWritable();
    {
        Impl::Stmt s(t, "DELETE FROM " + t.qualified + " WHERE id = ?");
        s.BindInt(1, id);
        s.Step();
    }
    t.DropPending();
    t.Forget();
    t.view.erase(t.view.begin() + t.pos);
    t.pos = std::clamp(t.pos, 0, std::max(0, static_cast<int>(t.view.size()) - 1));
    t.eof = t.bof = false;
    t.Scrolled();
}

std::string Table::Text(std::string_view field) const {
    return Text(impl_->FieldIndex(field));
}
int32_t Table::Int(std::string_view field) const {
    return Int(impl_->FieldIndex(field));
}
std::string Table::Text(int field_index) const {
    return impl_->Shown().Text(impl_->CheckIndex(field_index));
}
int32_t Table::Int(int field_index) const {
    return impl_->Shown().Int(impl_->CheckIndex(field_index));
}

void Table::SetText(std::string_view field, std::string_view value) {
    SetText(impl_->FieldIndex(field), value);
}
void Table::SetInt(std::string_view field, int64_t value) {
    SetInt(impl_->FieldIndex(field), value);
}

void Table::SetText(int field_index, std::string_view value) {
    Impl& t = *impl_;
    t.CheckEditing(t.CheckIndex(field_index));
    t.SetValue(field_index, value);
    t.modified = true;
    t.Fire(&TableEvents::Changed);
}

void Table::SetInt(int field_index, int64_t value) {
    Impl& t = *impl_;
    t.CheckEditing(t.CheckIndex(field_index));
    t.SetNumber(field_index, value);
    t.modified = true;
    t.Fire(&TableEvents::Changed);
}

void Table::Clear(int field_index) {
    SetText(field_index, "");
}

Record Table::ReadAt(int rec_no) const {
    Impl& t = *impl_;
    t.EnsureView();
    if (rec_no < 1 || rec_no > static_cast<int>(t.view.size()))
        t.Error("レコード番号 " + std::to_string(rec_no) + " は範囲外です（" +
                std::to_string(t.view.size()) + "件）。");
    int64_t id = t.view[rec_no - 1];
    if (t.current && t.current->RowId() == id) return *t.current;
    return t.Fetch(id, rec_no - 1);
}

// ---------------------------------------------------------------------------
// Database

namespace {
const char* kSchemaMark = ".ravelto.db";
}

Database::Database(fs::path dir) : impl_(std::make_unique<Impl>()) {
    impl_->dir = std::move(dir);
    std::error_code ec;
    fs::create_directories(impl_->dir, ec);
    if (!fs::is_directory(impl_->dir))
        throw StoreError("データベースのフォルダ「" + impl_->dir.string() + "」を作れません。");
    // The main database is a small file of its own in the folder: SQLite keeps
    // a commit that spans several attached files atomic (its super-journal)
    // only when the main database has a file name. It never holds data.
    std::string main_path = (impl_->dir / kSchemaMark).string();
    int rc = sqlite3_open_v2(main_path.c_str(), &impl_->db,
                             SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
    if (rc != SQLITE_OK) {
        sqlite3_close(impl_->db);
        impl_->db = nullptr;
        rc = sqlite3_open_v2("", &impl_->db, SQLITE_OPEN_READWRITE | SQLITE_OPEN_CREATE, nullptr);
        if (rc != SQLITE_OK) {
            sqlite3_close(impl_->db);
            throw StoreError("データベースを開けません（" + std::string(sqlite3_errstr(rc)) +
                             "）。");
        }
    }
    sqlite3_extended_result_codes(impl_->db, 0);
    sqlite3_busy_timeout(impl_->db, impl_->busy_ms);
}

Database::~Database() {
    for (auto& t : impl_->tables)
        t->impl_->FinalizeAll();
    if (impl_->depth > 0) sqlite3_exec(impl_->db, "ROLLBACK", nullptr, nullptr, nullptr);
    impl_->tables.clear();
    sqlite3_close_v2(impl_->db);
}

fs::path Database::DirectoryFor(const fs::path& start_dir) {
    const char* env = std::getenv("CARDATA");
    if (env && *env) return fs::path(env);
    return start_dir / "CARDATA";
}

const fs::path& Database::Directory() const {
    return impl_->dir;
}
sqlite3* Database::Handle() {
    return impl_->db;
}
bool Database::InTransaction() const {
    return impl_->depth > 0;
}

void Database::SetBusyTimeout(int milliseconds) {
    impl_->busy_ms = milliseconds;
    sqlite3_busy_timeout(impl_->db, milliseconds);
}

Table* Database::Find(std::string_view name) {
    for (auto& t : impl_->tables)
        if (t->Name() == name) return t.get();
    return nullptr;
}

namespace {

std::string TypeName(FieldType t) {
    switch (t) {
        case FieldType::Text:
            return "text";
        case FieldType::Integer:
            return "integer";
        case FieldType::Logical:
            return "logical";
    }
    return "text";
}

std::shared_ptr<TableSchema> MakeSchema(const TableDef& def) {
    auto s = std::make_shared<TableSchema>();
    s->def = def;
    std::string name_utf8 = U(def.name);
    for (size_t i = 0; i < def.fields.size(); ++i) {
        if (!s->index.emplace(def.fields[i].name, static_cast<int>(i)).second)
            throw StoreError("表「" + name_utf8 + "」の項目「" + U(def.fields[i].name) +
                             "」が重複しています。");
    }
    auto check = [&](const std::string& f) {
        if (!s->index.count(f))
            throw StoreError("表「" + name_utf8 + "」に項目「" + U(f) + "」はありません。");
    };
    OrderDef primary;
    for (const auto& o : def.orders)
        if (o.name.empty()) primary = o;
    s->orders.push_back(primary);
    for (const auto& o : def.orders) {
        for (const auto& k : o.keys)
            check(k.field);
        if (!o.name.empty()) s->orders.push_back(o);
    }
    for (const auto& ix : def.indexes)
        for (const auto& f : ix)
            check(f);
    return s;
}

}  // namespace

Table& Database::Open(const TableDef& def) {
    if (Table* t = Find(def.name)) return *t;
    Impl& d = *impl_;
    std::string name_utf8 = U(def.name);
    if (d.depth > 0) throw StoreError("「" + name_utf8 + "」: 処理の途中では表を開けません。");
    if (d.tables.size() >= 10)
        throw StoreError("「" + name_utf8 + "」: 一度に開ける表の数（10）を超えています。");
    auto schema = MakeSchema(def);
    std::string alias;
    for (int n = 1;; ++n) {
        alias = "t" + std::to_string(n);
        bool used = false;
        for (auto& t : d.tables)
            if (t->impl_->alias == alias) used = true;
        if (!used) break;
    }
    std::string path = (d.dir / def.name).string();
    {
        sqlite3_stmt* s = nullptr;
        int rc =
            sqlite3_prepare_v2(d.db, ("ATTACH DATABASE ? AS " + alias).c_str(), -1, &s, nullptr);
        if (rc == SQLITE_OK) {
            sqlite3_bind_text(s, 1, path.c_str(), -1, SQLITE_TRANSIENT);
            rc = sqlite3_step(s);
            if (rc == SQLITE_DONE) rc = SQLITE_OK;
        }
        sqlite3_finalize(s);
        if (rc != SQLITE_OK) throw StoreError(DbMessage(d.db, rc, name_utf8));
    }
    auto detach = [&] {
        sqlite3_exec(d.db, ("DETACH DATABASE " + alias).c_str(), nullptr, nullptr, nullptr);
    };
    try {
        // Reading the schema finds a file that is not a table of ours.
        d.Exec("SELECT count(*) FROM " + alias + ".sqlite_master", name_utf8);
        {
            // journal_mode answers a row; WAL would not keep attached files together.
            sqlite3_stmt* s = nullptr;
            int rc = sqlite3_prepare_v2(d.db, ("PRAGMA " + alias + ".journal_mode").c_str(), -1, &s,
                                        nullptr);
            std::string mode;
            if (rc == SQLITE_OK && sqlite3_step(s) == SQLITE_ROW)
                mode = reinterpret_cast<const char*>(sqlite3_column_text(s, 0));
            sqlite3_finalize(s);
            if (mode == "wal") d.Exec("PRAGMA " + alias + ".journal_mode = DELETE", name_utf8);
        }
        // Existing fields must match by position; missing ones are added.
        std::vector<std::pair<std::string, std::string>> existing;
        bool has_fields = false;
        {
            sqlite3_stmt* s = nullptr;
            int rc = sqlite3_prepare_v2(
                d.db,
                ("SELECT 1 FROM " + alias + ".sqlite_master WHERE type='table' AND name='fields'")
                    .c_str(),
                -1, &s, nullptr);
            if (rc != SQLITE_OK) throw StoreError(DbMessage(d.db, rc, name_utf8));
            has_fields = sqlite3_step(s) == SQLITE_ROW;
            sqlite3_finalize(s);
        }
        if (has_fields) {
            sqlite3_stmt* s = nullptr;
            int rc = sqlite3_prepare_v2(
                d.db, ("SELECT name, type FROM " + alias + ".fields ORDER BY pos").c_str(), -1, &s,
                nullptr);
            if (rc != SQLITE_OK) throw StoreError(DbMessage(d.db, rc, name_utf8));
            while ((rc = sqlite3_step(s)) == SQLITE_ROW) {
                const void* p = sqlite3_column_blob(s, 0);
                int n = sqlite3_column_bytes(s, 0);
                existing.emplace_back(
                    std::string(static_cast<const char*>(p), static_cast<size_t>(n)),
                    reinterpret_cast<const char*>(sqlite3_column_text(s, 1)));
            }
            sqlite3_finalize(s);
            if (rc != SQLITE_DONE) throw StoreError(DbMessage(d.db, rc, name_utf8));
        }
        for (size_t i = 0; i < existing.size() && i < def.fields.size(); ++i) {
            if (existing[i].first != def.fields[i].name ||
                existing[i].second != TypeName(def.fields[i].type))
                throw StoreError("「" + name_utf8 + "」の項目 " + std::to_string(i + 1) + "（" +
                                 U(existing[i].first) + "）が、この版の表の形（" +
                                 U(def.fields[i].name) + "）と合いません。");
        }
        bool need_write = !has_fields || existing.size() < def.fields.size();
        std::vector<std::string> wanted_indexes;
        {
            auto index_sql = [&](const std::vector<std::pair<std::string, bool>>& cols) {
                std::string name = "ix";
                std::string list;
                for (size_t i = 0; i < cols.size(); ++i) {
                    int c = schema->index.at(cols[i].first);
                    bool text = def.fields[c].type == FieldType::Text;
                    name += "_" + Col(c) + (text ? "" : "z") + (cols[i].second ? "d" : "");
                    list += (i ? ", " : "") + (text ? Col(c) : "IFNULL(" + Col(c) + ",0)") +
                            (cols[i].second ? " DESC" : "");
                }
                wanted_indexes.push_back(name + "\n" + "CREATE INDEX IF NOT EXISTS " + alias + "." +
                                         name + " ON records (" + list + ")");
            };
            for (const auto& o : schema->orders) {
                if (o.keys.empty()) continue;
                // Directions relative to the first key: the index is read
                // backwards for a descending first key (row ids then fall in
                // the direction of that key, as the order wants).
                std::vector<std::pair<std::string, bool>> cols;
                for (const auto& k : o.keys)
                    cols.emplace_back(k.field, k.descending != o.keys.front().descending);
                index_sql(cols);
            }
            for (const auto& ix : def.indexes) {
                std::vector<std::pair<std::string, bool>> cols;
                for (const auto& f : ix)
                    cols.emplace_back(f, false);
                index_sql(cols);
            }
        }
        {
            std::string have;
            sqlite3_stmt* s = nullptr;
            sqlite3_prepare_v2(
                d.db, ("SELECT name FROM " + alias + ".sqlite_master WHERE type='index'").c_str(),
                -1, &s, nullptr);
            while (s && sqlite3_step(s) == SQLITE_ROW)
                have +=
                    std::string(reinterpret_cast<const char*>(sqlite3_column_text(s, 0))) + "\n";
            sqlite3_finalize(s);
            for (const auto& w : wanted_indexes)
                if (have.find(w.substr(0, w.find('\n')) + "\n") == std::string::npos)
                    need_write = true;
        }
        if (need_write) {
            d.Exec("BEGIN", name_utf8);
            try {
                std::string cols;
                for (size_t i = 0; i < def.fields.size() && !has_fields; ++i)
                    cols += ", " + Col(static_cast<int>(i)) +
                            (def.fields[i].type == FieldType::Text ? " BLOB" : " INTEGER");
                if (!has_fields) {
                    d.Exec(
                        "CREATE TABLE " + alias + ".records (id INTEGER PRIMARY KEY" + cols + ")",
                        name_utf8);
                    d.Exec("CREATE TABLE " + alias +
                               ".fields (pos INTEGER PRIMARY KEY, name BLOB NOT NULL, type TEXT "
                               "NOT NULL)",
                           name_utf8);
                } else {
                    for (size_t i = existing.size(); i < def.fields.size(); ++i)
                        d.Exec("ALTER TABLE " + alias + ".records ADD COLUMN " +
                                   Col(static_cast<int>(i)) +
                                   (def.fields[i].type == FieldType::Text ? " BLOB" : " INTEGER"),
                               name_utf8);
                }
                for (size_t i = existing.size(); i < def.fields.size(); ++i) {
                    sqlite3_stmt* s = nullptr;
                    int rc = sqlite3_prepare_v2(
                        d.db, ("INSERT INTO " + alias + ".fields VALUES (?, ?, ?)").c_str(), -1, &s,
                        nullptr);
                    if (rc == SQLITE_OK) {
                        sqlite3_bind_int(s, 1, static_cast<int>(i + 1));
                        sqlite3_bind_blob(s, 2, def.fields[i].name.data(),
                                          static_cast<int>(def.fields[i].name.size()),
                                          SQLITE_TRANSIENT);
                        std::string tn = TypeName(def.fields[i].type);
                        sqlite3_bind_text(s, 3, tn.c_str(), -1, SQLITE_TRANSIENT);
                        rc = sqlite3_step(s);
                        if (rc == SQLITE_DONE) rc = SQLITE_OK;
                    }
                    sqlite3_finalize(s);
                    if (rc != SQLITE_OK) throw StoreError(DbMessage(d.db, rc, name_utf8));
                }
                for (const auto& w : wanted_indexes)
                    d.Exec(w.substr(w.find('\n') + 1), name_utf8);
                d.Exec("COMMIT", name_utf8);
            } catch (...) {
                sqlite3_exec(d.db, "ROLLBACK", nullptr, nullptr, nullptr);
                throw;
            }
        }
    } catch (...) {
        detach();
        throw;
    }

    auto impl = std::make_unique<Table::Impl>(d, *this);
    impl->schema = schema;
    impl->alias = alias;
    impl->qualified = alias + ".records";
    impl->name_utf8 = name_utf8;
    impl->order = 0;
    {
        Table::Impl& i = *impl;
        std::string cols = i.SelectColumns();
        i.sql_read_row = "SELECT " + cols + " FROM " + i.qualified + " WHERE id = ?";
        i.sql_insert = "INSERT INTO " + i.qualified + " (" + cols + ") VALUES (?";
        for (int f = 1; f < i.FieldCount(); ++f)
            i.sql_insert += ", ?";
        i.sql_insert += ")";
        i.sql_update = "UPDATE " + i.qualified + " SET ";
        for (int f = 0; f < i.FieldCount(); ++f)
            i.sql_update += (f ? ", " : "") + Col(f) + " = ?";
        i.sql_update += " WHERE id = ?";
    }
    d.tables.push_back(std::unique_ptr<Table>(new Table(std::move(impl))));
    return *d.tables.back();
}

void Database::Close(Table& table) {
    Impl& d = *impl_;
    auto it =
        std::find_if(d.tables.begin(), d.tables.end(), [&](auto& t) { return t.get() == &table; });
    if (it == d.tables.end()) return;
    Table::Impl& t = *table.impl_;
    if (t.busy > 0) t.Error("イベントの処理中は表を閉じられません。");
    if (d.depth > 0) t.Error("処理の途中では表を閉じられません。");
    t.FinalizeAll();
    std::string alias = t.alias;
    d.tables.erase(it);
    sqlite3_exec(d.db, ("DETACH DATABASE " + alias).c_str(), nullptr, nullptr, nullptr);
}

// ---------------------------------------------------------------------------
// Transaction

Transaction::Transaction(Database& db) : db_(db) {
    auto& d = *db_.impl_;
    depth_ = d.depth + 1;
    if (depth_ == 1) {
        d.broken = false;
        d.Exec("BEGIN", "データベース");
    } else {
        if (d.broken || sqlite3_get_autocommit(d.db))
            throw StoreError("先のエラーで処理が中断されています。");
        d.Exec("SAVEPOINT s" + std::to_string(depth_), "データベース");
    }
    d.depth = depth_;
}

Transaction::~Transaction() {
    if (!done_) Rollback();
}

void Transaction::Commit() {
    auto& d = *db_.impl_;
    if (done_) return;
    if (d.depth != depth_) throw StoreError("入れ子の処理が正しく終わっていません。");
    if (d.broken || sqlite3_get_autocommit(d.db))
        throw StoreError("先のエラーで処理が中断されたため、書き込みは取り消されました。");
    if (depth_ == 1) {
        int rc = sqlite3_exec(d.db, "COMMIT", nullptr, nullptr, nullptr);
        if (rc != SQLITE_OK) throw StoreError(DbMessage(d.db, rc, "データベース"));
    } else {
        d.Exec("RELEASE s" + std::to_string(depth_), "データベース");
    }
    done_ = true;
    d.depth = depth_ - 1;
    // An edit still pending belongs to the enclosing scope now: a later
    // rollback of a scope it did not begin in must keep it.
    for (auto& t : d.tables) {
        Table::Impl& i = *t->impl_;
        if (i.state != State::Browse && i.edit_depth > d.depth) i.edit_depth = d.depth;
    }
}

void Transaction::Rollback() noexcept {
    auto& d = *db_.impl_;
    done_ = true;
    if (d.depth != depth_) return;  // scopes ended out of order: the outer one rolls back
    if (!sqlite3_get_autocommit(d.db)) {
        if (depth_ == 1) {
            sqlite3_exec(d.db, "ROLLBACK", nullptr, nullptr, nullptr);
        } else {
            std::string sp = "s" + std::to_string(depth_);
            sqlite3_exec(d.db, ("ROLLBACK TO " + sp + "; RELEASE " + sp).c_str(), nullptr, nullptr,
                         nullptr);
        }
    }
    d.depth = depth_ - 1;
    if (d.depth == 0) d.broken = false;
    d.RereadAll(depth_);
}

}  // namespace ravelto::store
