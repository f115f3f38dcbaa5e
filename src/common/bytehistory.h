#pragma once

#include <QByteArray>
#include <deque>
#include <vector>

namespace lcj {

// Undo and redo over buffers of fixed sizes: a data file, the regions of a region set.
// A step keeps only the bytes that changed, as runs of before XOR after (so undo and redo
// apply the same step), which keeps its memory at about the bytes changed plus a small head.
//
// The buffers of a step are read as one stretch, one after the other. The runs of a step are
// stored packed: where each run starts (the count of equal bytes since the last one) and its
// length are written in as few bits as their sizes allow, the XOR bytes follow in one piece.
// The history is bounded in steps and in bytes held: past either bound the oldest steps are
// forgotten.
class ByteHistory {
public:
    static constexpr int defaultMaxSteps = 1000;
    static constexpr qint64 defaultMaxBytes = 16 * 1024 * 1024;

    explicit ByteHistory(int maxSteps = defaultMaxSteps, qint64 maxBytes = defaultMaxBytes);

    // A fresh load: no steps, nothing modified.
    void reset();
    // One step from `before` to `after` (same count of buffers, each of the same size);
    // false and nothing recorded when they are equal or do not match in shape. Forgets every
    // redo step.
    bool record(const std::vector<QByteArray>& before, const std::vector<QByteArray>& after);
    bool record(const QByteArray& before, const QByteArray& after);
    bool canUndo() const { return !undo_.empty(); }
    bool canRedo() const { return !redo_.empty(); }
    // Takes the last step back from `buffers` (makes the last one taken back again). False and
    // nothing changed when there is no step or the buffers are not of the step's shape.
    bool undo(std::vector<QByteArray>& buffers);
    bool undo(QByteArray& buffer);
    bool redo(std::vector<QByteArray>& buffers);
    bool redo(QByteArray& buffer);
    // What the buffers hold now is on disk; the steps are kept.
    void markSaved() { clean_ = state_; }
    // True when the buffers differ from the state loaded or last saved (a saved state whose
    // steps were forgotten can never come back: from then on the buffers stay modified).
    bool modified() const { return state_ != clean_; }
    int undoSteps() const { return int(undo_.size()); }
    int redoSteps() const { return int(redo_.size()); }
    // Memory the steps hold, heads included.
    qint64 heldBytes() const { return held_; }

private:
    struct Step {
        QByteArray runs;  // packed runs, see bytehistory.cpp
        qint64 total = 0; // the bytes of all buffers together
        int buffers = 0;  // how many buffers
        int stateBefore = 0;
        int stateAfter = 0;
    };
    static qint64 cost(const Step& step);
    bool move(std::deque<Step>& from, std::deque<Step>& to, std::vector<QByteArray>& buffers,
              bool back);

    int maxSteps_;
    qint64 maxBytes_;
    std::deque<Step> undo_;
    std::deque<Step> redo_;
    qint64 held_ = 0;
    int state_ = 0; // number of the current state
    int clean_ = 0; // number of the state on disk
    int next_ = 1;
};

} // namespace lcj
