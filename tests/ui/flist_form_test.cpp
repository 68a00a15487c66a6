#include "ui/accounting/flist_form.h"

#include <gtest/gtest.h>

#include <QApplication>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QTimer>
#include <QToolButton>
#include <filesystem>
#include <fstream>
#include <memory>

#include "core/accounting/name_groups.h"
#include "core/ledger/cp932.h"
#include "core/ledger/record_store.h"
#include "core/ledger/settings_file.h"
#include "platform/user_settings.h"
#include "support/scripted_questions.h"

namespace ravelto::ui {
namespace {

using accounting::grp::kGroupName;
using accounting::grp::kIncludedName1;

class FListFormTest : public ::testing::Test {
  protected:
    FListFormTest()
        : dir_(std::filesystem::current_path()),
          db_(std::make_unique<store::Database>(store::Database::DirectoryFor(dir_))),
          groups_(&db_->Open(accounting::TotalNameTable())) {}

    void AddGroup(const char* name) {
        groups_->Append();
        groups_->SetText(kGroupName, sj(name));
        groups_->Post();
    }
    std::unique_ptr<TFListForm> MakeForm() {
        return std::make_unique<TFListForm>(*groups_, questions_, settings_, dir_);
    }
    // Types into a cell through the grid's own editor and commits with Enter.
    static void Type(TFListForm& form, int row, int column, const char* utf8) {
        QModelIndex index = form.Model()->index(row, column);
        form.DBGrid1->setCurrentIndex(index);
        form.DBGrid1->edit(index);
        QApplication::processEvents();
        auto editors = form.DBGrid1->viewport()->findChildren<QLineEdit*>();
        ASSERT_EQ(editors.size(), 1);
        editors[0]->setText(QString::fromUtf8(utf8));
        QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
        QApplication::sendEvent(editors[0], &enter);
        QApplication::processEvents();
    }
    std::string Lines() {
        std::ifstream in(dir_ / "RcItemLen.INI", std::ios::binary);
        return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
    }

    std::filesystem::path dir_;
    std::unique_ptr<store::Database> db_;
    store::Table* groups_;
    testing::ScriptedQuestions questions_;
    platform::MemoryUserSettings settings_;
};

TEST_F(FListFormTest, EditACellAndPressOk) {
    AddGroup("山田太郎");
    auto form = MakeForm();
    EXPECT_EQ(form->windowTitle(), QString::fromUtf8("合計請求書の氏名の設定"));
    ASSERT_EQ(form->Model()->columnCount(), 13);
    EXPECT_EQ(form->Model()->headerData(12, Qt::Horizontal, Qt::DisplayRole).toString(),
              QString::fromUtf8("合計請求書住所"));
    bool ran = false;
    QTimer::singleShot(0, form.get(), [&] {
        ran = true;
        Type(*form, 0, kIncludedName1 + 1, "山田花子");
        form->OKBtn->click();
    });
    N3Click(*form);
    ASSERT_TRUE(ran);
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_EQ(groups_->GetState(), store::State::Browse);

    // Saved: the store read afresh holds the name.
    db_.reset();
    db_ = std::make_unique<store::Database>(store::Database::DirectoryFor(dir_));
    store::Table& g = db_->Open(accounting::TotalNameTable());
    ASSERT_EQ(g.RecordCount(), 1);
    EXPECT_EQ(Cp932ToUtf8(g.Text(kIncludedName1 + 1)), "山田花子");
    EXPECT_EQ(Cp932ToUtf8(g.Text(kGroupName)), "山田太郎");

    // OK wrote two lines per column: field number, width in characters.
    SettingsFile ini = SettingsFile::Read(dir_, "RcItemLen.INI");
    ASSERT_EQ(ini.LineCount(), 26);
    for (int c = 0; c < 13; ++c) {
        EXPECT_EQ(ini.Int(2 * c + 1, 0, 0, 99), c + 1);
        EXPECT_EQ(ini.Int(2 * c + 2, 0, 0, 999), c == 12 ? 40 : c == 11 ? 10 : 20);
    }
    // The placement went to the per-user store.
    EXPECT_TRUE(settings_.ReadInt(QStringLiteral("Ravelto"), QStringLiteral("FList Width")));
}

TEST_F(FListFormTest, WidthsFromTheFileAndClosingWithoutOkKeepsIt) {
    WriteSettingsFile(dir_, "RcItemLen.INI", {"2", "30", "99", "50", "13", "12"});
    const std::string before = Lines();
    auto form = MakeForm();
    EXPECT_EQ(form->DBGrid1->columnWidth(1), form->PixelsOf(30));
    EXPECT_EQ(form->DBGrid1->columnWidth(12), form->PixelsOf(12));
    EXPECT_EQ(form->DBGrid1->columnWidth(0), form->PixelsOf(20));
    form->show();
    form->DBGrid1->setColumnWidth(0, form->PixelsOf(33));
    form->reject();
    EXPECT_EQ(Lines(), before);

    // The OK button stays centred.
    form->show();
    form->resize(800, 300);
    QApplication::processEvents();
    EXPECT_EQ(form->OKBtn->x(), form->Panel1->width() / 2 - 37);
    form->OKBtnClick();
    SettingsFile ini = SettingsFile::Read(dir_, "RcItemLen.INI");
    EXPECT_EQ(ini.Int(2, 0, 0, 999), 33);
    EXPECT_EQ(ini.Int(4, 0, 0, 999), 30);
}

TEST_F(FListFormTest, TypingIntoAnEmptyTableInsertAndDelete) {
    auto form = MakeForm();
    form->show();
    ASSERT_EQ(form->Model()->rowCount(), 1);  // the blank row
    Type(*form, 0, kGroupName, "佐藤商事");
    EXPECT_TRUE(form->isVisible());  // Enter in a cell commits it; OK is not pressed
    EXPECT_EQ(groups_->GetState(), store::State::Insert);
    form->PostBtn->click();
    EXPECT_EQ(groups_->RecordCount(), 1);

    form->InsertBtn->click();
    ASSERT_EQ(form->Model()->rowCount(), 2);
    Type(*form, 1, kGroupName, "鈴木");
    // Moving to another row saves the new group.
    form->DBGrid1->setCurrentIndex(form->Model()->index(0, 0));
    EXPECT_EQ(groups_->GetState(), store::State::Browse);
    EXPECT_EQ(groups_->RecordCount(), 2);
    EXPECT_EQ(form->Model()->data(form->Model()->index(1, 0), Qt::DisplayRole).toString(),
              QString::fromUtf8("鈴木"));

    // An untouched new row goes away again.
    form->InsertBtn->click();
    EXPECT_EQ(form->Model()->rowCount(), 3);
    form->CancelBtn->click();
    EXPECT_EQ(form->Model()->rowCount(), 2);
    form->InsertBtn->click();
    form->DBGrid1->setCurrentIndex(form->Model()->index(1, 0));
    EXPECT_EQ(form->Model()->rowCount(), 2);
    EXPECT_EQ(groups_->GetState(), store::State::Browse);
    EXPECT_EQ(groups_->RecordCount(), 2);
    EXPECT_EQ(form->Model()->headerData(1, Qt::Vertical, Qt::DisplayRole).toString(),
              QString::fromUtf8("▶"));

    // Delete asks first.
    questions_.Then(Answer::No).Then(Answer::Yes);
    form->DBGrid1->setCurrentIndex(form->Model()->index(0, 0));
    form->DeleteBtn->click();
    EXPECT_EQ(groups_->RecordCount(), 2);
    form->DeleteBtn->click();
    EXPECT_EQ(groups_->RecordCount(), 1);
    ASSERT_FALSE(questions_.AskedList().empty());
    EXPECT_EQ(Cp932ToUtf8(questions_.AskedList().back().text), "レコードを削除しますか？");
    EXPECT_EQ(Cp932ToUtf8(groups_->Text(kGroupName)), "鈴木");
    form->reject();
}

TEST_F(FListFormTest, TextShiftJisLacksIsRefusedAndUntouchedTextIsNotWrittenBack) {
    groups_->Append();
    groups_->SetText(kGroupName, "A\xff");  // not Shift-JIS: shows as A\uFFFD
    groups_->SetText(kIncludedName1, sj("山田"));
    groups_->Post();
    auto form = MakeForm();
    form->show();
    // Opened and left unchanged: no message, nothing written.
    Type(*form, 0, kGroupName, "A\xEF\xBF\xBD");
    EXPECT_TRUE(questions_.AskedList().empty());
    EXPECT_EQ(groups_->GetState(), store::State::Browse);
    EXPECT_EQ(groups_->Text(kGroupName), "A\xff");

    // A character Shift-JIS lacks: said so, and the name stays as it was.
    questions_.Then(Answer::Ok);
    Type(*form, 0, kIncludedName1, "山田\xF0\x9F\x98\x80");
    ASSERT_EQ(questions_.AskedList().size(), 1u);
    EXPECT_EQ(groups_->GetState(), store::State::Browse);
    EXPECT_EQ(Cp932ToUtf8(groups_->Text(kIncludedName1)), "山田");
    EXPECT_EQ(form->Model()->data(form->Model()->index(0, kIncludedName1), Qt::DisplayRole),
              QString::fromUtf8("山田"));
    form->reject();
}

TEST_F(FListFormTest, PlacementFontAndTheOkButton) {
    settings_.WriteInt(QStringLiteral("Ravelto"), QStringLiteral("FList Width"), 700);
    settings_.WriteInt(QStringLiteral("Ravelto"), QStringLiteral("FList Height"), 400);
    auto form = MakeForm();
    EXPECT_EQ(form->size(), QSize(700, 400));
    EXPECT_EQ(form->font().family(), QString::fromUtf8("ＭＳ Ｐゴシック"));
    EXPECT_EQ(form->font().pixelSize(), 12);
    EXPECT_EQ(form->OKBtn->width(), 74);
    EXPECT_TRUE(form->OKBtn->isDefault());
    form->show();
    QApplication::processEvents();
    EXPECT_EQ(form->OKBtn->x(), form->Panel1->width() / 2 - 37);
    form->reject();
    // Closed any way, the placement is kept under its four names.
    for (const char* name : {"FList PosX", "FList PosY", "FList Width", "FList Height"})
        EXPECT_TRUE(settings_.ReadInt(QStringLiteral("Ravelto"), QString::fromLatin1(name)))
            << name;
}

TEST_F(FListFormTest, AWidthsFileThatCannotBeReadOrWrittenIsReportedAndTheWindowStillWorks) {
    std::filesystem::create_directory(dir_ / "RcItemLen.INI");
    questions_.Then(Answer::Ok);
    auto form = MakeForm();
    ASSERT_EQ(questions_.AskedList().size(), 1u);
    EXPECT_EQ(form->DBGrid1->columnWidth(0), form->PixelsOf(20));
    form->show();
    Type(*form, 0, kGroupName, "佐藤商事");
    questions_.Then(Answer::Ok);
    form->OKBtnClick();
    EXPECT_EQ(questions_.AskedList().size(), 2u);
    EXPECT_EQ(form->result(), QDialog::Accepted);
    EXPECT_FALSE(form->isVisible());
    EXPECT_EQ(questions_.Pending(), 0u);
}

}  // namespace
}  // namespace ravelto::ui
