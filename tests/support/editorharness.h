#pragma once

#include "scriptedprompts.h"
#include "testfiles.h"

#include <QAction>
#include <QComboBox>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <memory>

namespace lcj::test {

// One editor window on test copies of its files, driven as a user drives it:
// through its controls' names and the scripted prompts.
template <class Window> class EditorHarness {
public:
    ScriptedPrompts prompts;
    std::unique_ptr<TestFolder> dir;
    std::unique_ptr<Window> form;
    QString path;        // the file opened last
    QByteArray original; // its bytes as written before opening

    void start() {
        prompts = {};
        dir = std::make_unique<TestFolder>();
        form = std::make_unique<Window>(prompts);
        form->show();
    }
    void stop() { form.reset(); }

    template <class T> T* find(const QString& name) {
        T* w = form->template findChild<T*>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    template <class T> T* find(const char* name) { return find<T>(QString::fromLatin1(name)); }

    // Names come as literals or as built strings ("Text19_" + k).
    QLineEdit* box(const QString& name) { return find<QLineEdit>(name); }
    QListWidget* list(const QString& name) { return find<QListWidget>(name); }
    QComboBox* combo(const QString& name) { return find<QComboBox>(name); }
    QAction* action(const QString& name) { return find<QAction>(name); }
    void trigger(const QString& name) { action(name)->trigger(); }
    void click(const QString& name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }
    // Replaces a box's text key by key, as typing does.
    void type(const QString& name, const QString& text) {
        box(name)->clear();
        QTest::keyClicks(box(name), text);
    }
    QLineEdit* box(const char* name) { return box(QString::fromLatin1(name)); }
    QListWidget* list(const char* name) { return list(QString::fromLatin1(name)); }
    QComboBox* combo(const char* name) { return combo(QString::fromLatin1(name)); }
    QAction* action(const char* name) { return action(QString::fromLatin1(name)); }
    void trigger(const char* name) { trigger(QString::fromLatin1(name)); }
    void click(const char* name) { click(QString::fromLatin1(name)); }
    void type(const char* name, const QString& text) { type(QString::fromLatin1(name), text); }
    // Writes `bytes` as `fileName` in the test folder and opens it with `command`.
    void open(const QString& fileName, const QByteArray& bytes, const char* command) {
        path = dir->write(fileName, bytes);
        original = bytes;
        prompts.openAnswers.enqueue(path);
        trigger(command);
    }
    QByteArray written() const { return readFile(path); }
    void noMessages() { QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.lastMessage())); }
};

} // namespace lcj::test
