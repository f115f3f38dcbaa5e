#pragma once

#include "common/bytes.h"
#include "samplegen/samplegame.h"
#include "scenario/ui/junben.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"

#include <QAbstractButton>
#include <QAction>
#include <QCheckBox>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QRadioButton>
#include <QScrollBar>
#include <QtTest>

namespace lcj::test {

inline sample::ScenarioShape shapeOf(const QString& name) {
    for (const auto& [n, shape] : sample::sampleScenarios())
        if (n == name)
            return shape;
    qFatal("no sample scenario");
}

// Drives the scenario editor as a user would: through its named controls and
// the scripted prompts.
class JunbenDriver {
public:
    ScriptedPrompts prompts;
    std::unique_ptr<TestFolder> dir;
    std::unique_ptr<scenario::Junben> form;

    void start() {
        prompts = {};
        dir = std::make_unique<TestFolder>();
        form = std::make_unique<scenario::Junben>(prompts);
        form->show();
    }
    void stop() { form.reset(); }

    template <class T> T* find(const QString& name) {
        T* w = form->findChild<T*>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    QLineEdit* box(const char* name) { return find<QLineEdit>(QString::fromLatin1(name)); }
    QListWidget* list(const char* name) { return find<QListWidget>(QString::fromLatin1(name)); }
    QAction* action(const char* name) { return find<QAction>(QString::fromLatin1(name)); }
    QRadioButton* option(const char* name) { return find<QRadioButton>(QString::fromLatin1(name)); }
    QComboBox* combo(const char* name) { return find<QComboBox>(QString::fromLatin1(name)); }
    bool enabled(const char* name) { return find<QWidget>(QString::fromLatin1(name))->isEnabled(); }
    void click(const char* name) {
        auto* b = find<QAbstractButton>(QString::fromLatin1(name));
        if (!b->isEnabled())
            qFatal("%s is disabled", name);
        QTest::mouseClick(b, Qt::LeftButton);
    }
    void type(const char* name, const QString& text) { box(name)->setText(text); }
    void readData() {
        prompts.openAnswers.enqueue(dir->write(QStringLiteral("data.e5"), sample::dataFile()));
        action("dataopen")->trigger();
    }
    // Writes a scenario into the folder and loads it.
    QString load(const QString& name, const QByteArray& bytes) {
        const QString path = dir->write(name, bytes);
        prompts.openAnswers.enqueue(path);
        action("sopen")->trigger();
        return path;
    }
    // Writes a sample scenario and its R file into the folder and loads it.
    QString loadSample(const QString& name) {
        QString r = name;
        r[0] = u'R';
        dir->write(r, sample::rFile(name == QStringLiteral("S_01.eex") ? 2 : 1, 1));
        return load(name, sample::scenarioFile(shapeOf(name)));
    }
    QStringList texts(const char* name) {
        QStringList out;
        for (int i = 0; i < list(name)->count(); ++i)
            out << list(name)->item(i)->text();
        return out;
    }
    qint64 headerPos(const QString& name) { return sample::scenarioHeaderPos(shapeOf(name)); }
    qint64 armyStart(const QString& name) { return headerPos(name) + 5588; }
};

} // namespace lcj::test
