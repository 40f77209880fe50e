// Report-style list views over QTreeWidget (flat rows, one text per column).
#include "platform/ui/list_view.h"

#include "platform/ui/qt_bridge.h"

#include <QGuiApplication>
#include <QHeaderView>
#include <QTreeWidget>

namespace platform::ui {
namespace {

// The report view; it tells whether an edit field is open over one of its cells.
class ReportView : public QTreeWidget {
public:
    bool editing() const { return state() == QAbstractItemView::EditingState; }
};

QTreeWidget *tree(QWidget *w) { return static_cast<QTreeWidget *>(w); }

} // namespace

ListView::ListView(Control &parent, std::string_view name, Rect rect)
{
    auto *view = new ReportView;
    view->setRootIsDecorated(false);
    view->setUniformRowHeights(true);
    view->setColumnCount(0);
    view->setSelectionMode(QAbstractItemView::SingleSelection);
    view->header()->setStretchLastSection(true);
    attach(view, &parent, name, rect);
    QObject::connect(view, &QTreeWidget::itemPressed, view, [this](QTreeWidgetItem *, int) {
        if (pressHandler_ && QGuiApplication::mouseButtons() == Qt::LeftButton)
            pressHandler_();
    });
}

void ListView::beginCaptionEdit(int row)
{
    QTreeWidget *view = tree(widget_);
    QTreeWidgetItem *item = view->topLevelItem(row);
    if (!item)
        return;
    if (!view->hasFocus())
        view->setFocus();
    selectRow(row);
    item->setFlags(item->flags() | Qt::ItemIsEditable);
    view->editItem(item, 0);
}

int ListView::captionEditRow() const
{
    QTreeWidget *view = tree(widget_);
    if (!static_cast<ReportView *>(view)->editing())
        return -1;
    return view->indexOfTopLevelItem(view->currentItem());
}

void ListView::onPress(std::function<void()> handler) { pressHandler_ = std::move(handler); }

void ListView::press(int row)
{
    selectRow(row);
    if (pressHandler_)
        pressHandler_();
}

void ListView::addColumn(std::string_view header, int width)
{
    QTreeWidget *view = tree(widget_);
    const int column = view->columnCount();
    view->setColumnCount(column + 1);
    view->headerItem()->setText(column, toQString(header));
    view->setColumnWidth(column, width);
}

int ListView::columnCount() const { return tree(widget_)->columnCount(); }

int ListView::addRow(const std::vector<std::string> &cells)
{
    QTreeWidget *view = tree(widget_);
    auto *item = new QTreeWidgetItem;
    const int columns = std::max(view->columnCount(), 1);
    for (int c = 0; c < columns && c < static_cast<int>(cells.size()); ++c)
        item->setText(c, toQString(cells[static_cast<size_t>(c)]));
    view->addTopLevelItem(item);
    return view->topLevelItemCount() - 1;
}

int ListView::rowCount() const { return tree(widget_)->topLevelItemCount(); }

std::string ListView::cell(int row, int column) const
{
    QTreeWidgetItem *item = tree(widget_)->topLevelItem(row);
    return item ? fromQString(item->text(column)) : std::string();
}

void ListView::setCell(int row, int column, std::string_view text)
{
    if (QTreeWidgetItem *item = tree(widget_)->topLevelItem(row))
        item->setText(column, toQString(text));
}

void ListView::removeRow(int row) { delete tree(widget_)->takeTopLevelItem(row); }

void ListView::clear() { tree(widget_)->clear(); }

int ListView::selectedRow() const
{
    QTreeWidget *view = tree(widget_);
    const QList<QTreeWidgetItem *> selected = view->selectedItems();
    return selected.isEmpty() ? -1 : view->indexOfTopLevelItem(selected.first());
}

void ListView::selectRow(int row)
{
    QTreeWidget *view = tree(widget_);
    view->clearSelection();
    if (QTreeWidgetItem *item = view->topLevelItem(row)) {
        item->setSelected(true);
        view->setCurrentItem(item);
    }
}

} // namespace platform::ui
