#pragma once

#include "editpart.h"
#include "framehost.h"
#include "scenario/scenariodocument.h"

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QVBoxLayout;

namespace lcj::scenario {

// One editing frame of the scenario editor: builds its controls, shows the
// document's entries in them and stores them into the document.
class ScenarioFrame : public QGroupBox, public EditPart {
public:
    ScenarioFrame(FrameHost& host, ScenarioDocument& doc, const QString& objectName,
                  const QString& caption);

    // Fills the frame's lists afresh for a document just loaded.
    virtual void showDocument() = 0;
    // Shows the document again after an undo, a redo or a save: the lists refilled, the entry
    // selected before selected again, and every box showing what is stored for it. Boxes
    // whose text stays keep their caret.
    virtual void showStored() = 0;
    // Disables what a document without a battle header must not write through;
    // the other buttons wait for a selection.
    virtual void enableForDocument() {}
    // What the lists leave out, as tooltips.
    virtual void refreshTips() {}

protected:
    FrameHost& host_;
    ScenarioDocument& doc_;
};

// ---- shared by the frames

// Shows `text` in `box`; a box that shows it already is left alone, its caret, its
// selection and its own undo steps kept.
void showText(QLineEdit* box, const QString& text);
// Selects `row` of a list just refilled again, without the signals of a click; false when
// the list has no such row any more.
bool selectAgain(QListWidget* list, int row);
// The word a list shows for an empty entry.
QString noneName();
// The values of line edits, radio buttons and combo boxes, in order.
QStringList controlValues(const QList<const QWidget*>& controls);
// The selected row of `list` when below `count`, else -1.
int selectedRow(const QListWidget* list, int count);
void showOptions(QButtonGroup* group, QRadioButton* initial, QRadioButton* story,
                 Appearance appearance, bool& kept);
Appearance chosenOptions(const QRadioButton* initial, const QRadioButton* story, bool kept);

// Helpers that build the named controls of the frames.
QListWidget* namedList(const QString& objectName, int width);
QLabel* namedLabel(const QString& objectName, const QString& caption);
QRadioButton* namedOption(const QString& objectName, const QString& caption);
// A list with a caption above it.
QVBoxLayout* captioned(const QString& caption, QListWidget* list);

} // namespace lcj::scenario
