#pragma once

#include <functional>

class QAction;
class QListWidget;
class QMenu;
class QWidget;

namespace lcj::fields {

class FieldTableView;

// 复制 (`copy`, Ctrl+C), 粘贴 (`paste`, Ctrl+V) and 向下填充 (`filldown`, Ctrl+D) at the end of
// an editor's 编辑 menu, after a separator. Each runs the command of the table `shown` gives
// (null while the editor shows no table) and is enabled only while there is one: `update()`
// after the table is shown or hidden (opening the menu updates them too). The keys are the
// table's own, shown beside the entries; they act where the keyboard is in the table.
struct TableCommands {
    QAction* copy = nullptr;
    QAction* paste = nullptr;
    QAction* fillDown = nullptr;
    std::function<FieldTableView*()> shown;
    void update() const;
};
TableCommands addTableCommands(QMenu* menu, std::function<FieldTableView*()> shown);
// The same for an editor whose 查看 → 表格 is `tableAction`: the commands act on `table()`
// while it is checked and follow it when it is toggled.
TableCommands addTableCommands(QMenu* menu, QAction* tableAction,
                               std::function<FieldTableView*()> table);

// 表格 of an editor that shows one record in `form` beside its `list`: `on` shows `table`
// in the form's place at `row`, once `settle` has settled values typed into the form and
// not confirmed (false: the user kept them, the form stays and `tableAction` is unchecked
// again); off shows the form again at the table's row.
void showTableInstead(bool on, QWidget* form, FieldTableView* table, QAction* tableAction,
                      QListWidget* list, int row, const std::function<bool()>& settle);

} // namespace lcj::fields
