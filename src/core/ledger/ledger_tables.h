#pragma once

// The two ledger tables: the ledger receive.DB (63 fields and 項番) and the
// monthly totals RcivTotal.db (13 fields), their field positions, named
// orders and indexes, and the sales-date key 項番.

#include <cstdint>
#include <string>
#include <string_view>

#include "core/ledger/eradate.h"
#include "core/ledger/table_schema.h"

namespace ravelto::ledger {

// Field positions of receive.DB (0-based, in the order of the backup header).
namespace rcv {
inline constexpr int kSalesDate = 0;             // 売上日
inline constexpr int kInDate = 1;                // 入庫日
inline constexpr int kOutDate = 2;               // 出庫日
inline constexpr int kFurigana = 3;              // ふりがな
inline constexpr int kName = 4;                  // 氏名
inline constexpr int kTitle = 5;                 // タイトル
inline constexpr int kRegNo = 6;                 // 登録番号
inline constexpr int kCarName = 7;               // 車名
inline constexpr int kPostCode = 8;              // 郵便番号
inline constexpr int kAddress = 9;               // 住所
inline constexpr int kPhone = 10;                // 電話番号
inline constexpr int kPrevAdvance = 11;          // 先月立替残
inline constexpr int kPrevReceivable = 12;       // 先月売掛残
inline constexpr int kPrevTotal = 13;            // 先月残合計
inline constexpr int kFees = 14;                 // 諸費用
inline constexpr int kSales = 15;                // 売上
inline constexpr int kBilled = 16;               // 請求合計
inline constexpr int kDepositDate = 17;          // お預り日
inline constexpr int kDeposit = 18;              // お預り
inline constexpr int kPayDate1 = 19;             // 入金日1
inline constexpr int kPayment1 = 20;             // 入金額1
inline constexpr int kPayDate2 = 21;             // 入金日2
inline constexpr int kPayment2 = 22;             // 入金額2
inline constexpr int kAdjustment = 23;           // 調整額
inline constexpr int kAdvanceLeft = 24;          // 立替残金
inline constexpr int kReceivableLeft = 25;       // 売掛残金
inline constexpr int kBalance = 26;              // 残金合計
inline constexpr int kWriteMode = 27;            // 書込モード
inline constexpr int kJobKind = 28;              // 種別
inline constexpr int kMileage = 29;              // 走行距離
inline constexpr int kComment = 30;              // コメント
inline constexpr int kFirstRegistration = 31;    // 初度登録
inline constexpr int kModel = 32;                // 型式
inline constexpr int kTypeDesignation = 33;      // 型式指定番号
inline constexpr int kChassisNo = 34;            // 車台番号
inline constexpr int kEngineModel = 35;          // 原動機型式
inline constexpr int kClassNo = 36;              // 類別区分番号
inline constexpr int kCompulsoryInsurance = 37;  // 自賠責
inline constexpr int kWeightTax = 38;            // 重量税
inline constexpr int kStampFee = 39;             // 印紙代
inline constexpr int kFee1 = 40;                 // 諸費用1 (… 諸費用10 = kFee1 + 9)
inline constexpr int kFeeName8 = 50;  // 諸費用項目8 (… 諸費用項目10 = kFeeName8 + 2)
inline constexpr int kInspectionTotal = 53;   // 車検合計
inline constexpr int kPartsTotal = 54;        // 部品代合計
inline constexpr int kLabourTotal = 55;       // 作業工賃合計
inline constexpr int kConsumptionTax = 56;    // 消費税
inline constexpr int kReceptionStaff = 57;    // 受付担当
inline constexpr int kMechanic = 58;          // 整備担当
inline constexpr int kDepositKind = 59;       // お預り種別
inline constexpr int kPayKind1 = 60;          // 入金1種別
inline constexpr int kPayKind2 = 61;          // 入金2種別
inline constexpr int kExcludeFromTotal = 62;  // 合計請求不含
inline constexpr int kSalesDateKey = 63;      // 項番 (not in the backup)
inline constexpr int kBackupFieldCount = 63;
inline constexpr int kFieldCount = 64;
}  // namespace rcv

// Field positions of RcivTotal.db.
namespace tot {
inline constexpr int kSalesDate = 0;        // 売上日 (month label)
inline constexpr int kPrevAdvance = 1;      // 先月立替残
inline constexpr int kPrevReceivable = 2;   // 先月売掛残
inline constexpr int kPrevTotal = 3;        // 先月残合計
inline constexpr int kFees = 4;             // 諸費用
inline constexpr int kSales = 5;            // 売上
inline constexpr int kBilled = 6;           // 請求合計
inline constexpr int kReceived = 7;         // 入金額
inline constexpr int kAdjustment = 8;       // 調整額
inline constexpr int kAdvanceLeft = 9;      // 立替残金
inline constexpr int kReceivableLeft = 10;  // 売掛残金
inline constexpr int kBalance = 11;         // 残金合計
inline constexpr int kWriteMode = 12;       // 書込モード
inline constexpr int kFieldCount = 13;
}  // namespace tot

// receive.DB. Orders: "" (order of entry), 降順 (項番, newest first; the order
// at start), 入庫日降順, 出庫日降順, ふりがな. Indexes serve the month filters
// (売上日) and the personal view and look-ups by name (氏名).
const store::TableDef& ReceiveTable();
// RcivTotal.db. Its primary order is ascending by 売上日 (bytewise: dates of
// different eras are not in date order, as stored labels always were).
const store::TableDef& TotalsTable();

// The order names of receive.DB, CP932.
const std::string& OrderDescending();   // 降順
const std::string& OrderInDateDesc();   // 入庫日降順
const std::string& OrderOutDateDesc();  // 出庫日降順
const std::string& OrderFurigana();     // ふりがな

// 項番: year × 10000 + month × 100 + day of 売上日 (CharToDate). A bare month
// label (no 日) takes settle_day as its day and, when settle_day is not 0, the
// previous month (January becomes month 0 of the same year), so it sorts just
// before every dated record of its period.
int32_t SalesDateKey(std::string_view sales_date, int settle_day, const Clock& clock);

}  // namespace ravelto::ledger
