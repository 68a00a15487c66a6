// ravelto: the receivables ledger of the shop.
#include <QAction>
#include <QApplication>
#include <QMessageBox>
#include <QTimer>
#include <chrono>
#include <cstdio>
#include <cstring>
#include <filesystem>
#include <memory>

#include "core/accounting/name_groups.h"
#include "core/ledger/ledger_tables.h"
#include "core/ledger/record_store.h"
#include "platform/caps_lock.h"
#include "platform/help_viewer.h"
#include "platform/printers.h"
#include "platform/single_instance.h"
#include "platform/user_settings.h"
#include "ui/accounting/flist_form.h"
#include "ui/application_setup.h"
#include "ui/ledgerwin/receive_data_form.h"
#include "ui/qt_questions.h"

namespace {

using namespace ravelto;
using Steady = std::chrono::steady_clock;

struct Options {
    bool quit_after_first_view = false;  // timing: end once the first month view is shown
};

Options ParseOptions(int argc, char** argv) {
    Options o;
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--quit-after-first-view") == 0) o.quit_after_first_view = true;
    }
    return o;
}

long long Ms(Steady::time_point from, Steady::time_point to) {
    return std::chrono::duration_cast<std::chrono::milliseconds>(to - from).count();
}

}  // namespace

int main(int argc, char** argv) {
    const auto started = Steady::now();
    const Options options = ParseOptions(argc, argv);

    // One running copy per user; a second one ends silently.
    std::unique_ptr<platform::SingleInstanceLock> lock = platform::MakeInstanceLock("EX_Ravelto");
    if (!lock->Acquire()) return 0;

    QApplication app(argc, argv);
    ui::SetUpApplication(app);
    const QString title = QString::fromUtf8(ui::kApplicationTitle);

    const std::filesystem::path start_dir = std::filesystem::current_path();
    const std::filesystem::path data_dir = store::Database::DirectoryFor(start_dir);
    std::unique_ptr<store::Database> db;
    store::Table* ledger = nullptr;
    store::Table* totals = nullptr;
    store::Table* groups = nullptr;
    try {
        db = std::make_unique<store::Database>(data_dir);
        ledger = &db->Open(ledger::ReceiveTable());
        totals = &db->Open(ledger::TotalsTable());
        groups = &db->Open(accounting::TotalNameTable());
    } catch (const std::exception& error) {
        QMessageBox::critical(
            nullptr, title,
            QStringLiteral(
                "データのフォルダを作成または開くことができません。\n\n%1\n\n"
                "フォルダの場所と書き込みの権限を確かめてから、もう一度起動してください。")
                .arg(QString::fromUtf8(error.what())));
        return 1;
    }

    SystemClock clock;
    ui::QtQuestions questions;
    std::unique_ptr<platform::CapsLock> caps_lock = platform::MakeCapsLock();
    platform::SystemPrinterList printers;
    platform::QtHelpViewer help;
    platform::QtUserSettings user_settings;

    std::unique_ptr<ui::TReceiveDataForm> form;
    try {
        form = std::make_unique<ui::TReceiveDataForm>(
            *ledger, *totals, clock, start_dir, questions,
            ui::WindowPlatform{*caps_lock, printers, help, user_settings});
    } catch (const std::exception& error) {
        // The ledger window could not be set up (a settings file or a table
        // that cannot be read): say why and end.
        ShowError(questions, error);
        return 1;
    }
    form->Core().SetNameGroups(groups);
    form->UseRecordEvents(*db);
    // 編集 ▸ 合計請求書氏名設定 (N3Click): the name-group window, made once like the other dialogs.
    // A child of the ledger window, so it goes with that window and is freed by it.
    auto* name_groups =
        new ui::TFListForm(*groups, questions, user_settings, start_dir, form.get());
    if (auto* action = form->findChild<QAction*>(QStringLiteral("TotalName1")))
        QObject::connect(action, &QAction::triggered, name_groups,
                         [name_groups] { ui::N3Click(*name_groups); });
    questions.SetParent(form.get());
    QObject::connect(form.get(), &ui::TReceiveDataForm::Closed, &app, &QApplication::quit,
                     Qt::QueuedConnection);
    const auto created = Steady::now();
    // The windows of the later steps join the creation order here, after the ledger window.

    if (options.quit_after_first_view) {
        form->FirstViewShown = [&] {
            const auto shown = Steady::now();
            std::printf(
                "start-up: window created in %lld ms; first month view built in %lld ms after "
                "the one-second timer fired; shown %lld ms after start; %d records in the view\n",
                Ms(started, created), form->StartupMs(), Ms(started, shown),
                form->Core().RecordCount());
            std::fflush(stdout);
            QTimer::singleShot(0, form.get(), [&] { form->close(); });
        };
    }
    form->show();
    const int rc = QApplication::exec();
    form.reset();
    lock->Release();
    return rc;
}
