#pragma once

#include "common/xorruns.h"

#include <QObject>
#include <QString>
#include <functional>
#include <memory>
#include <vector>

class QAction;
class QMenu;
class QUndoStack;
class QWidget;

namespace lcj {

// The undo and redo of one document: a QUndoStack of named steps, bounded in steps and in the
// bytes its steps hold. Each step keeps only what its edit changed; past either bound the oldest
// steps are forgotten. A step's text is "long\nshort": the history view shows the long part
// ("修改 人物 5 武力 76 → 90"), the entries 撤销 and 重做 the short one ("修改 人物 5 武力").
//
// Saving makes the state on disk the clean one and keeps every step: an undo past the save
// marks the document modified again, a redo back to it clean; a clean state whose steps were
// forgotten is never reached again, so the document stays modified.
class UndoHistory : public QObject {
    Q_OBJECT
public:
    // What one edit changed, able to take it back from its document and make it again.
    class Step {
    public:
        virtual ~Step() = default;
        virtual void undo() = 0;
        virtual void redo() = 0;
        // Whether the document is of the shape the step was taken on.
        virtual bool fits() const { return true; }
        // Memory the step holds, by the measure the byte bound applies.
        virtual qint64 cost() const = 0;
    };

    UndoHistory(int maxSteps, qint64 maxBytes, QObject* parent = nullptr);
    ~UndoHistory() override;

    QUndoStack* stack() const { return stack_; }
    // A fresh load: no steps, nothing modified.
    void clear();
    // `step` was just done on the document: it becomes the last step, the steps waiting to be
    // redone are forgotten. A step larger than the byte bound alone is not kept at all.
    void push(std::shared_ptr<Step> step, const QString& text);
    // The last step an undo takes back (null: none), for an owner that adds to it what a save
    // did; recount() after its cost changed.
    Step* lastStep() const;
    void recount();
    // What the document holds now is on disk; the steps are kept.
    void markSaved();
    bool modified() const;
    bool canUndo() const;
    bool canRedo() const;
    // Takes the last step back (makes the last one taken back again); false and nothing
    // changed when there is none or the document is not of its shape.
    bool undo();
    bool redo();
    int undoSteps() const;
    int redoSteps() const;
    qint64 heldBytes() const;

    // 撤销 and 重做 read "撤销 <the step's short text>" ("撤销" with no step) and are enabled while
    // there is a step to take.
    void drive(QAction* undo, QAction* redo);
    // 历史 (`history`) in `view`: a tool window beside `window` with the steps in a QUndoView,
    // the state on disk marked; a click on a step goes back or forward to it, once `mayMove`
    // (none: always) settled what the editor holds outside the history.
    QAction* addHistoryEntry(QMenu* view, QWidget* window, std::function<bool()> mayMove = {});

signals:
    // The stack moved the document back or forward (an undo, a redo, a click in the history
    // view): the editor shows it anew.
    void moved();

private:
    class Command;
    Step* stepAt(int index) const;
    void trim();

    QUndoStack* stack_;
    qint64 maxBytes_;
    // Set while steps are pushed or the stack is rebuilt: the commands leave the document
    // alone and nothing is told.
    bool quiet_ = false;
    QWidget* view_ = nullptr;
    QAction* undoEntry_ = nullptr; // from drive(): their keys work in the history window too
    QAction* redoEntry_ = nullptr;
};

// The undo of buffers of fixed sizes (a data file, the regions of a region set): each step the
// XorRuns of one edit, applied to the buffers `read` gives and put back by `write`.
class ByteUndo : public UndoHistory {
    Q_OBJECT
public:
    using Buffers = std::vector<QByteArray>;
    static constexpr int defaultMaxSteps = 1000;
    static constexpr qint64 defaultMaxBytes = 16 * 1024 * 1024;

    ByteUndo(std::function<Buffers()> read, std::function<void(Buffers&&)> write,
             int maxSteps = defaultMaxSteps, qint64 maxBytes = defaultMaxBytes,
             QObject* parent = nullptr);

    // One step from `before` to `after`, named `text`; false and nothing recorded when they
    // are equal or do not match in shape.
    bool record(const Buffers& before, const Buffers& after, const QString& text);
    bool record(const QByteArray& before, const QByteArray& after, const QString& text);

private:
    class RunsStep;
    std::function<Buffers()> read_;
    std::function<void(Buffers&&)> write_;
};

} // namespace lcj
