#include "documentjournal.h"

#include "editorwindow.h"

#include <QUndoStack>

namespace lcj {

DocumentJournal::DocumentJournal(EditorWindow* editor, Document::Access access,
                                 const QString& folder)
    : QObject(editor), access_(std::move(access)), folder_(folder) {
    timer_.setSingleShot(true);
    timer_.setInterval(delayMs);
    connect(&timer_, &QTimer::timeout, this, &DocumentJournal::flush);
    connect(editor, &EditorWindow::fileStateChanged, this, &DocumentJournal::stepped);
    connect(editor, &EditorWindow::editsTyped, this, &DocumentJournal::stepped);
    follow();
}

DocumentJournal::~DocumentJournal() {
    journal_.remove();
}

void DocumentJournal::follow() {
    QUndoStack* stack = access_.undoStack ? access_.undoStack() : nullptr;
    if (stack == stack_)
        return;
    if (stack_)
        disconnect(stack_, nullptr, this, nullptr);
    stack_ = stack;
    if (!stack)
        return;
    connect(stack, &QUndoStack::indexChanged, this, &DocumentJournal::stepped);
    connect(stack, &QUndoStack::cleanChanged, this, &DocumentJournal::stepped);
    // A history built again over its kept steps is a stack of its own.
    connect(stack, &QObject::destroyed, this, [this] {
        QTimer::singleShot(0, this, [this] {
            follow();
            stepped();
        });
    });
}

void DocumentJournal::stepped() {
    if (!timer_.isActive())
        timer_.start();
}

void DocumentJournal::flush() {
    timer_.stop();
    follow();
    const DiskStamp stamp = access_.stamp();
    if (stamp.path.isEmpty() || !access_.holdsEdits()) {
        journal_.remove();
        return;
    }
    // Another file, or the file written since: the journal starts again from it.
    if (journal_.started() && (journal_.path() != stamp.path || base_ != stamp.bytes))
        journal_.remove();
    const QByteArray mine = access_.mine();
    if (!journal_.started()) {
        if (mine == stamp.bytes)
            return;
        base_ = stamp.bytes;
        if (!journal_.start(folder_, stamp.path, base_))
            return;
    }
    if (!journal_.append(mine))
        journal_.remove();
}

} // namespace lcj
