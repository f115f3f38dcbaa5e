#pragma once

#include "datafile/ui/dform.h"
#include "samplegen/samplegame.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <memory>

// A data file editor on a test copy of a data file, driven by control names.
struct DFormHarness {
    lcj::test::ScriptedPrompts prompts;
    std::unique_ptr<lcj::test::TestFolder> dir;
    std::unique_ptr<lcj::data::DForm> form;
    QString path;
    QByteArray original;

    void start() {
        prompts = {};
        dir = std::make_unique<lcj::test::TestFolder>();
        form = std::make_unique<lcj::data::DForm>(prompts);
        form->show();
    }
    void stop() { form.reset(); }

    template <class T> T* find(const QString& name) {
        T* w = form->findChild<T*>(name);
        if (!w)
            qFatal("no control %s", qPrintable(name));
        return w;
    }
    QLineEdit* box(const QString& name) { return find<QLineEdit>(name); }
    QListWidget* list(const QString& name) { return find<QListWidget>(name); }
    void trigger(const QString& name) { find<QAction>(name)->trigger(); }
    void click(const QString& name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }
    // Writes `bytes` as the data file, opens it and shows section `entry`.
    void openSection(const QByteArray& bytes, const QString& entry) {
        path = dir->write(QStringLiteral("data.e5"), bytes);
        original = bytes;
        prompts.openAnswers.enqueue(path);
        trigger(QStringLiteral("fileop"));
        trigger(entry);
    }
    QByteArray written() const { return lcj::test::readFile(path); }
    // The file as opened with `bytes` put at `pos`.
    QByteArray originalWith(qint64 pos, const QByteArray& bytes) const {
        QByteArray expected = original;
        expected.replace(pos, bytes.size(), bytes);
        return expected;
    }
};
