// Tab controls over QTabWidget; each page is a plain widget holding its controls.
#include "platform/ui/tab_control.h"

#include "platform/ui/qt_bridge.h"

#include <QTabBar>
#include <QTabWidget>

namespace platform::ui {

TabControl::TabControl(Control &parent, std::string_view name, Rect rect)
{
    auto *tabs = new QTabWidget;
    attach(tabs, &parent, name, rect);
    QObject::connect(tabs, &QTabWidget::currentChanged, tabs, [this] {
        if (pageChanged_)
            pageChanged_();
    });
}

TabControl::~TabControl() = default;

TabPage &TabControl::addPage(std::string_view caption, std::string_view toolTip)
{
    auto *tabs = static_cast<QTabWidget *>(widget_);
    auto page = std::unique_ptr<TabPage>(new TabPage);
    page->widget_ = new QWidget;
    page->widget_->setObjectName(widget_->objectName() + QStringLiteral("_page%1").arg(pages_.size()));
    const int index = tabs->addTab(page->widget_, toQString(caption));
    if (!toolTip.empty())
        tabs->setTabToolTip(index, toQString(toolTip));
    pages_.push_back(std::move(page));
    return *pages_.back();
}

std::string TabControl::pageCaption(int index) const
{
    return fromQString(static_cast<QTabWidget *>(widget_)->tabText(index));
}

std::string TabControl::pageToolTip(int index) const
{
    return fromQString(static_cast<QTabWidget *>(widget_)->tabToolTip(index));
}

int TabControl::currentPage() const { return static_cast<QTabWidget *>(widget_)->currentIndex(); }

void TabControl::setCurrentPage(int index)
{
    if (index >= 0 && index < pageCount())
        static_cast<QTabWidget *>(widget_)->setCurrentIndex(index);
}

void TabControl::setTabsVisible(bool visible) { static_cast<QTabWidget *>(widget_)->tabBar()->setVisible(visible); }

void TabControl::onPageChanged(std::function<void()> handler) { pageChanged_ = std::move(handler); }

} // namespace platform::ui
