// Transactions across tables, and the storage errors: locked, read-only,
// full, corrupt. A failure leaves every table as it was and the views read
// again.

#include <gtest/gtest.h>
#include <sqlite3.h>
#include <unistd.h>

#include <filesystem>
#include <fstream>

#include "store_fixture.h"
#include "support/workspace.h"

namespace ravelto::testing {
namespace {

using store::State;
using store::StoreError;
using store::Table;
using store::Transaction;
using Names = std::vector<std::string>;

class TransactionTest : public StoreTest {
  protected:
    void SetUp() override {
        Table& l = Ledger();
        for (const char* n : {"a", "b", "c"})
            Add(l, {{"氏名", n}});
        Add(Totals(), {{"売上日", "平成１４年１２月"}, {"売上", "100"}});
    }
};

TEST_F(TransactionTest, FailureLeavesEveryTableAsBefore) {
    Table& l = Ledger();
    Table& t = Totals();
    l.SetRecNo(2);
    try {
        Transaction tx(Db());
        l.Delete();
        l.First();
        l.Edit();
        l.SetText(sj("氏名"), "A");
        l.Post();
        Add(l, {{"氏名", "d"}});
        t.Edit();
        t.SetInt(sj("売上"), 999);
        t.Post();
        EXPECT_EQ(Column(l, "氏名"), (Names{"A", "c", "d"}));
        throw std::runtime_error("command failed");
    } catch (const std::runtime_error&) {
    }
    EXPECT_EQ(Column(l, "氏名"), (Names{"a", "b", "c"}));
    EXPECT_EQ(l.RecordCount(), 3);
    EXPECT_GE(l.RecNo(), 1);
    EXPECT_EQ(t.Int(sj("売上")), 100);
    // And on disk.
    Reopen();
    EXPECT_EQ(Column(Ledger(), "氏名"), (Names{"a", "b", "c"}));
    EXPECT_EQ(Totals().Int(sj("売上")), 100);
}

TEST_F(TransactionTest, CommitKeepsAllAndNestedScopesAreSavepoints) {
    Table& l = Ledger();
    Table& t = Totals();
    {
        Transaction outer(Db());
        Add(l, {{"氏名", "d"}});
        {
            Transaction inner(Db());
            Add(l, {{"氏名", "e"}});
            t.Edit();
            t.SetInt(sj("売上"), 5);
            t.Post();
        }  // rolled back alone
        EXPECT_EQ(Column(l, "氏名"), (Names{"a", "b", "c", "d"}));
        EXPECT_EQ(t.Int(sj("売上")), 100);
        {
            Transaction inner(Db());
            Add(l, {{"氏名", "f"}});
            inner.Commit();
        }
        outer.Commit();
    }
    EXPECT_FALSE(Db().InTransaction());
    Reopen();
    EXPECT_EQ(Column(Ledger(), "氏名"), (Names{"a", "b", "c", "d", "f"}));
}

TEST_F(TransactionTest, RollbackDropsOnlyEditsBegunInside) {
    Table& l = Ledger();
    Table& t = Totals();
    l.First();
    l.Edit();
    l.SetText(sj("氏名"), "typed");  // the user's pending edit
    {
        Transaction tx(Db());
        t.Edit();
        t.SetInt(sj("売上"), 1);
    }
    EXPECT_EQ(t.GetState(), State::Browse);
    EXPECT_EQ(t.Int(sj("売上")), 100);
    EXPECT_EQ(l.GetState(), State::Edit);
    l.Post();
    EXPECT_EQ(l.ReadAt(1).Text(sj("氏名")), "typed");
}

TEST_F(TransactionTest, EditLeftPendingByACommittedCommandOutlivesALaterRollback) {
    Table& l = Ledger();
    Table& t = Totals();
    {
        Transaction tx(Db());
        l.First();
        l.Edit();
        l.SetText(sj("氏名"), "typed");
        tx.Commit();
    }
    {
        Transaction tx(Db());
        t.Edit();
        t.SetInt(sj("売上"), 7);
        t.Post();
    }  // rolled back
    EXPECT_EQ(t.Int(sj("売上")), 100);
    EXPECT_EQ(l.GetState(), State::Edit);
    EXPECT_EQ(Cur(l, "氏名"), "typed");
    // Begun in a savepoint that was kept, it goes with the scope around it.
    l.Cancel();
    {
        Transaction outer(Db());
        {
            Transaction inner(Db());
            l.Edit();
            l.SetText(sj("氏名"), "inner");
            inner.Commit();
        }
    }
    EXPECT_EQ(l.GetState(), State::Browse);
    EXPECT_EQ(Cur(l, "氏名"), "a");
}

TEST_F(TransactionTest, WindowThatOpensATableWhileTheViewsAreReadAgain) {
    Table& l = Ledger();
    Table* opened = nullptr;
    l.Events().Changed = [&] { opened = &Db().Open(JobTable()); };
    {
        Transaction tx(Db());
        Add(Totals(), {{"売上日", "平成１５年０１月"}});
    }  // rolled back: every window is told
    ASSERT_NE(opened, nullptr);
    EXPECT_EQ(opened->RecordCount(), 0);
    EXPECT_EQ(Totals().RecordCount(), 1);
}

TEST_F(TransactionTest, FullDiskFailsThePostAndTheWholeCommand) {
    Table& l = Ledger();
    // Leave the file no room to grow.
    sqlite3_exec(Db().Handle(), "PRAGMA t1.max_page_count = 1", nullptr, nullptr, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(Db().Handle(), "PRAGMA t1.page_count", -1, &s, nullptr);
    sqlite3_step(s);
    int pages = sqlite3_column_int(s, 0);
    sqlite3_finalize(s);
    sqlite3_exec(Db().Handle(), ("PRAGMA t1.max_page_count = " + std::to_string(pages)).c_str(),
                 nullptr, nullptr, nullptr);
    std::string big(3000, 'x');
    try {
        Transaction tx(Db());
        for (int i = 0; i < 50; ++i) {
            l.Append();
            l.SetText(sj("住所"), big);
            l.Post();
        }
        tx.Commit();
        FAIL() << "no error";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("ディスクに空きがない"), std::string::npos)
            << e.what();
    }
    EXPECT_EQ(Column(l, "氏名"), (Names{"a", "b", "c"}));
    EXPECT_EQ(l.GetState(), State::Browse);
}

TEST_F(TransactionTest, WindowThatQueriesMuchWhileAFailedWriteIsReported) {
    // The failing insert's statement is still in use while the window is
    // told to re-render; the queries of the window must not finalize it.
    Table& l = Ledger();
    sqlite3_exec(Db().Handle(), "PRAGMA t1.max_page_count = 1", nullptr, nullptr, nullptr);
    sqlite3_stmt* s = nullptr;
    sqlite3_prepare_v2(Db().Handle(), "PRAGMA t1.page_count", -1, &s, nullptr);
    sqlite3_step(s);
    int pages = sqlite3_column_int(s, 0);
    sqlite3_finalize(s);
    sqlite3_exec(Db().Handle(), ("PRAGMA t1.max_page_count = " + std::to_string(pages)).c_str(),
                 nullptr, nullptr, nullptr);
    bool rendering = false;
    int renders = 0;
    l.Events().Changed = [&] {
        // Only while SQLite has given the transaction up and the failed
        // statement is being reported.
        if (rendering || !Db().InTransaction() || !sqlite3_get_autocommit(Db().Handle())) return;
        rendering = true;
        ++renders;
        l.SetFiltered(true);
        for (const std::string& order : {std::string(), ledger::OrderDescending(),
                                         ledger::OrderFurigana(), ledger::OrderInDateDesc()}) {
            l.SetOrder(order);
            for (const auto& f : l.Def().fields) {
                if (f.type != store::FieldType::Text) continue;
                l.SetFilter("(" + f.name + " = 'a')");
                l.RecordCount();
            }
        }
        l.SetFiltered(false);
        l.SetOrder("");
        rendering = false;
    };
    std::string big(3000, 'x');
    try {
        Transaction tx(Db());
        for (int i = 0; i < 50; ++i) {
            l.Append();
            l.SetText(sj("住所"), big);
            l.Post();
        }
        tx.Commit();
    } catch (const StoreError&) {
    }
    l.Events().Changed = nullptr;
    EXPECT_GT(renders, 0);
    EXPECT_EQ(Column(l, "氏名"), (Names{"a", "b", "c"}));
}

TEST_F(TransactionTest, LockedFileIsReportedAndTheEditKept) {
    Table& l = Ledger();
    Db().SetBusyTimeout(10);
    sqlite3* other = nullptr;
    ASSERT_EQ(sqlite3_open((Dir() / "receive.DB").c_str(), &other), SQLITE_OK);
    ASSERT_EQ(sqlite3_exec(other, "BEGIN IMMEDIATE", nullptr, nullptr, nullptr), SQLITE_OK);
    l.First();
    l.Edit();
    l.SetText(sj("氏名"), "x");
    try {
        l.Post();
        ADD_FAILURE() << "no error";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("使用中"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("receive.DB"), std::string::npos) << e.what();
    }
    EXPECT_EQ(l.GetState(), State::Edit);
    sqlite3_exec(other, "ROLLBACK", nullptr, nullptr, nullptr);
    sqlite3_close(other);
    l.Post();
    EXPECT_EQ(l.ReadAt(1).Text(sj("氏名")), "x");
}

TEST_F(StoreTest, CorruptFileIsRefusedWithItsName) {
    std::filesystem::create_directories(Dir());
    {
        std::ofstream f(Dir() / "receive.DB", std::ios::binary);
        f << std::string(4096, 'Z');
    }
    try {
        Ledger();
        FAIL() << "opened";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("receive.DB"), std::string::npos) << e.what();
        EXPECT_NE(std::string(e.what()).find("壊れている"), std::string::npos) << e.what();
    }
    // The other tables still open.
    EXPECT_EQ(Totals().RecordCount(), 0);
    EXPECT_EQ(Db().Find("receive.DB"), nullptr);
}

TEST_F(StoreTest, ReadOnlyFileReadsButRefusesWrites) {
    Add(Ledger(), {{"氏名", "a"}});
    Reopen();
    auto path = Dir() / "receive.DB";
    std::filesystem::permissions(
        path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    if (::access(path.c_str(), W_OK) == 0)
        GTEST_SKIP() << "running with rights that ignore file modes";
    Table& l = Ledger();
    EXPECT_EQ(l.RecordCount(), 1);
    l.Edit();
    l.SetText(sj("氏名"), "b");
    try {
        l.Post();
        ADD_FAILURE() << "no error";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("読み取り専用"), std::string::npos) << e.what();
    }
    l.Cancel();
    EXPECT_EQ(Cur(l, "氏名"), "a");
}

TEST_F(StoreTest, FilesAreNamedLikeTheirTablesInTheDatabaseDirectory) {
    EXPECT_EQ(Dir(), Workspace::DataDir());  // $CARDATA
    Ledger();
    Totals();
    EXPECT_TRUE(std::filesystem::exists(Dir() / "receive.DB"));
    EXPECT_TRUE(std::filesystem::exists(Dir() / "RcivTotal.db"));
    // Without CARDATA: CARDATA/ under the start directory.
    const char* saved = std::getenv("CARDATA");
    std::string keep = saved ? saved : "";
    ::unsetenv("CARDATA");
    EXPECT_EQ(store::Database::DirectoryFor("/some/start"),
              std::filesystem::path("/some/start/CARDATA"));
    ::setenv("CARDATA", keep.c_str(), 1);
}

TEST_F(StoreTest, FieldsOfAnExistingFileMustMatch) {
    Ledger();
    Reopen();
    store::TableDef other = ledger::ReceiveTable();
    other.fields[4].name = sj("名前");
    EXPECT_THROW(Db().Open(other), StoreError);
    // A table of this version opens a file written with fewer fields.
    store::TableDef shorter = JobTable();
    shorter.fields.pop_back();
    Add(Db().Open(shorter), {{"氏名", "x"}});
    Reopen();
    Table& full = Db().Open(JobTable());
    EXPECT_EQ(Cur(full, "氏名"), "x");
    EXPECT_EQ(full.Text(sj("済")), "");
}

TEST_F(StoreTest, SiblingTablesOnADatabaseOfTheirOwn) {
    store::Database sibling(Dir());
    Table& jobs = sibling.Open(JobTable());
    Add(jobs, {{"氏名", "x"}});
    Table& l = Ledger();
    {
        Transaction tx(Db());
        Add(l, {{"氏名", "y"}});
        // The sibling connection is not held up by our open transaction
        // until it writes the same file.
        Add(jobs, {{"氏名", "z"}});
        tx.Commit();
    }
    EXPECT_EQ(jobs.RecordCount(), 2);
    EXPECT_EQ(l.RecordCount(), 1);
    // Both connections may run a command of their own at the same time.
    {
        Transaction ours(Db());
        Transaction theirs(sibling);
        Add(l, {{"氏名", "v"}});
        Add(jobs, {{"氏名", "w"}});
        theirs.Commit();
        ours.Commit();
    }
    EXPECT_EQ(jobs.RecordCount(), 3);
    EXPECT_EQ(l.RecordCount(), 2);
}

}  // namespace
}  // namespace ravelto::testing

namespace ravelto::testing {
namespace {

TEST_F(StoreTest, OpenCloseAndTheirLimits) {
    Table& l = Ledger();
    EXPECT_EQ(&Ledger(), &l);  // the same table
    {
        Transaction tx(Db());
        EXPECT_THROW(Totals(), StoreError);
        EXPECT_THROW(Db().Close(l), StoreError);
    }
    l.Events().AfterScroll = [&] { Db().Close(l); };
    EXPECT_THROW(l.First(), StoreError);  // not from its own handler
    l.Events().AfterScroll = nullptr;
    Db().Close(l);
    EXPECT_EQ(Db().Find("receive.DB"), nullptr);
    // Ten files per connection.
    std::vector<store::TableDef> defs;
    for (int i = 0; i < 11; ++i) {
        store::TableDef d = JobTable();
        d.name = "T" + std::to_string(i) + ".DB";
        defs.push_back(d);
    }
    for (int i = 0; i < 10; ++i)
        Db().Open(defs[i]);
    EXPECT_THROW(Db().Open(defs[10]), StoreError);
    Db().Close(*Db().Find("T0.DB"));
    EXPECT_NO_THROW(Db().Open(defs[10]));
}

}  // namespace
}  // namespace ravelto::testing
