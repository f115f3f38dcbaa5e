#pragma once

// The moment a started program is on screen: its main window shown and
// painted once. Shared by the program probe and the minimal window it is
// compared with, so that both stop their clocks at the same point.
#include <QApplication>
#include <QElapsedTimer>
#include <QEvent>
#include <QWidget>
#include <chrono>
#include <cstdio>

namespace lcj::bench {

// Runs the event loop until `window` or one of its children has been painted;
// false when that has not happened within ten seconds.
inline bool waitForFirstPaint(QWidget* window) {
    struct Watcher : QObject {
        QWidget* window = nullptr;
        bool painted = false;
        bool eventFilter(QObject* watched, QEvent* event) override {
            if (event->type() == QEvent::Paint && watched->isWidgetType() &&
                (watched == window || window->isAncestorOf(static_cast<QWidget*>(watched))))
                painted = true;
            return false;
        }
    } watcher;
    watcher.window = window;
    qApp->installEventFilter(&watcher);
    QElapsedTimer clock;
    clock.start();
    while (!watcher.painted && clock.elapsed() < 10000)
        QApplication::processEvents(QEventLoop::WaitForMoreEvents, 50);
    qApp->removeEventFilter(&watcher);
    return watcher.painted;
}

// Prints the moment of the first paint on the monotonic clock, in
// nanoseconds, which the parent process reads: the program's start time
// without its teardown.
inline void printFirstPaintTime() {
    std::printf("%lld\n", static_cast<long long>(
                              std::chrono::steady_clock::now().time_since_epoch().count()));
    std::fflush(stdout);
}

} // namespace lcj::bench
