#include "common/ui/undohistory.h"

#include <gtest/gtest.h>

#include <QRandomGenerator>

using namespace lcj;

namespace {

// A ByteUndo over buffers handed in at each undo and redo, as an editor hands in its own by the
// functions that read and write them.
class Steps {
public:
    using Buffers = ByteUndo::Buffers;
    explicit Steps(int maxSteps = ByteUndo::defaultMaxSteps,
                   qint64 maxBytes = ByteUndo::defaultMaxBytes)
        : undo_([this] { return *target_; },
                [this](Buffers&& bytes) { *target_ = std::move(bytes); }, maxSteps, maxBytes) {}

    bool record(const Buffers& before, const Buffers& after) {
        return undo_.record(before, after, QStringLiteral("修改"));
    }
    bool record(const QByteArray& before, const QByteArray& after) {
        return record(Buffers{before}, Buffers{after});
    }
    bool undo(Buffers& buffers) { return move(buffers, true); }
    bool redo(Buffers& buffers) { return move(buffers, false); }
    bool undo(QByteArray& buffer) { return move(buffer, true); }
    bool redo(QByteArray& buffer) { return move(buffer, false); }
    void markSaved() { undo_.markSaved(); }
    bool modified() const { return undo_.modified(); }
    void reset() { undo_.clear(); }
    bool canUndo() const { return undo_.canUndo(); }
    bool canRedo() const { return undo_.canRedo(); }
    int undoSteps() const { return undo_.undoSteps(); }
    int redoSteps() const { return undo_.redoSteps(); }
    qint64 heldBytes() const { return undo_.heldBytes(); }

private:
    bool move(Buffers& buffers, bool back) {
        target_ = &buffers;
        return back ? undo_.undo() : undo_.redo();
    }
    bool move(QByteArray& buffer, bool back) {
        Buffers buffers{buffer};
        const bool done = move(buffers, back);
        buffer = buffers.front();
        return done;
    }
    Buffers* target_ = nullptr;
    ByteUndo undo_;
};

QByteArray filled(int size, quint32 seed) {
    QByteArray bytes(size, Qt::Uninitialized);
    QRandomGenerator random(seed);
    for (char& c : bytes)
        c = char(random.bounded(256));
    return bytes;
}

// Records `after` as the next step of `history` and makes it the current bytes.
void edit(Steps& history, QByteArray& current, const QByteArray& after) {
    ASSERT_TRUE(history.record(current, after));
    current = after;
}

// `bytes` with the byte at each of `offsets` changed.
QByteArray changedAt(QByteArray bytes, const std::vector<int>& offsets) {
    for (int at : offsets)
        bytes[at] = char(bytes[at] ^ 0x5a);
    return bytes;
}

} // namespace

TEST(ByteUndo, UndoToTheStartGivesTheLoadedBytesAndRedoTheEdited) {
    const QByteArray loaded = filled(4096, 1);
    QByteArray current = loaded;
    Steps history;
    std::vector<QByteArray> states{loaded};
    edit(history, current, changedAt(current, {0, 1, 2, 3}));
    states.push_back(current);
    edit(history, current, changedAt(current, {4095}));
    states.push_back(current);
    edit(history, current, filled(4096, 2)); // nearly every byte
    states.push_back(current);
    edit(history, current, changedAt(current, {7, 9, 11, 300, 2000, 2001}));
    states.push_back(current);
    EXPECT_EQ(history.undoSteps(), 4);

    for (int i = int(states.size()) - 2; i >= 0; --i) {
        ASSERT_TRUE(history.undo(current));
        EXPECT_EQ(current, states[size_t(i)]) << "after undoing to state " << i;
    }
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.undo(current));
    EXPECT_EQ(current, loaded);
    EXPECT_FALSE(history.modified());

    for (size_t i = 1; i < states.size(); ++i) {
        ASSERT_TRUE(history.redo(current));
        EXPECT_EQ(current, states[i]) << "after redoing to state " << i;
    }
    EXPECT_FALSE(history.redo(current));
    EXPECT_EQ(current, states.back());
    EXPECT_TRUE(history.modified());
}

TEST(ByteUndo, EqualBuffersOrAnotherShapeRecordNothing) {
    QByteArray current = filled(64, 3);
    Steps history;
    edit(history, current, changedAt(current, {5}));
    ASSERT_TRUE(history.undo(current));
    EXPECT_FALSE(history.record(current, current));
    EXPECT_FALSE(history.record(current, current + "x"));
    EXPECT_FALSE(history.record(std::vector<QByteArray>{current, current},
                                std::vector<QByteArray>{current}));
    EXPECT_EQ(history.redoSteps(), 1);
    EXPECT_EQ(history.undoSteps(), 0);
    EXPECT_FALSE(history.modified());
}

TEST(ByteUndo, ANewRecordForgetsRedo) {
    const QByteArray loaded = filled(256, 4);
    QByteArray current = loaded;
    Steps history;
    edit(history, current, changedAt(current, {10}));
    edit(history, current, changedAt(current, {20}));
    ASSERT_TRUE(history.undo(current));
    EXPECT_TRUE(history.canRedo());
    const QByteArray other = changedAt(current, {30});
    edit(history, current, other);
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.redoSteps(), 0);
    EXPECT_FALSE(history.redo(current));
    EXPECT_EQ(current, other);
    ASSERT_TRUE(history.undo(current));
    ASSERT_TRUE(history.undo(current));
    EXPECT_EQ(current, loaded);
}

TEST(ByteUndo, TheSavePointKeepsTheSteps) {
    const QByteArray loaded = filled(256, 5);
    QByteArray current = loaded;
    Steps history;
    edit(history, current, changedAt(current, {1}));
    edit(history, current, changedAt(current, {2}));
    const QByteArray saved = current;
    history.markSaved();
    EXPECT_FALSE(history.modified());
    EXPECT_EQ(history.undoSteps(), 2);

    ASSERT_TRUE(history.undo(current));
    EXPECT_TRUE(history.modified());
    ASSERT_TRUE(history.undo(current));
    EXPECT_EQ(current, loaded);
    EXPECT_TRUE(history.modified()); // the loaded state is no longer the one on disk
    ASSERT_TRUE(history.redo(current));
    ASSERT_TRUE(history.redo(current));
    EXPECT_EQ(current, saved);
    EXPECT_FALSE(history.modified());

    // An edit made after going back past the save can never reach the saved state again.
    ASSERT_TRUE(history.undo(current));
    edit(history, current, changedAt(current, {3}));
    EXPECT_TRUE(history.modified());
    ASSERT_TRUE(history.undo(current));
    EXPECT_TRUE(history.modified());

    history.reset();
    EXPECT_FALSE(history.modified());
    EXPECT_FALSE(history.canUndo());
    EXPECT_FALSE(history.canRedo());
    EXPECT_EQ(history.heldBytes(), 0);
}

TEST(ByteUndo, TheOldestStepsAreForgottenPastTheStepBound) {
    const QByteArray loaded = filled(128, 6);
    QByteArray current = loaded;
    Steps history(3);
    std::vector<QByteArray> states{loaded};
    for (int i = 0; i < 5; ++i) {
        edit(history, current, changedAt(current, {i * 10}));
        states.push_back(current);
    }
    EXPECT_EQ(history.undoSteps(), 3);
    while (history.undo(current)) {
    }
    EXPECT_EQ(current, states[2]);
    // The state loaded is out of reach: the bytes stay modified.
    EXPECT_TRUE(history.modified());
}

TEST(ByteUndo, TheOldestStepsAreForgottenPastTheByteBound) {
    const QByteArray loaded(64 * 1024, '\0');
    QByteArray current = loaded;
    Steps history(1000, 100 * 1024);
    std::vector<QByteArray> states{loaded};
    for (int i = 0; i < 4; ++i) {
        edit(history, current, filled(64 * 1024, quint32(10 + i))); // about 64 KiB a step
        states.push_back(current);
        EXPECT_LE(history.heldBytes(), 100 * 1024);
    }
    EXPECT_EQ(history.undoSteps(), 1);
    ASSERT_TRUE(history.undo(current));
    EXPECT_EQ(current, states[3]);
    EXPECT_TRUE(history.modified());

    // A step larger than the bound on its own is not kept at all.
    Steps small(1000, 1024);
    QByteArray bytes = loaded;
    edit(small, bytes, filled(64 * 1024, 20));
    EXPECT_FALSE(small.canUndo());
    EXPECT_TRUE(small.modified());
    EXPECT_EQ(small.heldBytes(), 0);
}

// Forgetting the oldest steps builds the stack again: the state on disk stays where it was.
TEST(ByteUndo, ForgettingKeepsTheSavedState) {
    const QByteArray loaded(64 * 1024, '\0');
    QByteArray current = loaded;
    Steps history(1000, 100 * 1024);
    edit(history, current, filled(64 * 1024, 50)); // about 64 KiB
    const QByteArray saved = changedAt(current, {1});
    edit(history, current, saved);
    history.markSaved();
    edit(history, current, changedAt(current, {2}));
    const QByteArray last = filled(64 * 1024, 51);
    edit(history, current, last); // forgets the first step
    EXPECT_EQ(history.undoSteps(), 3);
    EXPECT_LE(history.heldBytes(), 100 * 1024);
    EXPECT_TRUE(history.modified());
    ASSERT_TRUE(history.undo(current));
    ASSERT_TRUE(history.undo(current));
    EXPECT_EQ(current, saved);
    EXPECT_FALSE(history.modified());
    ASSERT_TRUE(history.undo(current));
    EXPECT_FALSE(history.canUndo());
    EXPECT_TRUE(history.modified());
    for (int i = 0; i < 3; ++i)
        ASSERT_TRUE(history.redo(current));
    EXPECT_EQ(current, last);
    EXPECT_FALSE(history.canRedo());
}

TEST(ByteUndo, AStepOverSeveralBuffers) {
    const std::vector<QByteArray> loaded{filled(100, 30), filled(0, 31), filled(50, 32),
                                         filled(7, 33)};
    std::vector<QByteArray> after = loaded;
    // A run that goes on from the end of one buffer over an empty one into the next.
    for (int i = 95; i < 100; ++i)
        after[0][i] = char(after[0][i] ^ 1);
    for (int i = 0; i < 3; ++i)
        after[2][i] = char(after[2][i] ^ 2);
    after[3][6] = char(after[3][6] ^ 4);
    Steps history;
    ASSERT_TRUE(history.record(loaded, after));
    std::vector<QByteArray> current = after;

    // Buffers of another shape are left alone, even of the same count and total size.
    std::vector<QByteArray> wrong{after[0], after[2]};
    EXPECT_FALSE(history.undo(wrong));
    EXPECT_EQ(wrong[0], after[0]);
    EXPECT_EQ(wrong[1], after[2]);
    std::vector<QByteArray> split{after[0].left(50), after[0].mid(50) + after[2].left(1),
                                  after[2].mid(1), after[3]};
    const std::vector<QByteArray> splitBefore = split;
    EXPECT_FALSE(history.undo(split));
    EXPECT_EQ(split, splitBefore);
    EXPECT_TRUE(history.canUndo());

    ASSERT_TRUE(history.undo(current));
    EXPECT_EQ(current, loaded);
    ASSERT_TRUE(history.redo(current));
    EXPECT_EQ(current, after);
}

// How the bytes of a step are changed: the count of bytes changed and the bytes after it.
struct Scatter {
    const char* name;
    int size;
    std::function<std::vector<int>(int size)> offsets;
};

class HeldBytes : public testing::TestWithParam<Scatter> {};

TEST_P(HeldBytes, AtMostTwiceTheBytesChangedAndOneKiBAStep) {
    const Scatter& scatter = GetParam();
    const QByteArray loaded = filled(scatter.size, 40);
    QByteArray current = loaded;
    Steps history;
    qint64 changed = 0;
    const int steps = 3;
    for (int s = 0; s < steps; ++s) {
        std::vector<int> offsets = scatter.offsets(scatter.size);
        for (int& o : offsets)
            o = (o + s) % scatter.size;
        edit(history, current, changedAt(current, offsets));
        changed += qint64(offsets.size());
    }
    EXPECT_LE(history.heldBytes(), 2 * changed + 1024 * steps) << scatter.name;
    EXPECT_GT(history.heldBytes(), changed) << scatter.name;
    for (int s = 0; s < steps; ++s)
        ASSERT_TRUE(history.undo(current));
    EXPECT_EQ(current, loaded);
}

std::vector<int> everyNth(int size, int n) {
    std::vector<int> offsets;
    for (int i = 0; i < size; i += n)
        offsets.push_back(i);
    return offsets;
}

INSTANTIATE_TEST_SUITE_P(
    Scatters, HeldBytes,
    testing::Values(
        Scatter{"every other byte", 1 << 20, [](int size) { return everyNth(size, 2); }},
        Scatter{"every third byte", 1 << 20, [](int size) { return everyNth(size, 3); }},
        Scatter{"every 17th byte", 1 << 20, [](int size) { return everyNth(size, 17); }},
        Scatter{"every 100th byte", 1 << 20, [](int size) { return everyNth(size, 100); }},
        Scatter{"one byte", 1 << 20, [](int) { return std::vector<int>{123456}; }},
        Scatter{"a thousand bytes anywhere", 1 << 20,
                [](int size) {
                    std::vector<int> offsets;
                    QRandomGenerator random(41);
                    for (int i = 0; i < 1000; ++i)
                        offsets.push_back(random.bounded(size));
                    std::sort(offsets.begin(), offsets.end());
                    offsets.erase(std::unique(offsets.begin(), offsets.end()), offsets.end());
                    return offsets;
                }},
        Scatter{"close bytes and one far away", 1 << 20,
                [](int size) {
                    std::vector<int> offsets = everyNth(20000, 2);
                    offsets.push_back(size - 1);
                    return offsets;
                }},
        Scatter{"four bytes of each record of 77", 1 << 20,
                [](int size) {
                    std::vector<int> offsets;
                    for (int r = 0; r + 77 <= size; r += 77)
                        for (int i : {5, 6, 40, 41})
                            offsets.push_back(r + i);
                    return offsets;
                }}),
    [](const testing::TestParamInfo<Scatter>& info) { return std::to_string(info.index); });
