#pragma once

#include "scenario/scenariodocument.h"

#include <QGroupBox>
#include <QStringList>

class QButtonGroup;
class QLabel;
class QLineEdit;
class QListWidget;
class QRadioButton;
class QVBoxLayout;

namespace lcj {
class Prompts;
}

namespace lcj::scenario {

// What the editing frames of the scenario editor ask of the editor around
// them: its messages, its history, the names of the data file read, and the
// reference list of persons.
class FrameHost {
public:
    virtual ~FrameHost() = default;
    // Shows `text` in a message box with an OK button.
    virtual void say(const QString& text) = 0;
    // Shows `text` in the status line.
    virtual void tell(const QString& text) = 0;
    // Records the change of an edit of the document that has just succeeded, as one undo step
    // named `step` ("修改 敌军 3").
    virtual void edited(const QString& step) = 0;
    virtual QString personName(int n) const = 0;
    virtual QString itemName(int n) const = 0;
    // The names a character number box names: the data file's, else the fixed table.
    virtual QStringList characterNames() const = 0;
    // Selects a row of the persons' reference list, or none when out of range.
    virtual void selectPerson(int row) = 0;
    virtual bool dataLoaded() const = 0;
    virtual const QString& scenarioPath() const = 0;
    // The window and prompts a question is asked with.
    virtual QWidget* questionParent() = 0;
    virtual Prompts& prompts() const = 0;
};

// Boxes stored by a button of their own: whether they hold values typed but
// not stored, and storing them.
class EditPart {
public:
    virtual ~EditPart() = default;
    virtual bool holdsEdits() const = 0;
    // Stores the boxes as the button does; false when refused with a message.
    virtual bool confirmEdits() = 0;
};

// What a part's controls showed for the entry shown, so that typing not yet
// confirmed can be told apart.
class ShownValues {
public:
    void take(int row, QStringList values) {
        row_ = row;
        values_ = std::move(values);
    }
    // True when `row` is the entry shown and `values` differ from what was shown.
    bool edited(int row, const QStringList& values) const {
        return row >= 0 && row == row_ && values != values_;
    }

private:
    int row_ = -1;
    QStringList values_;
};

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
