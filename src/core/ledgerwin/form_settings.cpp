// The settings files the ledger window reads at creation and writes on close.
#include <filesystem>

#include "core/ledger/startup_settings.h"
#include "core/ledgerwin/receive_data_form.h"

namespace ravelto::ledgerwin {

void ReceiveDataForm::ReadSettingsFiles() {
    StartupSettings settings;
    settings.PaymentKinds.Read(start_dir_);
    if (std::filesystem::exists(start_dir_ / "Tessaro.exe")) state_.InspectionLinked = 1;
    if (std::filesystem::exists(start_dir_ / "Pellwin.exe")) {
        state_.InvoicingLink = 1;
        view_.import_settings_visible = true;
        view_.write_settings_visible = true;
    }
    state_.SettleDay = 0;
    settings.Receive.Read(start_dir_);
    settings.BackupName.Read(start_dir_);
    settings.RepairWrite.Read(start_dir_);
    settings.Password.Read(start_dir_);
    settings.BackupDir.Read(start_dir_);

    view_.payment_kinds = settings.PaymentKinds.Kinds;
    view_.furigana = settings.Receive.FuriganaShown;
    state_.SettleDay = settings.Receive.SettleDay;
    state_.CarryOverMethod = settings.Receive.CarryOverMethod;
    state_.NoImportTitle = settings.Receive.NoImportTitle;
    view_.display_items_only = settings.Receive.DisplayItemsOnly;
    view_.current_month_only = settings.Receive.CurrentMonthOnly;
    view_.backup_period_limited = settings.Receive.BackupPeriodLimited;
    state_.BackupNamePrefix = settings.BackupName.BackupNamePrefix;
    state_.BackupNameSuffix = settings.BackupName.BackupNameSuffix;
    state_.RepairWriteItem = settings.RepairWrite.RepairWriteItem;
    view_.repair_write_visible = !state_.RepairWriteItem.empty();
    state_.StartupPassword = settings.Password.StartupPassword;
    state_.BackupDirectory = settings.BackupDir.BackupDirectory;

    // What the settings dialogs keep: the company information and the colours.
    state_.Company.Read(start_dir_);
    view_.title_colors.Read(start_dir_);
}

void ReceiveDataForm::WriteReceiveIni() const {
    ReceiveIni ini;
    ini.FuriganaShown = view_.furigana;
    ini.SettleDay = state_.SettleDay;
    ini.CarryOverMethod = state_.CarryOverMethod;
    ini.NoImportTitle = state_.NoImportTitle;
    ini.DisplayItemsOnly = view_.display_items_only;
    ini.CurrentMonthOnly = view_.current_month_only;
    ini.BackupPeriodLimited = view_.backup_period_limited;
    ini.Write(start_dir_);
}

}  // namespace ravelto::ledgerwin
