#pragma once

#include "datafile/ui/dform.h"
#include "samplegen/samplegame.h"
#include "support/editorharness.h"

#include <QAction>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>
#include <memory>

// A data file editor on a test copy of a data file, driven by control names.
struct DFormHarness : lcj::test::EditorHarness<lcj::data::DForm> {
    // Writes `bytes` as the data file, opens it and shows section `entry`.
    void openSection(const QByteArray& bytes, const QString& entry) {
        open(QStringLiteral("data.e5"), bytes, "fileop");
        trigger(entry);
    }
    // The file as opened with `bytes` put at `pos`.
    QByteArray originalWith(qint64 pos, const QByteArray& bytes) const {
        QByteArray expected = original;
        expected.replace(pos, bytes.size(), bytes);
        return expected;
    }
};
