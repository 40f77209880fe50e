// The personalisation and settings pages of the main window.
#include "app/personalisation.h"

#include "app/main_window.h"
#include "app/settings.h"
#include "app/tester_window.h"
#include "platform/shell/folders.h"
#include "platform/shell/open.h"

#include <string>

namespace {

// Everything ApplyThemeColour colours except the picker, which is the source when the user changes it.
void ColourHeader(MainWindow &w, uint32_t colour)
{
    w.图片框1.setBackColour(colour);
    w.透明标签22.setTextColour(colour);
    w.透明标签22.setCaption(std::to_string(static_cast<int32_t>(colour)));
    for (ui::Control *c : std::initializer_list<ui::Control *>{&w.主页, &w.手机, &w.软件, &w.登入})
        c->setBackColour(colour);
    for (ui::Control *c : std::initializer_list<ui::Control *>{&w.标签1, &w.标签2, &w.标签3, &w.标签5})
        c->setBackColour(colour);
}

void OnKeepColourClicked(MainWindow &w)
{
    const uint32_t colour = w.颜色选择器1.colour();
    ColourHeader(w, colour);
    WriteSetting(kThemeColourSection, kThemeColourKey, std::to_string(static_cast<int32_t>(colour)));
}

// The border choices of 组合框1, compared exactly; any other text changes nothing.
void OnChangeBorderClicked(MainWindow &w)
{
    const std::string choice = w.组合框1.caption();
    const struct {
        const char *text;
        int32_t code;
    } choices[] = {{"无边框(默认)", 0}, {"普通边框", 2}, {"窄标题边框", 4}};
    for (const auto &c : choices) {
        if (choice == c.text) {
            ApplyBorderStyle(w, c.code);
            WriteSetting(kBorderSection, kBorderKey, std::to_string(c.code));
            return;
        }
    }
}

void OnSwitchSkinClicked(MainWindow &w)
{
    if (w.单选框6.isSelected())
        RunTesterWindow(w);
}

void SetSaveRecords(MainWindow &w, int32_t value)
{
    w.透明标签26.setCaption("当前:" + std::to_string(value));
    WriteSetting(kSaveRecordsSection, kSaveRecordsKey, std::to_string(value));
    SaveRecordsSwitch.store(value);
}

void OnShowRecordFolderClicked() { platform::shell::openWithDesktop(platform::shell::favoritesFolder()); }

} // namespace

void ApplyThemeColour(MainWindow &w, uint32_t colour)
{
    w.颜色选择器1.setColour(colour);
    ColourHeader(w, colour);
}

void ApplyBorderStyle(MainWindow &w, int32_t code)
{
    w.window.setBorderStyle(code);
    const bool bordered = w.window.borderStyle() != 0;
    w.window.setHeight(bordered ? 540 : 505);
    w.关闭图标.setVisible(!bordered);
}

void AttachPersonalisationHandlers(MainWindow &w)
{
    w.按钮13.onClick([&w] { OnKeepColourClicked(w); });
    w.按钮15.onClick([&w] { OnChangeBorderClicked(w); });
    w.按钮14.onClick([&w] { OnSwitchSkinClicked(w); });
    w.按钮18.onClick([&w] { SetSaveRecords(w, 0); });
    w.按钮19.onClick([&w] { SetSaveRecords(w, 1); });
    w.按钮17.onClick(OnShowRecordFolderClicked);
}
