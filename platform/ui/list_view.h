// A list view in report style: columns with headers, rows of texts.
#pragma once

#include "platform/ui/control.h"

#include <vector>

namespace platform::ui {

class ListView : public Control {
public:
    ListView(Control &parent, std::string_view name, Rect rect);

    void addColumn(std::string_view header, int width);
    int columnCount() const;
    // Appends a row; missing cells are empty, extra cells are dropped. Returns its index.
    int addRow(const std::vector<std::string> &cells);
    int rowCount() const;
    std::string cell(int row, int column) const;
    void setCell(int row, int column, std::string_view text);
    void removeRow(int row);
    void clear();
    // Index of the selected row, or -1.
    int selectedRow() const;
    void selectRow(int row);
    // Takes the keyboard focus, makes `row` the selected, current one and opens an edit field over its
    // caption (the first column). The edited text simply stays in the cell. Out-of-range rows: nothing.
    void beginCaptionEdit(int row);
    // The row whose caption is being edited, or -1.
    int captionEditRow() const;
    // Called when the left mouse button goes down on a row (after that row became the selected one).
    void onPress(std::function<void()> handler);
    // What a press on `row` does; for tests.
    void press(int row);

private:
    std::function<void()> pressHandler_;
};

} // namespace platform::ui
