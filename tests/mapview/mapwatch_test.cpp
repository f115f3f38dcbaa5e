// The map viewer while another program (the sample game generator, run as a
// process of its own) writes the picture it shows: the viewer holds no
// edits, so it shows the new picture at once.
#include "common/ui/filewatch.h"
#include "mapview/ui/form1.h"
#include "samplegen/samplegame.h"
#include "support/outsideprogram.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QLabel>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace lcj;
using mapview::Form1;

class MapWatchTest : public QObject {
    Q_OBJECT

    template <class T> T* find(const char* name) {
        T* w = form->findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }

    test::ScriptedPrompts prompts;
    std::unique_ptr<test::TestFolder> dir;
    std::unique_ptr<Form1> form;

private slots:
    void init() {
        prompts = {};
        dir = std::make_unique<test::TestFolder>();
        QVERIFY(sample::writeSampleGame(dir->path(QStringLiteral("game"))).ok());
        form = std::make_unique<Form1>(prompts);
        form->show();
    }
    void cleanup() {
        form.reset();
        dir.reset();
    }

    void changedPictureIsShownAgain_data() {
        QTest::addColumn<bool>("sameSize");
        QTest::newRow("same size, the zoom kept") << true;
        QTest::newRow("another size, natural size") << false;
    }

    void changedPictureIsShownAgain() {
        QFETCH(bool, sameSize);
        const sample::SampleMap map = sample::sampleMaps().first();
        const sample::SampleMap other = sample::sampleMaps().last();
        QCOMPARE(map.fileName, QStringLiteral("map01.bmp"));
        // The file before the generator writes it again: another picture.
        const QString path =
            dir->write(QStringLiteral("game/") + map.fileName,
                       sameSize ? sample::mapPicture(map.columns, map.rows, map.seed + 1)
                                : sample::mapPicture(other.columns, other.rows, other.seed));
        form->setFolder(dir->path(QStringLiteral("game")));
        auto* files = find<QListWidget>("File1");
        files->setCurrentItem(files->findItems(map.fileName, Qt::MatchExactly).first());
        QTest::mouseClick(find<QPushButton>("Command2"), Qt::LeftButton);
        QCOMPARE(form->zoom().cellSize(), 12);
        const QImage before = find<QLabel>("Image1")->pixmap().toImage();

        const test::OutsideRun run =
            test::runProgram(QStringLiteral("lcjsamplegen"),
                             {QStringLiteral("--force"), dir->path(QStringLiteral("game"))});
        QVERIFY2(run.code == 0, qPrintable(run.err));
        QCOMPARE(test::readFile(path), sample::mapPicture(map.columns, map.rows, map.seed));

        const QSize natural(map.columns * sample::mapCellPixels, map.rows * sample::mapCellPixels);
        QTRY_VERIFY(find<QLabel>("Image1")->pixmap().toImage() != before);
        QCOMPARE(find<QLabel>("Image1")->pixmap().size(), natural);
        QCOMPARE(form->zoom().cellSize(), sameSize ? 12 : 6);
        QCOMPARE(find<QLabel>("Image1")->size(), sameSize ? natural * 2 : natural);
        QCOMPARE(find<QLabel>("status")->text(),
                 map.fileName + QStringLiteral(" 已被其他程序改动，已重新载入"));
        QVERIFY(test::diskBarOf(form.get())->isHidden());
        QVERIFY2(prompts.messages.isEmpty(), qPrintable(prompts.lastMessage()));
    }
};

LCJ_TEST_MAIN(MapWatchTest)
#include "mapwatch_test.moc"
