// Edits not saved survive the program: the real program, killed with SIGKILL while three
// editors hold unsaved edits, is started again; Enter on its question gives every editor its
// edits back, and a save writes what the edits give. Beside it, the question's 丢弃 and Escape
// through the real box: only 丢弃 confirmed by 是 takes the journals away, and nothing is ever
// written to the game files.
#include "common/recoveryjournal.h"
#include "common/ui/editorwindow.h"
#include "common/ui/prompts.h"
#include "common/ui/settings.h"
#include "samplegen/samplegame.h"
#include "shell/mainwindow.h"
#include "shell/recovery.h"
#include "shell/workspace.h"
#include "support/dialogkeys.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QProcess>
#include <QPushButton>
#include <QTemporaryDir>
#include <QtTest>

using namespace lcj;

namespace {

// A process id no system hands out (above every pid_max): a program long gone.
constexpr qint64 gonePid = 2147483000;

QByteArray readAll(const QString& path) {
    QFile file(path);
    return file.open(QIODevice::ReadOnly) ? file.readAll() : QByteArray();
}

} // namespace

class RecoveryTest : public QObject {
    Q_OBJECT

private slots:
    void cleanup() { settings::forget(); }

    void aKilledProgramsEditsComeBack() {
#ifdef Q_OS_WIN
        QSKIP("the profile is chosen by XDG variables here");
#endif
        QTemporaryDir tmp;
        const QString game = tmp.filePath(QStringLiteral("游戏"));
        const QString held = tmp.filePath(QStringLiteral("held"));
        QVERIFY(QDir().mkpath(held));
        QVERIFY(sample::writeSampleGame(game).ok());
        const QStringList names{QStringLiteral("data.e5"), QStringLiteral("Sv01d.e5s"),
                                QStringLiteral("S_01.eex"), QStringLiteral("R_01.eex")};
        QMap<QString, QByteArray> before;
        QStringList paths;
        for (const QString& name : names) {
            paths << QDir(game).filePath(name);
            before[name] = readAll(paths.last());
            QVERIFY(!before[name].isEmpty());
        }
        QProcessEnvironment environment = QProcessEnvironment::systemEnvironment();
        environment.insert(QStringLiteral("XDG_CONFIG_HOME"),
                           tmp.filePath(QStringLiteral("config")));
        environment.insert(QStringLiteral("XDG_DATA_HOME"), tmp.filePath(QStringLiteral("data")));
        environment.insert(QStringLiteral("QT_QPA_PLATFORM"), QStringLiteral("offscreen"));
        environment.insert(QStringLiteral("LCJ_PROBE_OUT"), held);
        const QString probe =
            QCoreApplication::applicationDirPath() + QStringLiteral("/shell_recovery_probe");
        const QString journals = tmp.filePath(QStringLiteral("data/lcjworkshop/recovery"));

        QProcess editing;
        environment.insert(QStringLiteral("LCJ_PROBE"), QStringLiteral("edit"));
        editing.setProcessEnvironment(environment);
        editing.start(probe, paths);
        QByteArray log;
        QElapsedTimer clock;
        clock.start();
        while (!log.contains("edits made") && clock.elapsed() < 30000) {
            editing.waitForReadyRead(100);
            log += editing.readAllStandardError();
        }
        QVERIFY2(log.contains("edits made in 4 files"), log.constData());
        QTest::qWait(1500);
        editing.kill(); // SIGKILL: no destructor, no clean exit
        QVERIFY(editing.waitForFinished(5000));
        QCOMPARE(QDir(journals).entryList(QDir::Files).size(), 4);
        for (int i = 0; i < names.size(); ++i)
            QCOMPARE(readAll(paths[i]), before[names[i]]);

        QProcess restarted;
        environment.insert(QStringLiteral("LCJ_PROBE"), QStringLiteral("recover"));
        restarted.setProcessEnvironment(environment);
        restarted.start(probe, {});
        QVERIFY(restarted.waitForFinished(60000));
        const QByteArray said = restarted.readAllStandardError();
        QVERIFY2(said.contains("pressed: 恢复") && said.contains("saved 4"), said.constData());
        for (int i = 0; i < names.size(); ++i) {
            const QByteArray expected = readAll(QDir(held).filePath(names[i]));
            QVERIFY2(expected != before[names[i]], qPrintable(names[i]));
            QVERIFY2(readAll(paths[i]) == expected, qPrintable(names[i]));
        }
        QCOMPARE(int(readAll(paths[0]).at(396 + 5 * 32 + 18)), 45); // 人物 5 武力 90
        // The appended army entry came back too: the scenario is longer by one entry.
        QCOMPARE(readAll(paths[2]).size(), before[names[2]].size() + 28);
        // Saved and ended cleanly: no journal is left.
        QCOMPARE(QDir(journals).entryList(QDir::Files), QStringList());
    }

    // The first box: Enter 恢复 (over a file another program changed since: merged, held
    // unsaved), Escape keeps; 丢弃 (Tab to it, Enter) asks again, where Enter keeps and only
    // 是 removes. The game file is never written.
    void theQuestion_data() {
        QTest::addColumn<QStringList>("press"); // the button each box's key lands on
        QTest::addColumn<bool>("journalKept");
        QTest::newRow("Escape keeps") << QStringList{QStringLiteral("Escape")} << true;
        QTest::newRow("丢弃, then Enter keeps")
            << QStringList{QStringLiteral("丢弃"), QStringLiteral("Enter")} << true;
        QTest::newRow("丢弃, then 是 removes")
            << QStringList{QStringLiteral("丢弃"), QStringLiteral("是")} << false;
        QTest::newRow("Enter merges with the disk's change")
            << QStringList{QStringLiteral("Enter")} << false;
    }
    void theQuestion() {
        QFETCH(QStringList, press);
        QFETCH(bool, journalKept);
        QTemporaryDir tmp;
        settings::useFile(tmp.filePath(QStringLiteral("lcjworkshop.ini")));
        const QString path = tmp.filePath(QStringLiteral("data.e5"));
        const QByteArray base = sample::dataFile();
        QByteArray mine = base;
        mine[396 + 5 * 32 + 18] = 40; // 人物 5 武力 80
        QByteArray disk = base;
        disk[396 + 6 * 32 + 18] = 20; // 人物 6 武力 40, by another program since
        QByteArray merged = disk;
        merged[396 + 5 * 32 + 18] = 40;
        {
            QFile file(path);
            QVERIFY(file.open(QIODevice::WriteOnly) && file.write(disk) == disk.size());
        }
        QString journal;
        {
            RecoveryJournal writer;
            QVERIFY(writer.start(settings::recoveryFolder(), path, base));
            QVERIFY(writer.append(mine));
            journal = QDir(settings::recoveryFolder())
                          .filePath(QStringLiteral("%1-1.lcjrec").arg(gonePid));
            // A copy, not a rename: Windows renames no file still open.
            QVERIFY(QFile::copy(writer.journalPath(), journal));
        }
        QList<int> keys;
        for (const QString& button : press)
            keys << (button == QStringLiteral("Escape") ? Qt::Key_Escape : Qt::Key_Enter);
        test::DialogKeys boxes(keys);
        boxes.beforeKey = [&boxes, &press](QWidget* box) {
            const QString on = press.value(boxes.seen.size());
            // Tab to the button: focused, Enter presses it.
            box->activateWindow();
            QVERIFY(QTest::qWaitForWindowActive(box));
            for (auto* button : box->findChildren<QPushButton*>())
                if (button->text() == on)
                    button->setFocus(Qt::TabFocusReason);
        };
        DialogPrompts prompts;
        MainWindow window(prompts);
        window.show();
        offerRecovery(window, prompts, settings::recoveryFolder());
        QCOMPARE(boxes.seen.size(), press.size());
        const test::DialogKeys::Seen& first = boxes.seen[0];
        QVERIFY2(first.text.contains(QDir::toNativeSeparators(path)) &&
                     first.text.contains(QStringLiteral("人物 5 武力")),
                 qPrintable(first.text));
        QVERIFY(first.buttons.contains(QStringLiteral("恢复")) &&
                first.buttons.contains(QStringLiteral("丢弃")));
        QCOMPARE(first.defaultButton, QStringLiteral("恢复"));
        if (press[0] == QStringLiteral("丢弃"))
            QCOMPARE(first.pressedButton, press[0]);
        if (press.size() > 1) {
            QCOMPARE(boxes.seen[1].text, QStringLiteral("确定丢弃这些未保存的修改吗？"));
            QCOMPARE(boxes.seen[1].pressedButton, press[1] == QStringLiteral("是")
                                                      ? QStringLiteral("是")
                                                      : QStringLiteral("否"));
        }
        QCOMPARE(QFile::exists(journal), journalKept);
        QCOMPARE(test::readFile(path), disk);
        const QList<Document*> held = window.workspace()->documents();
        if (press[0] != QStringLiteral("Enter")) {
            QVERIFY(held.isEmpty());
            return;
        }
        QCOMPARE(held.size(), 1);
        QVERIFY(held[0]->modified());
        QVERIFY(held[0]->mine() == merged);
        QVERIFY2(held[0]->editor()->statusText().contains(QStringLiteral("合并")),
                 qPrintable(held[0]->editor()->statusText()));
        QVERIFY(held[0]->editor()->windowTitle().endsWith(QStringLiteral(" *")));
    }
};

LCJ_TEST_MAIN(RecoveryTest)
#include "recovery_test.moc"
