#pragma once

#include <QByteArray>
#include <QString>
#include <functional>
#include <vector>

class QListWidget;
class QWidget;

namespace lcj {

class Prompts;
class RegionSet;

// Before a window moves on (another record, another section, closing) while
// its controls hold edits, it asks "保存" / "放弃" / "取消". True when it may
// go on: nothing was edited, `save` succeeded, or the user dropped the edits.
// A failed save (which has told the user why) and 取消 keep the edits.
bool settleEdits(Prompts& prompts, QWidget* parent, const QString& question, bool edited,
                 const std::function<bool()>& save);

// The same for a list's selection handler: the list has moved from
// `shownRow` to another row while the controls hold edits of `shownRow`. The
// selection goes back to `shownRow` (without running the handler) while the
// question is asked, so that `save` stores the record shown; when the window
// may go on, the selection moves on again, still without the handler; when it
// may not, the highlight stays on `shownRow`, also after a mouse press.
bool settleEditsBeforeRow(QListWidget* list, int shownRow, Prompts& prompts, QWidget* parent,
                          const QString& question, bool edited, const std::function<bool()>& save);

// What a region editor asks before another row while the controls hold
// edits not yet confirmed ("确定"); its "保存" confirms them.
QString unconfirmedQuestion();

// What a region editor does before it closes or reads another file, with
// edits not confirmed and confirmed edits not saved: "保存" confirms (when
// needed) and saves; true when it may go on.
bool settleRegionEdits(Prompts& prompts, QWidget* parent, const QString& question,
                       const std::function<bool()>& unconfirmed, bool unsaved,
                       const std::function<bool()>& confirm, const std::function<bool()>& save);

// The bytes of a region editor's regions as they are on disk (read or last
// saved), so that edits confirmed in memory but not saved can be told apart.
class SavedRegions {
public:
    void take(const RegionSet& regions);
    // Whether the regions in memory differ from the bytes on disk.
    bool differ(const RegionSet& regions) const;

private:
    std::vector<QByteArray> bytes_;
};

} // namespace lcj
