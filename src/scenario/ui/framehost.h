#pragma once

#include <QString>
#include <QStringList>

class QWidget;

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

} // namespace lcj::scenario
