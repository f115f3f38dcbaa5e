#pragma once

// What the window benchmarks share: one editor driven as the window tests
// drive it (the same harness), a way to let it finish what a click starts
// (layouts and the repaint), a check that the repaint really happened, and the
// goal labels that ./bench.sh reads.
//
// Goal labels (the benchmark's label, read by ./bench.sh):
//   goal<4ms             the time is under 4 ms
//   goal>300MB/s         the throughput is above 300 MB/s
//   goal<=1.1x:Peer      the time is at most 1.1 times that of benchmark Peer
//   goal>=0.5x:Peer      the throughput is at least half that of benchmark Peer
//   peer                 a floor other figures are compared with
#include "support/editorharness.h"

#include <QApplication>
#include <QEvent>
#include <QWidget>
#include <benchmark/benchmark.h>

namespace lcj::bench {

inline constexpr const char* frameGoal = "goal<16ms";

// Runs what the event loop would run before the user sees the result of an
// action: posted layout requests, then the repaint of every dirty widget into
// the window's backing store. Two passes: a layout pass may mark more widgets dirty.
inline void settle() {
    for (int pass = 0; pass < 2; ++pass) {
        QCoreApplication::sendPostedEvents();
        QApplication::processEvents();
    }
}

// Counts the paint events of a window and its controls, so that a benchmark
// can tell the repaint it waits for has really happened.
class PaintCounter : public QObject {
public:
    explicit PaintCounter(QWidget* window) : window_(window) { qApp->installEventFilter(this); }
    ~PaintCounter() override { qApp->removeEventFilter(this); }
    int count() const { return count_; }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (event->type() == QEvent::Paint && watched->isWidgetType() &&
            (watched == window_ || window_->isAncestorOf(static_cast<QWidget*>(watched))))
            ++count_;
        return false;
    }

private:
    QWidget* window_;
    int count_ = 0;
};

// One editor window on a test copy of its file, shown.
template <class Window> struct Editor : test::EditorHarness<Window> {
    Editor() {
        this->start();
        this->form->resize(1024, 720);
        settle();
    }
    // Opens `bytes` as `fileName` with the menu entry `command`.
    void openFile(const char* fileName, const QByteArray& bytes, const char* command) {
        this->open(QString::fromLatin1(fileName), bytes, command);
        settle();
    }
    // Opens the file opened last again, as the user does from the menu.
    void reopen(const char* command) {
        this->prompts.openAnswers.enqueue(this->path);
        this->trigger(command);
    }
    // A message shown means the action failed: the figure would time a refusal.
    bool quiet(benchmark::State& state) {
        if (this->prompts.messages.isEmpty())
            return true;
        state.SkipWithError(qPrintable(this->prompts.lastMessage()));
        return false;
    }
};

// Fails the benchmark when `counter` saw no paint since `before`: the action
// was timed without the repaint the user waits for.
inline bool repainted(benchmark::State& state, const PaintCounter& counter, int before) {
    if (counter.count() > before)
        return true;
    state.SkipWithError("the window was not repainted");
    return false;
}

} // namespace lcj::bench
