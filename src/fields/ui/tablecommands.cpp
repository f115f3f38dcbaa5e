#include "tablecommands.h"

#include "fieldtableview.h"

#include <QAction>
#include <QListWidget>
#include <QMenu>
#include <QSignalBlocker>

namespace lcj::fields {

void TableCommands::update() const {
    if (!copy)
        return;
    FieldTableView* table = shown ? shown() : nullptr;
    const bool on = table && table->isVisible() && table->isEnabled();
    for (QAction* entry : {copy, paste, fillDown})
        entry->setEnabled(on);
}

TableCommands addTableCommands(QMenu* menu, std::function<FieldTableView*()> shown) {
    TableCommands commands;
    commands.shown = std::move(shown);
    menu->addSeparator();
    auto add = [&](const QString& caption, const QString& name, const QKeySequence& key,
                   void (FieldTableView::*command)()) {
        QAction* entry = menu->addAction(caption);
        entry->setObjectName(name);
        entry->setShortcut(key);
        // Shown in the menu only: the table answers the key itself, where it has the keyboard.
        entry->setShortcutContext(Qt::WidgetShortcut);
        entry->setEnabled(false);
        QObject::connect(entry, &QAction::triggered, menu, [shown = commands.shown, command] {
            if (FieldTableView* table = shown())
                if (table->isVisible())
                    (table->*command)();
        });
        return entry;
    };
    commands.copy = add(QStringLiteral("复制"), QStringLiteral("copy"), QKeySequence::Copy,
                        &FieldTableView::copy);
    commands.paste = add(QStringLiteral("粘贴"), QStringLiteral("paste"), QKeySequence::Paste,
                         &FieldTableView::paste);
    commands.fillDown = add(QStringLiteral("向下填充"), QStringLiteral("filldown"),
                            QKeySequence(Qt::CTRL | Qt::Key_D), &FieldTableView::fillDown);
    QObject::connect(menu, &QMenu::aboutToShow, menu, [commands] { commands.update(); });
    return commands;
}

TableCommands addTableCommands(QMenu* menu, QAction* tableAction,
                               std::function<FieldTableView*()> table) {
    TableCommands commands =
        addTableCommands(menu, [tableAction, table = std::move(table)]() -> FieldTableView* {
            return tableAction->isChecked() ? table() : nullptr;
        });
    QObject::connect(
        tableAction, &QAction::toggled, tableAction, [commands] { commands.update(); },
        Qt::QueuedConnection);
    return commands;
}

void showTableInstead(bool on, QWidget* form, FieldTableView* table, QAction* tableAction,
                      QListWidget* list, int row, const std::function<bool()>& settle) {
    // The table would show the stored values beside the typed ones.
    if (on && !form->isHidden() && !settle()) {
        const QSignalBlocker blocker(tableAction);
        tableAction->setChecked(false);
        return;
    }
    if (on) {
        table->refresh();
        table->setCurrentRow(row);
    } else if (const int current = table->currentRow();
               current >= 0 && current != list->currentRow()) {
        list->setCurrentRow(current);
    }
    form->setVisible(!on);
    table->setVisible(on);
}

} // namespace lcj::fields
