// The first-run wizard's pages and buttons.
#include "app/setup_wizard.h"

#include "app/settings.h"
#include "platform/ui/message_box.h"

namespace {

void OnPageChanged(SetupWizardWindow &w) { w.按钮2.setEnabled(w.高级选择夹1.currentPage() > 0); }

void OnNextClicked(SetupWizardWindow &w)
{
    const int page = w.高级选择夹1.currentPage();
    if (page <= 0) {
        w.高级选择夹1.setCurrentPage(page + 1);
        return;
    }
    ui::messageBox("你已完成设置，请重新打开软件", ui::MessageIcon::Information, "提示");
    WriteSetting(kFirstOpenSection, kFirstOpenKey, "1");
    if (!w.WizardAnswered) {
        ui::messageBox("有一选项未选择,已设为默认", ui::MessageIcon::None);
        WriteSetting(kSaveRecordsSection, kSaveRecordsKey, "0");
    }
}

} // namespace

SetupWizardWindow::SetupWizardWindow()
{
    高级选择夹1.onPageChanged([this] { OnPageChanged(*this); });
    OnPageChanged(*this);
    按钮3.onClick([this] {
        WriteSetting(kSaveRecordsSection, kSaveRecordsKey, "0");
        WizardAnswered = true;
    });
    按钮4.onClick([this] {
        WriteSetting(kSaveRecordsSection, kSaveRecordsKey, "1");
        WizardAnswered = true;
    });
    按钮1.onClick([this] { OnNextClicked(*this); });
    按钮2.onClick([this] { 高级选择夹1.setCurrentPage(高级选择夹1.currentPage() - 1); });
}

void RunSetupWizard()
{
    SetupWizardWindow wizard;
    wizard.window.showModal();
}
