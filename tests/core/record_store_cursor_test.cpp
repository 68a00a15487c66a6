// The cursor: moves, end and start of the view, where it stands after a
// post, a delete, a refilter and a change of order; Locate; field access.

#include <gtest/gtest.h>

#include "store_fixture.h"

namespace ravelto::testing {
namespace {

using store::State;
using store::StoreError;
using store::Table;
using Names = std::vector<std::string>;

class CursorTest : public StoreTest {
  protected:
    // Five records named a…e, 項番 10…50, 残金合計 1 each.
    Table& Five() {
        Table& t = Ledger();
        const char* names[] = {"a", "b", "c", "d", "e"};
        for (int i = 0; i < 5; ++i) {
            t.Append();
            t.SetText(sj("氏名"), names[i]);
            t.SetInt(sj("項番"), (i + 1) * 10);
            t.SetInt(sj("残金合計"), 1);
            t.Post();
        }
        return t;
    }
};

TEST_F(CursorTest, WalkSetsEndAndStartOfView) {
    Table& t = Five();
    t.First();
    EXPECT_FALSE(t.Eof());
    Names seen;
    while (!t.Eof()) {
        seen.push_back(Cur(t, "氏名"));
        t.Next();
    }
    EXPECT_EQ(seen, (Names{"a", "b", "c", "d", "e"}));
    EXPECT_EQ(t.RecNo(), 5);  // Next on the last stays there
    t.Prior();
    EXPECT_FALSE(t.Eof());  // cleared by a successful move
    t.First();
    t.Prior();
    EXPECT_TRUE(t.Bof());
    EXPECT_EQ(t.RecNo(), 1);
    t.Next();
    EXPECT_FALSE(t.Bof());
    t.SetRecNo(4);
    EXPECT_EQ(Cur(t, "氏名"), "d");
    t.SetRecNo(99);
    EXPECT_EQ(t.RecNo(), 5);
    t.Last();
    EXPECT_EQ(Cur(t, "氏名"), "e");
}

TEST_F(CursorTest, EmptyViewReadsEmptyRecord) {
    Table& t = Ledger();
    EXPECT_TRUE(t.Eof());
    EXPECT_TRUE(t.Bof());
    EXPECT_EQ(t.RecNo(), 0);
    EXPECT_EQ(t.RecordCount(), 0);
    EXPECT_EQ(t.Text(sj("氏名")), "");
    EXPECT_EQ(t.Int(sj("書込モード")), 0);
    t.First();
    t.Next();
    EXPECT_EQ(t.RecNo(), 0);
    EXPECT_THROW(t.Delete(), StoreError);
}

TEST_F(CursorTest, PostFollowsTheRecordInTheOrder) {
    Table& t = Five();
    t.SetOrder(ledger::OrderDescending());
    EXPECT_EQ(Column(t, "氏名"), (Names{"e", "d", "c", "b", "a"}));
    t.SetRecNo(4);  // b
    t.Edit();
    t.SetInt(sj("項番"), 45);
    t.Post();
    EXPECT_EQ(Column(t, "氏名"), (Names{"e", "b", "d", "c", "a"}));
    EXPECT_EQ(t.RecNo(), 2);
    EXPECT_EQ(Cur(t, "氏名"), "b");
    // A new record lands in its place too.
    t.Insert();
    t.SetText(sj("氏名"), "n");
    t.SetInt(sj("項番"), 35);
    t.Post();
    EXPECT_EQ(Column(t, "氏名"), (Names{"e", "b", "d", "n", "c", "a"}));
    EXPECT_EQ(t.RecNo(), 4);
    // Equal keys: the later record first in a descending order.
    t.Append();
    t.SetText(sj("氏名"), "m");
    t.SetInt(sj("項番"), 35);
    t.Post();
    EXPECT_EQ(Column(t, "氏名"), (Names{"e", "b", "d", "m", "n", "c", "a"}));
    EXPECT_EQ(Cur(t, "氏名"), "m");
}

TEST_F(CursorTest, PostedRecordThatLeavesTheViewLeavesTheCursorInPlace) {
    Table& t = Five();
    t.SetFilter(sj("(残金合計 <> 0)"));
    t.SetFiltered(true);
    t.SetRecNo(2);  // b
    t.Edit();
    t.SetInt(sj("残金合計"), 0);
    t.Post();
    EXPECT_EQ(Column(t, "氏名"), (Names{"a", "c", "d", "e"}));
    EXPECT_EQ(t.RecNo(), 2);
    EXPECT_EQ(Cur(t, "氏名"), "c");
    // The last record leaves: the new last is current.
    t.Last();
    t.Edit();
    t.SetInt(sj("残金合計"), 0);
    t.Post();
    EXPECT_EQ(t.RecNo(), 3);
    EXPECT_EQ(Cur(t, "氏名"), "d");
    // The batch payment's walk: pay from the first until the view is empty.
    t.First();
    int paid = 0;
    while (t.RecordCount() > 0) {
        t.Edit();
        t.SetInt(sj("残金合計"), 0);
        t.Post();
        ++paid;
    }
    EXPECT_EQ(paid, 3);
    EXPECT_EQ(t.RecNo(), 0);
}

TEST_F(CursorTest, NewRecordOutsideTheFilterReturnsToWhereItBegan) {
    Table& t = Five();
    t.SetFilter(sj("(残金合計 <> 0)"));
    t.SetFiltered(true);
    t.SetRecNo(3);
    t.Insert();
    t.SetText(sj("氏名"), "x");
    t.Post();
    EXPECT_EQ(t.RecordCount(), 5);
    EXPECT_EQ(Cur(t, "氏名"), "c");
    t.Append();
    t.SetText(sj("氏名"), "y");
    t.Post();
    EXPECT_EQ(Cur(t, "氏名"), "e");
    t.SetFiltered(false);
    EXPECT_EQ(t.RecordCount(), 7);
}

TEST_F(CursorTest, DeleteMakesTheNextCurrentOrThePreviousAtTheEnd) {
    Table& t = Five();
    t.SetRecNo(2);
    t.Delete();
    EXPECT_EQ(Cur(t, "氏名"), "c");
    EXPECT_EQ(t.RecNo(), 2);
    t.Last();
    t.Delete();
    EXPECT_EQ(Cur(t, "氏名"), "d");
    EXPECT_EQ(t.RecNo(), 3);
    EXPECT_EQ(Column(t, "氏名"), (Names{"a", "c", "d"}));
    // Delete while editing discards the edit.
    t.First();
    t.Edit();
    t.SetText(sj("氏名"), "zz");
    t.Delete();
    EXPECT_EQ(t.GetState(), State::Browse);
    EXPECT_EQ(Column(t, "氏名"), (Names{"c", "d"}));
    // Delete of a new record is a cancel.
    t.Insert();
    t.Delete();
    EXPECT_EQ(Column(t, "氏名"), (Names{"c", "d"}));
}

TEST_F(CursorTest, RefilterGoesToFirstAndOrderKeepsTheRecord) {
    Table& t = Five();
    t.SetRecNo(3);
    t.SetOrder(ledger::OrderDescending());
    EXPECT_EQ(Cur(t, "氏名"), "c");
    EXPECT_EQ(t.RecNo(), 3);
    t.SetRecNo(2);  // d
    t.SetOrder("");
    EXPECT_EQ(t.RecNo(), 4);
    t.SetFilter(sj("(項番 >= 20)"));
    t.SetFiltered(true);
    EXPECT_EQ(t.RecNo(), 1);
    EXPECT_EQ(Cur(t, "氏名"), "b");
    t.Last();
    t.SetFilter(sj("(項番 >= 30)"));
    EXPECT_EQ(Cur(t, "氏名"), "c");
    EXPECT_THROW(t.SetOrder(sj("不明")), StoreError);
    EXPECT_EQ(t.Order(), "");
    // End-of-view set on the last record does not outlive a reorder that
    // puts the record first.
    t.SetFiltered(false);
    t.Last();
    t.Next();
    ASSERT_TRUE(t.Eof());
    t.SetOrder(ledger::OrderDescending());
    EXPECT_EQ(t.RecNo(), 1);
    EXPECT_FALSE(t.Eof());
    EXPECT_FALSE(t.Bof());
}

TEST_F(CursorTest, MovesPostAPendingEditAndDropAnUntouchedNewRecord) {
    Table& t = Five();
    t.First();
    t.Edit();
    t.SetText(sj("氏名"), "A");
    t.Next();
    EXPECT_EQ(t.GetState(), State::Browse);
    EXPECT_EQ(t.ReadAt(1).Text(sj("氏名")), "A");
    t.Insert();
    t.Last();
    EXPECT_EQ(t.RecordCount(), 5);  // nothing was written into it
    t.Insert();
    t.SetText(sj("氏名"), "f");
    t.SetFilter(sj("(氏名 = 'zzz')"));  // filtering off: nothing posted yet
    EXPECT_EQ(t.GetState(), State::Insert);
    t.SetFiltered(true);
    EXPECT_EQ(t.GetState(), State::Browse);
    t.SetFiltered(false);
    EXPECT_EQ(t.RecordCount(), 6);
}

TEST_F(CursorTest, EditOnAnEmptyFilteredTotalsViewBeginsTheMonthRecord) {
    Table& t = Totals();
    Add(t, {{"売上日", "平成１４年１１月"}});
    t.SetFilter(Utf8ToCp932("(売上日 = '平成１４年１２月*')"));
    t.SetFiltered(true);
    ASSERT_EQ(t.RecordCount(), 0);
    t.Edit();
    EXPECT_EQ(t.GetState(), State::Insert);
    t.SetText(sj("売上日"), sj("平成１４年１２月"));
    t.SetInt(sj("書込モード"), 1);
    t.Post();
    EXPECT_EQ(t.RecordCount(), 1);
    EXPECT_EQ(t.RecNo(), 1);
    EXPECT_EQ(t.Int(sj("書込モード")), 1);
    // The primary order of the totals is by month label.
    t.SetFiltered(false);
    EXPECT_EQ(Column(t, "売上日"), (Names{"平成１４年１１月", "平成１４年１２月"}));
}

TEST_F(CursorTest, CancelReturnsToTheRecordThatWasCurrent) {
    Table& t = Five();
    t.SetRecNo(3);
    t.Insert();
    t.SetText(sj("氏名"), "x");
    t.Cancel();
    EXPECT_EQ(Cur(t, "氏名"), "c");
    EXPECT_EQ(t.RecordCount(), 5);
    t.Edit();
    t.SetText(sj("氏名"), "x");
    EXPECT_EQ(Cur(t, "氏名"), "x");
    t.Cancel();
    EXPECT_EQ(Cur(t, "氏名"), "c");
}

TEST_F(CursorTest, LocateWithPartialKeysAndEmptyValues) {
    Table& t = Ledger();
    Add(t, {{"タイトル", "見積"},
            {"登録番号", "品川 500 さ 12-34"},
            {"氏名", "山田太郎"},
            {"書込モード", "2"}});
    Add(t, {{"登録番号", "品川 500 さ 12-34"}, {"氏名", "山田"}});
    Add(t, {{"タイトル", "請求"}, {"氏名", "山田花子"}});
    Add(t, {{"タイトル", "請求"}, {"登録番号", "足立 300 あ 56-78"}, {"氏名", "佐藤"}});
    auto V = [](std::initializer_list<const char*> v) {
        std::vector<std::string> out;
        for (const char* s : v)
            out.push_back(sj(s));
        return out;
    };
    const std::string three = sj("タイトル;登録番号;氏名");
    t.Last();
    // Empty values match anything as prefixes: the first in view order.
    EXPECT_TRUE(t.Locate(three, V({"", "品川", "山田"}), true));
    EXPECT_EQ(t.RecNo(), 1);
    // Exactly: the empty title is the record whose title holds nothing.
    EXPECT_TRUE(t.Locate(three, V({"", "品川 500 さ 12-34", "山田"}), false));
    EXPECT_EQ(t.RecNo(), 2);
    EXPECT_TRUE(t.Locate(sj("登録番号;氏名"), V({"", "山田花"}), true));
    EXPECT_EQ(t.RecNo(), 3);
    // Not found: the cursor stays and no AfterScroll fires.
    int scrolls = 0;
    t.Events().AfterScroll = [&] { ++scrolls; };
    EXPECT_FALSE(t.Locate(sj("氏名"), V({"鈴木"}), true));
    EXPECT_EQ(t.RecNo(), 3);
    EXPECT_EQ(scrolls, 0);
    // An integer field compares as a number; the view's order decides which is first.
    EXPECT_TRUE(t.Locate(sj("書込モード"), V({"2"}), true));
    EXPECT_EQ(t.RecNo(), 1);
    EXPECT_EQ(scrolls, 1);
    t.SetOrder(ledger::OrderDescending());  // all 項番 empty: later records first
    EXPECT_TRUE(t.Locate(sj("氏名"), V({"山田"}), true));
    EXPECT_EQ(Cur(t, "氏名"), "山田花子");
    // Only records of the view are found.
    t.SetFilter(sj("(タイトル = '請求*')"));
    t.SetFiltered(true);
    EXPECT_FALSE(t.Locate(sj("氏名"), V({"山田太郎"}), true));
    EXPECT_THROW(t.Locate(sj("氏名;不明"), V({"a", "b"}), true), StoreError);
    EXPECT_THROW(t.Locate(sj("氏名"), V({"a", "b"}), true), StoreError);
    EXPECT_THROW(t.Locate(sj("書込モード"), V({"x"}), true), StoreError);
}

TEST_F(CursorTest, ReadAtNeitherMovesNorFiresEvents) {
    Table& t = Five();
    t.SetRecNo(2);
    int events = 0;
    t.Events().AfterScroll = [&] { ++events; };
    EXPECT_EQ(t.ReadAt(4).Text(sj("氏名")), "d");
    EXPECT_EQ(t.ReadAt(4).Int(sj("項番")), 40);
    EXPECT_EQ(t.RecNo(), 2);
    EXPECT_EQ(events, 0);
    EXPECT_THROW(t.ReadAt(6), StoreError);
    EXPECT_THROW(t.ReadAt(0), StoreError);
}

TEST_F(CursorTest, FieldValuesAndTheirErrors) {
    Table& t = Ledger();
    EXPECT_THROW(t.Text(sj("不明")), StoreError);
    EXPECT_THROW(t.SetText(sj("氏名"), "x"), StoreError);  // browse state
    t.Append();
    t.SetInt(sj("売上"), INT32_MAX);
    t.SetInt(sj("調整額"), INT32_MIN);
    EXPECT_THROW(t.SetInt(sj("売上"), int64_t{INT32_MAX} + 1), StoreError);
    EXPECT_THROW(t.SetInt(sj("売上"), int64_t{INT32_MIN} - 1), StoreError);
    EXPECT_THROW(t.SetText(sj("入金額1"), "2147483648"), StoreError);
    EXPECT_THROW(t.SetText(sj("入金額1"), "12a"), StoreError);
    // Too many digits is out of range, not "not a number".
    try {
        t.SetText(sj("入金額1"), "99999999999999999999");
        ADD_FAILURE() << "accepted";
    } catch (const StoreError& e) {
        EXPECT_NE(std::string(e.what()).find("範囲"), std::string::npos) << e.what();
    }
    EXPECT_THROW(t.SetText(sj("合計請求不含"), "yes"), StoreError);
    t.SetText(sj("入金額2"), "-2147483648");
    t.SetText(sj("合計請求不含"), "True");
    t.SetText(sj("氏名"), sj("山田"));
    t.SetText(sj("住所"), sj("東京"));
    t.SetText(sj("住所"), "");  // clears
    t.Post();
    EXPECT_EQ(t.Int(sj("売上")), INT32_MAX);
    EXPECT_EQ(t.Int(sj("調整額")), INT32_MIN);
    EXPECT_EQ(t.Int(sj("入金額2")), INT32_MIN);
    EXPECT_EQ(t.Text(sj("売上")), "2147483647");
    EXPECT_EQ(t.Text(sj("合計請求不含")), "True");
    EXPECT_EQ(t.Text(sj("入金額1")), "");  // nothing held
    EXPECT_EQ(t.Int(sj("入金額1")), 0);
    store::Record r = t.ReadAt(1);
    EXPECT_TRUE(r.IsNull(ledger::rcv::kAddress));
    EXPECT_TRUE(r.IsNull(ledger::rcv::kPayment1));
    EXPECT_FALSE(r.IsNull(ledger::rcv::kName));
    EXPECT_EQ(r.Text(ledger::rcv::kName), sj("山田"));
    // Values survive closing and opening again.
    Reopen();
    EXPECT_EQ(Ledger().Int(sj("売上")), INT32_MAX);
    EXPECT_EQ(Ledger().Text(sj("合計請求不含")), "True");
}

TEST_F(CursorTest, AppendRecordFillsTheFirstFieldsAndPosts) {
    Table& t = Db().Open(JobTable());
    t.AppendRecord({"", "", "", "10", "False"});
    t.AppendRecord({sj("平成１４年１２月０１日"), sj("請求")});
    EXPECT_EQ(t.RecordCount(), 2);
    EXPECT_EQ(t.RecNo(), 2);
    EXPECT_EQ(t.ReadAt(1).Int(sj("金額")), 10);
    EXPECT_EQ(t.ReadAt(1).Text(sj("済")), "False");
    EXPECT_EQ(t.GetState(), State::Browse);
    // A bad value is refused before anything begins.
    EXPECT_THROW(t.AppendRecord({"", "", "", "abc"}), StoreError);
    EXPECT_EQ(t.GetState(), State::Browse);
    EXPECT_THROW(t.AppendRecord({"", "", "", "", "", "extra"}), StoreError);
    EXPECT_EQ(t.RecordCount(), 2);
}

}  // namespace
}  // namespace ravelto::testing
