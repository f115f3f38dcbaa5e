#pragma once

#include "changes/scenariochanges.h"

#include <QWidget>

class QLabel;
class QListWidget;

namespace lcj::scenario {

class Junben;

// "修改清单": what the next save changes against the file on disk, field by
// field in the words of the frames. It follows every confirm, undo and redo,
// and is empty after a load or a save. A double click selects the entry.
class ChangesPanel : public QWidget {
    Q_OBJECT
public:
    explicit ChangesPanel(Junben& junben, QWidget* parent = nullptr);

    const QList<changes::Change>& changes() const { return changes_; }

    void refresh();
    void List1_DblClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    Junben& junben_;
    QList<changes::Change> changes_; // the ones listed, in the list's order
    QLabel* changeCount;
    QListWidget* changeList;
};

} // namespace lcj::scenario
