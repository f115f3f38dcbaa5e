#pragma once

#include <functional>

class QAction;
class QMenu;

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

} // namespace lcj::fields
