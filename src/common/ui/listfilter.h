#pragma once

#include <QLineEdit>

class QListWidget;

namespace lcj {

// A box above a long list that keeps in view the entries whose record number
// or text contains what is typed. It only hides rows: every row keeps its
// place, so which record an entry stands for, what is selected and what is
// saved never change. Clearing it shows every entry again, the selected one
// scrolled into view. It is named after its list ("List1" gets "List1Filter").
class ListFilter : public QLineEdit {
    Q_OBJECT
public:
    // Row r of `list` has the record number first + r.
    explicit ListFilter(QListWidget* list, int first = 0);

    QListWidget* list() const { return list_; }
    // Hides and shows rows for the text typed; runs by itself whenever the
    // text or the list's entries change.
    void apply();

    // The filter box nearest the keyboard focus in `window` (in the same frame
    // when there is one there), or the first one shown.
    static ListFilter* nearestFocus(QWidget* window);

protected:
    // The box is shown and hidden with its list.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    QListWidget* list_;
    int first_;
};

} // namespace lcj
