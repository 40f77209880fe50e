// A tab control whose pages hold child controls. As in the designer the program's layout comes from,
// a page's coordinates are those of the whole tab control: the row of tabs lies over the top of every
// page (so laid-out controls start below it).
#pragma once

#include "platform/ui/control.h"

#include <memory>
#include <vector>

namespace platform::ui {

class TabControl;

// One page: a parent for controls.
class TabPage : public Control {
public:
    QWidget *childArea() const override { return widget_; }

private:
    friend class TabControl;
    TabPage() = default;
};

class TabControl : public Control {
public:
    struct PageSpec {
        std::string caption;
        std::string toolTip;
    };

    TabControl(Control &parent, std::string_view name, Rect rect, const std::vector<PageSpec> &pages = {});
    ~TabControl() override;

    TabPage &addPage(std::string_view caption, std::string_view toolTip = {});
    TabPage &page(int index) { return *pages_.at(static_cast<size_t>(index)); }
    int pageCount() const { return static_cast<int>(pages_.size()); }
    std::string pageCaption(int index) const;
    std::string pageToolTip(int index) const;
    int currentPage() const;
    // Out-of-range indexes change nothing.
    void setCurrentPage(int index);
    void setTabsVisible(bool visible);
    bool tabsVisible() const;
    // Called after the shown page changed (by the program or by a click on a tab).
    void onPageChanged(std::function<void()> handler);

private:
    void showPage(int index);
    std::vector<std::unique_ptr<TabPage>> pages_;
    int current_ = -1;
    std::function<void()> pageChanged_;
};

} // namespace platform::ui
