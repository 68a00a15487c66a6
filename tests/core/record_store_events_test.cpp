// Record events: their order around every operation, and handlers that call
// back into the same table or write another one.

#include <gtest/gtest.h>

#include "core/ledger/eradate.h"
#include "store_fixture.h"

namespace ravelto::testing {
namespace {

using store::State;
using store::Table;
using Log = std::vector<std::string>;

class EventTest : public StoreTest {
  protected:
    void Record(Table& t) {
        auto& e = t.Events();
        e.BeforeInsert = [this] { log.push_back("BeforeInsert"); };
        e.AfterInsert = [this] { log.push_back("AfterInsert"); };
        e.BeforeEdit = [this] { log.push_back("BeforeEdit"); };
        e.BeforePost = [this] { log.push_back("BeforePost"); };
        e.AfterPost = [this] { log.push_back("AfterPost"); };
        e.BeforeCancel = [this] { log.push_back("BeforeCancel"); };
        e.BeforeDelete = [this] { log.push_back("BeforeDelete"); };
        e.AfterScroll = [this] { log.push_back("AfterScroll"); };
    }
    Log Take() {
        Log out;
        out.swap(log);
        return out;
    }
    Log log;
};

TEST_F(EventTest, OrderAroundEveryOperation) {
    Table& t = Ledger();
    for (const char* n : {"a", "b", "c"})
        Add(t, {{"氏名", n}});
    Record(t);
    t.Insert();
    EXPECT_EQ(Take(), (Log{"BeforeInsert", "AfterInsert"}));
    t.SetText(sj("氏名"), "x");
    t.Post();
    EXPECT_EQ(Take(), (Log{"BeforePost", "AfterPost", "AfterScroll"}));
    t.Edit();
    EXPECT_EQ(Take(), (Log{"BeforeEdit"}));
    t.Edit();  // already editing: nothing
    EXPECT_EQ(Take(), Log{});
    t.Cancel();
    EXPECT_EQ(Take(), (Log{"BeforeCancel"}));
    t.Append();
    t.SetText(sj("氏名"), "y");
    t.Cancel();
    EXPECT_EQ(Take(), (Log{"BeforeInsert", "AfterInsert", "BeforeCancel", "AfterScroll"}));
    t.Edit();
    t.SetText(sj("氏名"), "z");
    t.Next();  // posts first
    EXPECT_EQ(Take(), (Log{"BeforeEdit", "BeforePost", "AfterPost", "AfterScroll", "AfterScroll"}));
    t.Delete();
    EXPECT_EQ(Take(), (Log{"BeforeDelete", "AfterScroll"}));
    for (auto move : {&Table::First, &Table::Last, &Table::Next, &Table::Prior}) {
        (t.*move)();
        EXPECT_EQ(Take(), (Log{"AfterScroll"}));
    }
    t.SetFilter(sj("(氏名 = 'a')"));  // filtering off: no move
    EXPECT_EQ(Take(), Log{});
    t.SetFiltered(true);
    EXPECT_EQ(Take(), (Log{"AfterScroll"}));
    t.Post();
    t.Cancel();  // browse: nothing
    EXPECT_EQ(Take(), Log{});
}

TEST_F(EventTest, EditOnEmptyViewFiresTheInsertEvents) {
    Table& t = Totals();
    Record(t);
    t.Edit();
    EXPECT_EQ(Take(), (Log{"BeforeInsert", "AfterInsert"}));
    EXPECT_EQ(t.GetState(), State::Insert);
}

TEST_F(EventTest, CancelFromAfterInsertReturnsToTheRecord) {
    Table& t = Ledger();
    for (const char* n : {"a", "b", "c"})
        Add(t, {{"氏名", n}});
    t.SetRecNo(2);
    Record(t);
    t.Events().AfterInsert = [&] {
        log.push_back("AfterInsert");
        t.Cancel();
    };
    t.Insert();
    EXPECT_EQ(Take(), (Log{"BeforeInsert", "AfterInsert", "BeforeCancel", "AfterScroll"}));
    EXPECT_EQ(t.GetState(), State::Browse);
    EXPECT_EQ(Cur(t, "氏名"), "b");
    EXPECT_EQ(t.RecordCount(), 3);
}

TEST_F(EventTest, GuardThatRefusesAnInsertAndMovesToTheLast) {
    // As the ledger does in the personal view: one handler for both insert
    // events cancels and goes to the last record.
    Table& t = Ledger();
    for (const char* n : {"a", "b", "c"})
        Add(t, {{"氏名", n}});
    t.First();
    auto guard = [&] {
        t.Cancel();
        t.Last();
    };
    t.Events().BeforeInsert = guard;
    t.Events().AfterInsert = guard;
    t.Insert();
    EXPECT_EQ(t.GetState(), State::Browse);
    EXPECT_EQ(t.RecNo(), 3);
    EXPECT_EQ(t.RecordCount(), 3);
    // AppendRecord gives up quietly when the new record was refused.
    t.AppendRecord({sj("平成１４年１２月")});
    EXPECT_EQ(t.RecordCount(), 3);
}

TEST_F(EventTest, BeforePostSetsTheKeyAndAfterPostWritesTheTotals) {
    Table& ledger = Ledger();
    Table& totals = Totals();
    FixedClock clock({2002, 12, 20});
    totals.SetFilter(Utf8ToCp932("(売上日 = '平成１４年１２月*')"));
    totals.SetFiltered(true);
    ledger.SetOrder(ledger::OrderDescending());
    ledger.Events().BeforePost = [&] {
        ledger.SetInt(ledger::rcv::kSalesDateKey,
                      ledger::SalesDateKey(ledger.Text(ledger::rcv::kSalesDate), 0, clock));
    };
    ledger.Events().AfterPost = [&] {
        totals.Edit();  // begins the month's record on the empty view
        totals.SetText(ledger::tot::kSalesDate, sj("平成１４年１２月"));
        totals.SetInt(ledger::tot::kSales,
                      totals.Int(ledger::tot::kSales) + ledger.Int(ledger::rcv::kSales));
        totals.Post();
    };
    int deletes = 0;
    ledger.Events().BeforeDelete = [&] {
        ++deletes;
        totals.Edit();
        totals.SetInt(ledger::tot::kSales,
                      totals.Int(ledger::tot::kSales) - ledger.Int(ledger::rcv::kSales));
        totals.Post();
    };
    Add(ledger, {{"売上日", "平成１４年１２月０５日"}, {"売上", "1000"}});
    Add(ledger, {{"売上日", "平成１４年１２月"}, {"売上", "300"}});
    Add(ledger, {{"売上日", "平成１４年１２月１０日"}, {"売上", "20"}});
    EXPECT_EQ(Column(ledger, "項番"),
              (std::vector<std::string>{"20021210", "20021205", "20021200"}));
    EXPECT_EQ(Cur(ledger, "売上"), "20");
    EXPECT_EQ(totals.RecordCount(), 1);
    EXPECT_EQ(totals.Int(ledger::tot::kSales), 1320);
    ledger.Last();
    ledger.Delete();
    EXPECT_EQ(deletes, 1);
    EXPECT_EQ(totals.Int(ledger::tot::kSales), 1020);
    EXPECT_EQ(ledger.RecordCount(), 2);
    EXPECT_EQ(Cur(ledger, "売上"), "1000");
}

TEST_F(EventTest, HandlerThatRefiltersDuringAfterPost) {
    Table& t = Ledger();
    for (const char* n : {"a", "b", "c"})
        Add(t, {{"氏名", n}});
    t.Events().AfterPost = [&] {
        t.SetFilter(sj("(氏名 = 'b')"));
        t.SetFiltered(true);
    };
    t.Last();
    t.Edit();
    t.SetText(sj("氏名"), "cc");
    t.Post();
    EXPECT_EQ(t.RecordCount(), 1);
    EXPECT_EQ(Cur(t, "氏名"), "b");
}

TEST_F(EventTest, ChangedTellsTheWindowOfEveryChange) {
    Table& t = Ledger();
    int changed = 0;
    t.Events().Changed = [&] { ++changed; };
    t.Append();
    EXPECT_GT(changed, 0);
    changed = 0;
    t.SetText(sj("氏名"), "a");
    EXPECT_EQ(changed, 1);
    changed = 0;
    t.Post();
    EXPECT_GT(changed, 0);
}

}  // namespace
}  // namespace ravelto::testing

namespace ravelto::testing {
namespace {

TEST_F(StoreTest, HandlerWhoseOwnCommandFailsLeavesThePostStanding) {
    Table& l = Ledger();
    Table& t = Totals();
    for (const char* n : {"a", "b", "c"})
        Add(l, {{"氏名", n}});
    l.Events().AfterPost = [&] {
        try {
            store::Transaction tx(Db());
            Add(t, {{"売上日", "平成１４年１２月"}});
            throw store::StoreError("failed");
        } catch (const store::StoreError&) {
        }
    };
    l.SetRecNo(2);
    l.Edit();
    l.SetText(sj("氏名"), "bb");
    l.Post();
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_EQ(Cur(l, "氏名"), "bb");  // the views read again, the cursor on its record
    EXPECT_EQ(l.RecNo(), 2);
    EXPECT_EQ(Column(l, "氏名"), (std::vector<std::string>{"a", "bb", "c"}));
}

}  // namespace
}  // namespace ravelto::testing
