#pragma once

#include <QString>
#include <functional>

class QListWidget;
class QWidget;

namespace lcj {

class Prompts;

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
// may go on, the selection moves on again, still without the handler.
bool settleEditsBeforeRow(QListWidget* list, int shownRow, Prompts& prompts, QWidget* parent,
                          const QString& question, bool edited, const std::function<bool()>& save);

} // namespace lcj
