#pragma once

#include "common/bytes.h"
#include "samplegen/samplegame.h"
#include "scenario/ui/junben.h"
#include "support/editorharness.h"

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
class JunbenDriver : public EditorHarness<scenario::Junben> {
public:
    QRadioButton* option(const char* name) { return find<QRadioButton>(QString::fromLatin1(name)); }
    bool enabled(const char* name) { return find<QWidget>(QString::fromLatin1(name))->isEnabled(); }
    // Any button, check boxes too; clicking a disabled one is a fault of the test.
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
        open(name, bytes, "sopen");
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
