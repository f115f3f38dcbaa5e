#pragma once

// Every editor of the main window as a test drives it: how to open its file,
// make one change and save it. Shared by the tests that put the editors'
// saves through a failing disk.
#include "samplegen/samplegame.h"
#include "shell/mainwindow.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"

#include <QAbstractButton>
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QLineEdit>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QtTest>
#include <functional>
#include <memory>

namespace lcj::test {

// One editor as the main window shows it, on a copy of its file in a test
// folder, or in `folder` when one is given.
struct Driver {
    ScriptedPrompts prompts;
    TestFolder dir;
    QString folder;
    std::unique_ptr<MainWindow> main;
    QWidget* editor = nullptr;
    QString path;

    Driver(const char* entry, const char* window, const char* fileName, const QByteArray& bytes,
           const QString& in = {})
        : folder(in.isEmpty() ? dir.path(QString()) : in) {
        path = write(QString::fromLatin1(fileName), bytes);
        main = std::make_unique<MainWindow>(prompts);
        main->show();
        main->findChild<QAction*>(QString::fromLatin1(entry))->trigger();
        editor = main->findChild<QWidget*>(QString::fromLatin1(window));
        if (!editor)
            qFatal("no editor %s", window);
    }
    QString at(const QString& name) const { return QDir(folder).filePath(name); }
    QString write(const QString& name, const QByteArray& bytes) const {
        QFile f(at(name));
        if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size() ||
            !f.flush())
            qFatal("cannot write %s", qPrintable(name));
        return at(name);
    }
    template <class T> T* find(const char* name) {
        T* w = editor->findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    void trigger(const char* name) { find<QAction>(name)->trigger(); }
    void click(const char* name) { QTest::mouseClick(find<QAbstractButton>(name), Qt::LeftButton); }
    void type(const char* name, const QString& text) {
        find<QLineEdit>(name)->clear();
        QTest::keyClicks(find<QLineEdit>(name), text);
    }
    void select(const char* list, int row) { find<QListWidget>(list)->setCurrentRow(row); }
    void open(const char* action) {
        prompts.openAnswers.enqueue(path);
        trigger(action);
    }
    // A save command: a button, or a menu entry.
    void save(const char* name) {
        if (editor->findChild<QAction*>(QString::fromLatin1(name)))
            trigger(name);
        else
            click(name);
    }
    // The save button, pressed only when the user could press it.
    void clickIfUsable(const char* name) {
        auto* button = find<QPushButton>(name);
        if (button->isVisible() && button->isEnabled())
            QTest::mouseClick(button, Qt::LeftButton);
    }
    // Every file in the folder: no temporary file may be left behind.
    QStringList files() const { return QDir(folder).entryList(QDir::Files | QDir::Hidden); }
};

struct EditorCase {
    const char* name;
    const char* entry;  // the main window's menu entry
    const char* window; // the editor's objectName
    const char* fileName;
    QByteArray (*sample)();
    const char* open;                  // its open command, if it opens this file itself
    std::function<void(Driver&)> show; // what the user does after opening
    std::function<void(Driver&)> edit; // a change, confirmed where the editor confirms
    const char* save;                  // its save button or menu entry
    bool holdsWholeFile = false;       // writes its whole copy, not regions in place
};

// The editors that write fixed regions of their file in place.
inline const QList<EditorCase>& editors() {
    const auto data = [] { return sample::dataFile(); };
    static const QList<EditorCase> all{
        {"character", "dataedit", "DForm", "data.e5", data, "fileop",
         [](Driver& d) { d.trigger("renpre"); },
         [](Driver& d) {
             d.select("List1", 5);
             d.type("Text4", QStringLiteral("80"));
         },
         "Command1"},
        {"item", "dataedit", "DForm", "data.e5", data, "fileop",
         [](Driver& d) { d.trigger("daopre"); },
         [](Driver& d) {
             d.select("List3", 9);
             d.type("Text14", QStringLiteral("123"));
         },
         "Command4"},
        {"shop", "dataedit", "DForm", "data.e5", data, "fileop",
         [](Driver& d) { d.trigger("shoppre"); },
         [](Driver& d) {
             d.select("List4", 3);
             QListWidgetItem* item = d.find<QListWidget>("List5")->item(0);
             item->setSelected(!item->isSelected());
         },
         "Command6"},
        {"trooptype", "dataedit", "DForm", "data.e5", data, "fileop",
         [](Driver& d) { d.trigger("binpre"); },
         [](Driver& d) {
             d.select("List8", 4);
             d.type("Text21", QStringLiteral("77"));
         },
         "Command10"},
        {"terrain", "dataedit", "DForm", "data.e5", data, "fileop",
         [](Driver& d) { d.trigger("dipfe"); },
         [](Driver& d) {
             d.select("List7", 2);
             d.type("Text19_3", QStringLiteral("111"));
         },
         "Command8"},
        {"strategy", "dataedit", "DForm", "data.e5", data, "fileop",
         [](Driver& d) { d.trigger("chepre"); },
         [](Driver& d) {
             d.select("List9", 6);
             d.type("Text30", QStringLiteral("33"));
         },
         "Command12"},
        {"savegame", "saveedit", "Record", "Sv01d.e5s", [] { return sample::saveGame(); },
         "fileopen", [](Driver&) {},
         [](Driver& d) {
             d.select("List1", 41);
             d.type("Text8", QStringLiteral("71"));
             d.type("Text24", QStringLiteral("99"));
             d.click("Command1");
         },
         "Command2"},
        {"messages", "imsgedit", "Imsg", "Imsg.e5", [] { return sample::messageFile(); },
         "fileopen", [](Driver& d) { d.trigger("liezhuan"); },
         [](Driver& d) {
             d.select("List1", 2);
             d.find<QPlainTextEdit>("Text1")->setPlainText(QStringLiteral("新写的列传"));
         },
         "Command1"},
        {"program", "fileedit", "MainFile", "Lcj5.exe", [] { return sample::programFile(); },
         "mainopen", [](Driver&) {},
         [](Driver& d) {
             d.select("List1", 3);
             d.find<QComboBox>("Combo1")->setCurrentIndex(5);
             d.click("Command1");
         },
         "Command2"},
    };
    return all;
}

inline QByteArray sampleScenario() {
    for (const auto& [name, shape] : sample::sampleScenarios())
        if (name == QStringLiteral("S_01.eex"))
            return sample::scenarioFile(shape);
    qFatal("no sample scenario S_01.eex");
}

inline void readData(Driver& d) {
    d.prompts.openAnswers.enqueue(d.write(QStringLiteral("data.e5"), sample::dataFile()));
    d.trigger("dataopen");
}

// Every editor: the region editors, then the scenario editor's two files.
inline const QList<EditorCase>& allEditors() {
    static const QList<EditorCase> all = [] {
        QList<EditorCase> list = editors();
        // The scenario editor reads a data file first, then the scenario.
        list.append({"scenario", "sedit", "Junben", "S_01.eex", sampleScenario, nullptr,
                     [](Driver& d) {
                         readData(d);
                         d.open("sopen");
                     },
                     [](Driver& d) { d.click("Command3"); }, "ssave", true});
        // The R file box reads R_01.eex beside the scenario when its check box is ticked.
        list.append({"rfile", "sedit", "Junben", "R_01.eex", [] { return sample::rFile(2, 1); },
                     nullptr,
                     [](Driver& d) {
                         readData(d);
                         d.prompts.openAnswers.enqueue(
                             d.write(QStringLiteral("S_01.eex"), sampleScenario()));
                         d.trigger("sopen");
                         d.click("Check1");
                     },
                     [](Driver& d) { d.type("Text31", QStringLiteral("3")); }, "Command2", true});
        return list;
    }();
    return all;
}

// Opens the editor's file and shows what the user works on.
inline void openAndShow(Driver& d, const EditorCase& c) {
    if (c.open)
        d.open(c.open);
    c.show(d);
}

// What a clean open, edit and save writes.
inline QByteArray cleanSave(const EditorCase& c) {
    Driver d(c.entry, c.window, c.fileName, c.sample());
    openAndShow(d, c);
    c.edit(d);
    d.save(c.save);
    if (!d.prompts.messages.isEmpty())
        qFatal("clean save of %s: %s", c.name, qPrintable(d.prompts.lastMessage()));
    if (readFile(d.path) == c.sample())
        qFatal("clean save of %s changed nothing", c.name);
    return readFile(d.path);
}

} // namespace lcj::test
