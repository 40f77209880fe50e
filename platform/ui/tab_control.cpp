// Tab controls: a QTabBar over a stack of full-size page widgets, so page coordinates are the tab
// control's own.
#include "platform/ui/tab_control.h"

#include "platform/ui/qt_bridge.h"

#include <QPainter>
#include <QStyleOptionTabWidgetFrame>
#include <QTabBar>
#include <QWidget>

namespace platform::ui {
namespace {

class TabSurface : public QWidget {
public:
    TabSurface()
    {
        bar = new QTabBar(this);
        bar->setObjectName(QStringLiteral("tabs"));
        bar->setDrawBase(false);
    }
    QTabBar *bar;

protected:
    void resizeEvent(QResizeEvent *) override { placeBar(); }
    void paintEvent(QPaintEvent *) override
    {
        if (!bar->isVisible())
            return;
        QPainter p(this);
        p.setPen(palette().color(QPalette::Mid));
        p.drawRect(0, bar->height() - 1, width() - 1, height() - bar->height());
    }

public:
    void placeBar()
    {
        bar->setGeometry(0, 0, width(), bar->sizeHint().height());
        bar->raise();
    }
};

TabSurface *surface(QWidget *w) { return static_cast<TabSurface *>(w); }

} // namespace

TabControl::TabControl(Control &parent, std::string_view name, Rect rect, const std::vector<PageSpec> &pages)
{
    auto *tabs = new TabSurface;
    attach(tabs, &parent, name, rect);
    for (const PageSpec &page : pages)
        addPage(page.caption, page.toolTip);
    QObject::connect(tabs->bar, &QTabBar::currentChanged, tabs, [this](int index) { showPage(index); });
    showPage(pages_.empty() ? -1 : 0);
}

TabControl::~TabControl() = default;

TabPage &TabControl::addPage(std::string_view caption, std::string_view toolTip)
{
    TabSurface *tabs = surface(widget_);
    auto page = std::unique_ptr<TabPage>(new TabPage);
    page->widget_ = new QWidget(tabs);
    page->widget_->setObjectName(widget_->objectName() + QStringLiteral("_page%1").arg(pages_.size()));
    page->widget_->setGeometry(0, 0, tabs->width(), tabs->height());
    page->widget_->hide();
    const QSignalBlocker block(tabs->bar);
    const int index = tabs->bar->addTab(toQString(caption));
    if (!toolTip.empty())
        tabs->bar->setTabToolTip(index, toQString(toolTip));
    pages_.push_back(std::move(page));
    tabs->placeBar();
    if (current_ < 0)
        showPage(0);
    return *pages_.back();
}

void TabControl::showPage(int index)
{
    if (index < 0 || index >= pageCount() || index == current_)
        return;
    TabSurface *tabs = surface(widget_);
    if (current_ >= 0)
        pages_[static_cast<size_t>(current_)]->widget_->hide();
    current_ = index;
    QWidget *page = pages_[static_cast<size_t>(index)]->widget_;
    page->setGeometry(0, 0, tabs->width(), tabs->height());
    page->show();
    tabs->bar->raise();
    {
        const QSignalBlocker block(tabs->bar);
        tabs->bar->setCurrentIndex(index);
    }
    if (pageChanged_)
        pageChanged_();
}

std::string TabControl::pageCaption(int index) const { return fromQString(surface(widget_)->bar->tabText(index)); }

std::string TabControl::pageToolTip(int index) const
{
    return fromQString(surface(widget_)->bar->tabToolTip(index));
}

int TabControl::currentPage() const { return current_; }

void TabControl::setCurrentPage(int index) { showPage(index); }

void TabControl::setTabsVisible(bool visible)
{
    surface(widget_)->bar->setVisible(visible);
    widget_->update();
}

bool TabControl::tabsVisible() const { return !surface(widget_)->bar->isHidden(); }

void TabControl::onPageChanged(std::function<void()> handler) { pageChanged_ = std::move(handler); }

} // namespace platform::ui
