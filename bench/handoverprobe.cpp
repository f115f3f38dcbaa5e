// lcj_handover_probe: the program started as main() starts it, running on as
// the program a later start hands its paths to. Prints "ready" once its main
// window is painted, then, each time an editor window is painted after a
// hand-over, the moment (the monotonic clock, in ns), and closes the editors
// for the next one. Ends when killed (shell_bench, HandOverToFileShown).
#include "firstpaint.h"
#include "shell/startup.h"

#include <QMdiArea>
#include <QMdiSubWindow>
#include <QTimer>

namespace {

// Reports the first paint of an editor window after each hand-over.
class EditorPaints : public QObject {
public:
    explicit EditorPaints(QMdiArea* area) : area_(area) { qApp->installEventFilter(this); }
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (armed_ && event->type() == QEvent::Paint && watched->isWidgetType() &&
            inEditor(static_cast<QWidget*>(watched))) {
            armed_ = false;
            // After the paint itself has run.
            QTimer::singleShot(0, this, [this] {
                lcj::bench::printFirstPaintTime();
                area_->closeAllSubWindows();
                QTimer::singleShot(0, this, [this] { armed_ = true; });
            });
        }
        return false;
    }

private:
    bool inEditor(QWidget* widget) const {
        for (QWidget* w = widget; w; w = w->parentWidget())
            if (auto* frame = qobject_cast<QMdiSubWindow*>(w))
                return frame->mdiArea() == area_;
        return false;
    }

    QMdiArea* area_;
    bool armed_ = true;
};

} // namespace

int main(int argc, char** argv) {
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    return lcj::runProgram(argc, argv, [](QWidget& window) {
        if (!lcj::bench::waitForFirstPaint(&window))
            return 1;
        auto* area = window.findChild<QMdiArea*>();
        if (!area)
            return 1;
        EditorPaints paints(area);
        std::puts("ready");
        std::fflush(stdout);
        return QApplication::exec();
    });
}
