#pragma once

#include "common/result.h"
#include "fields/fieldtable.h"

#include <QString>
#include <QWidget>
#include <functional>
#include <memory>

class QTableView;

namespace lcj {
class Prompts;
}

namespace lcj::fields {

// Every change the view makes (a cell, a paste, a fill) is one call: `change`
// writes cells through the table and returns the first refusal. The owner
// snapshots its bytes before, restores them when `change` fails, records one
// undo step when it succeeds, and returns the failure (or nothing). `step`,
// asked after a change that succeeded, names the step as the history shows it
// ("粘贴 3 行 4 列", "修改 人物 5 武力 76 → 90\n修改 人物 5 武力").
using ChangeRunner = std::function<Failure(const std::function<Failure()>& change,
                                           const std::function<QString()>& step)>;

// Every record of a table at once, as a spreadsheet: a row per record, headed
// by its number (序号) and, where the table has one, its label; a column per
// field headed by the field's caption. Cells edit in place with the table's
// own checks; Ctrl+C copies, Ctrl+V pastes text from a spreadsheet, Ctrl+D
// fills down. A header click sorts; 序号 restores the file's order.
class FieldTableView : public QWidget {
    Q_OBJECT
public:
    FieldTableView(FieldTable& table, ChangeRunner run, Prompts& prompts,
                   QWidget* parent = nullptr);
    ~FieldTableView() override;

    FieldTable& table() const;
    // The table widget itself, objectName "table".
    QTableView* view() const;
    // The view laid over the table's first columns (序号 and the label, or the name where
    // there is no label), which stay at the left while the others scroll; objectName
    // "frozenColumns".
    QTableView* frozenView() const;
    // The title of the view's message boxes (the editor's caption).
    void setMessageTitle(const QString& title);

    // A table of the same shape over the bytes on disk: cells that differ from
    // it are marked until the next setSaved. Null marks nothing. The view
    // reads `saved` only; the caller keeps it alive or sets another.
    void setSaved(const FieldTable* saved);
    // The bytes changed under the table (undo, a form, a reload): reads every
    // cell again.
    void refresh();
    // Shows only rows whose number or label/name contains `text`; empty shows all.
    void setFilter(const QString& text);
    QString filter() const;

    // The record of the current cell, or -1.
    int currentRow() const;
    void setCurrentRow(int row);

    // The user's actions, also for menus.
    void copy();
    void paste();
    void fillDown();

signals:
    void currentRowChanged(int row);
    // After a change the owner ran and kept.
    void changed();
    // After a kept change that stored a cell other than typed (an odd 武力 is
    // stored even): the line for the owner's status line, each cell named,
    // joined by "；".
    void rounded(const QString& text);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void freezeNameColumns();

    struct Private;
    std::unique_ptr<Private> d;
};

} // namespace lcj::fields
