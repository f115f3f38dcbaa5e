#include "mapview/ui/form1.h"
#include "samplegen/samplegame.h"
#include "shell/mainwindow.h"
#include "support/scriptedprompts.h"
#include "support/testfiles.h"
#include "support/testmain.h"

#include <QAction>
#include <QComboBox>
#include <QCoreApplication>
#include <QDir>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QPushButton>
#include <QtTest>

using namespace lcj;
using mapview::Form1;

class Form1Test : public QObject {
    Q_OBJECT

    test::ScriptedPrompts prompts;
    std::unique_ptr<test::TestFolder> dir;
    std::unique_ptr<Form1> form;

    template <class T> T* find(const char* name) {
        T* w = form->findChild<T*>(QString::fromLatin1(name));
        if (!w)
            qFatal("no control %s", name);
        return w;
    }
    QString text(const char* name) {
        if (auto* box = form->findChild<QLineEdit*>(QString::fromLatin1(name)))
            return box->text();
        return find<QLabel>(name)->text();
    }
    void press(const char* name) { QTest::mouseClick(find<QPushButton>(name), Qt::LeftButton); }
    // Clicks the file called `name` in the file list.
    void clickFile(const QString& name) {
        auto* list = find<QListWidget>("File1");
        const auto items = list->findItems(name, Qt::MatchExactly);
        QVERIFY2(items.size() == 1, qPrintable(name));
        list->scrollToItem(items.first());
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {},
                          list->visualItemRect(items.first()).center());
    }
    void doubleClickFolder(const QString& name) {
        auto* list = find<QListWidget>("Dir1");
        QListWidgetItem* found = nullptr;
        for (int i = 0; i < list->count(); ++i) {
            if (list->item(i)->text().trimmed() == name)
                found = list->item(i);
        }
        QVERIFY2(found, qPrintable(name));
        list->scrollToItem(found);
        const QPoint at = list->visualItemRect(found).center();
        QTest::mouseClick(list->viewport(), Qt::LeftButton, {}, at);
        QTest::mouseDClick(list->viewport(), Qt::LeftButton, {}, at);
    }
    // The pointer moves over the picture to `pixel`.
    void moveTo(QPoint pixel) {
        QWidget* image = find<QLabel>("Image1");
        QMouseEvent move(
            QEvent::MouseMove, QPointF(pixel), image->mapTo(form.get(), QPointF(pixel)),
            image->mapToGlobal(QPointF(pixel)), Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QCoreApplication::sendEvent(image, &move);
    }
    QPoint cellShown() { return {text("Text1").toInt(), text("Text2").toInt()}; }
    QStringList files() {
        QStringList out;
        auto* list = find<QListWidget>("File1");
        for (int i = 0; i < list->count(); ++i)
            out << list->item(i)->text();
        return out;
    }

private slots:
    void init() {
        prompts = {};
        dir = std::make_unique<test::TestFolder>();
        QVERIFY(sample::writeSampleGame(dir->path(QStringLiteral("game"))).ok());
        form = std::make_unique<Form1>(prompts);
        form->show();
        QVERIFY(QTest::qWaitForWindowExposed(form.get()));
    }
    void cleanup() {
        form.reset();
        dir.reset();
    }

    void startsEmptyInTheEditorsFolder() {
        QCOMPARE(form->objectName(), QStringLiteral("Form1"));
        QCOMPARE(form->windowTitle(), QStringLiteral("岚川记地图坐标简易查看器"));
        QCOMPARE(form->filePath(), QDir::cleanPath(QCoreApplication::applicationDirPath()));
        QCOMPARE(form->zoom().cellSize(), 6);
        QVERIFY(find<QLabel>("Image1")->pixmap().isNull());
        QCOMPARE(find<QLabel>("Picture1")->size(), QSize(657, 601));
        for (const char* caption : {"Label3", "Label4", "Label5", "Label6"})
            QVERIFY(!text(caption).isEmpty());
        QCOMPARE(text("Label6"), QStringLiteral("横坐标"));
        QCOMPARE(text("Label5"), QStringLiteral("纵坐标"));
        QCOMPARE(find<QPushButton>("Command1")->text(), QStringLiteral("还原比率"));
        QCOMPARE(find<QPushButton>("Command2")->text(), QStringLiteral("放大2倍"));
        QCOMPARE(find<QPushButton>("Command3")->text(), QStringLiteral("放大3倍"));
    }

    void browsesToASubFolderAndListsItsBmpFiles() {
        dir->write(QStringLiteral("game/notes.txt"), "x");
        form->setFolder(dir->path({}));
        QVERIFY(files().isEmpty());
        doubleClickFolder(QStringLiteral("game"));
        QCOMPARE(form->filePath(), QDir::cleanPath(dir->path(QStringLiteral("game"))));
        QCOMPARE(files(), (QStringList{QStringLiteral("map01.bmp"), QStringLiteral("map02.bmp")}));
        // The folder list now shows the game folder as the current one.
        auto* dirs = find<QListWidget>("Dir1");
        QCOMPARE(dirs->currentItem()->text().trimmed(), QStringLiteral("game"));
    }

    void choosingADriveShowsItsRoot() {
        auto* drives = find<QComboBox>("Drive1");
        QVERIFY(drives->count() >= 1);
        const int root = drives->findText(QDir::rootPath());
        QVERIFY(root >= 0);
        form->setFolder(dir->path(QStringLiteral("game")));
        if (drives->currentIndex() != root)
            drives->setCurrentIndex(root);
        else
            form->Drive1_Change();
        QCOMPARE(form->filePath(), QDir::rootPath());
        QCOMPARE(find<QListWidget>("Dir1")->currentItem()->text(), QDir::rootPath());
    }

    void showsAPictureAtNaturalSize() {
        form->setFolder(dir->path(QStringLiteral("game")));
        clickFile(QStringLiteral("map02.bmp"));
        QCOMPARE(find<QLabel>("Image1")->pixmap().size(), QSize(786, 678));
        QCOMPARE(find<QLabel>("Image1")->size(), QSize(786, 678));
        QCOMPARE(text("Label1"), QStringLiteral("678"));
        QCOMPARE(text("Label2"), QStringLiteral("786"));
        QCOMPARE(form->zoom().cellSize(), 6);
        // Larger than the frame: clipped at the frame's edge, not scrolled.
        QCOMPARE(find<QLabel>("Image1")->pos(), QPoint(0, 0));
        QVERIFY(prompts.messages.isEmpty());
    }

    void coordinatesUnderThePointer_data() {
        QTest::addColumn<QString>("buttons");
        QTest::addColumn<QPoint>("pixel");
        QTest::addColumn<QPoint>("cell");
        QTest::addColumn<int>("k");
        QTest::newRow("origin") << QString() << QPoint(0, 0) << QPoint(0, 0) << 6;
        QTest::newRow("5,11") << QString() << QPoint(5, 11) << QPoint(0, 1) << 6;
        QTest::newRow("6,6") << QString() << QPoint(6, 6) << QPoint(1, 1) << 6;
        QTest::newRow("2x 11,12") << QStringLiteral("2") << QPoint(11, 12) << QPoint(0, 1) << 12;
        QTest::newRow("3x 18,17") << QStringLiteral("3") << QPoint(18, 17) << QPoint(1, 0) << 18;
        QTest::newRow("2x3x 35,36") << QStringLiteral("23") << QPoint(35, 36) << QPoint(0, 1) << 36;
        QTest::newRow("2x3x restore 35,36")
            << QStringLiteral("23r") << QPoint(35, 36) << QPoint(5, 6) << 6;
        QTest::newRow("3x3x2x 650,600")
            << QStringLiteral("332") << QPoint(650, 600) << QPoint(6, 5) << 108;
    }
    void coordinatesUnderThePointer() {
        QFETCH(QString, buttons);
        QFETCH(QPoint, pixel);
        QFETCH(QPoint, cell);
        QFETCH(int, k);
        form->setFolder(dir->path(QStringLiteral("game")));
        clickFile(QStringLiteral("map01.bmp"));
        for (QChar b : buttons)
            press(b == u'2' ? "Command2" : b == u'3' ? "Command3" : "Command1");
        QCOMPARE(form->zoom().cellSize(), k);
        moveTo(pixel);
        QCOMPARE(cellShown(), cell);
    }

    void zoomsCompoundAndRestore() {
        form->setFolder(dir->path(QStringLiteral("game")));
        clickFile(QStringLiteral("map01.bmp"));
        auto* image = find<QLabel>("Image1");
        press("Command2");
        QCOMPARE(image->size(), QSize(768, 576));
        QCOMPARE(text("Label1"), QStringLiteral("576"));
        QCOMPARE(text("Label2"), QStringLiteral("768"));
        press("Command3");
        QCOMPARE(form->zoom().cellSize(), 36);
        QCOMPARE(image->size(), QSize(384 * 6, 288 * 6));
        QCOMPARE(text("Label1"), QString::number(288 * 6));
        QCOMPARE(text("Label2"), QString::number(384 * 6));
        press("Command1");
        QCOMPARE(form->zoom().cellSize(), 6);
        QCOMPARE(image->size(), QSize(384, 288));
        QCOMPARE(text("Label1"), QStringLiteral("288"));
        // A new picture always comes at natural size.
        press("Command3");
        clickFile(QStringLiteral("map02.bmp"));
        QCOMPARE(form->zoom().cellSize(), 6);
        QCOMPARE(image->size(), QSize(786, 678));
        // Clicking the file already shown loads it again at natural size.
        press("Command2");
        QCOMPARE(image->size(), QSize(786 * 2, 678 * 2));
        clickFile(QStringLiteral("map02.bmp"));
        QCOMPARE(form->zoom().cellSize(), 6);
        QCOMPARE(image->size(), QSize(786, 678));
        QCOMPARE(text("Label1"), QStringLiteral("678"));
        QVERIFY(prompts.messages.isEmpty());
    }

    // What is drawn under the pointer is the picture pixel whose cell the
    // coordinates name, at every zoom.
    void theSameSpotShowsTheSameCellAtEveryZoom() {
        form->setFolder(dir->path(QStringLiteral("game")));
        clickFile(QStringLiteral("map02.bmp"));
        const QImage picture(dir->path(QStringLiteral("game/map02.bmp")));
        QVERIFY(!picture.isNull());
        auto* frame = find<QLabel>("Picture1");
        const QList<QPoint> spots{{0, 0}, {13, 7}, {50, 44}, {100, 99}};
        int factor = 1;
        for (const char* button : {"", "Command2", "Command3", "Command2"}) {
            if (*button) {
                press(button);
                factor *= QByteArrayView(button) == "Command2" ? 2 : 3;
            }
            const QImage shown = frame->grab().toImage();
            for (const QPoint& spot : spots) {
                const QPoint pointer = spot * factor + QPoint(factor / 2, factor / 2);
                if (pointer.x() >= 657 || pointer.y() >= 601)
                    continue;
                moveTo(pointer);
                QCOMPARE(cellShown(), QPoint(spot.x() / 6, spot.y() / 6));
                QCOMPARE(shown.pixel(pointer), picture.pixel(spot));
            }
        }
    }

    void zoomStopsBeforeTheCellSizeOverflows() {
        form->setFolder(dir->path(QStringLiteral("game")));
        clickFile(QStringLiteral("map01.bmp"));
        auto* image = find<QLabel>("Image1");
        for (int i = 0; i < 30; ++i)
            press(i % 2 ? "Command2" : "Command3");
        const int k = form->zoom().cellSize();
        QVERIFY(k <= 32767);
        QVERIFY(k * 3 > 32767);
        QVERIFY(text("Label7").contains(QStringLiteral("上限")));
        QCOMPARE(image->width(), 384 * k / 6);
        QCOMPARE(text("Label2"), QString::number(384 * k / 6));
        moveTo({650, 600});
        QCOMPARE(cellShown(), QPoint(0, 0));
        QVERIFY(!frame()->grab().isNull());
        press("Command1");
        QCOMPARE(form->zoom().cellSize(), 6);
        QVERIFY(text("Label7").isEmpty());
        QVERIFY(prompts.messages.isEmpty());
    }
    QWidget* frame() { return find<QLabel>("Picture1"); }

    void aBrokenPictureLeavesAnEmptyPicture_data() {
        QTest::addColumn<QByteArray>("bytes");
        QTest::newRow("text") << QByteArray("not a picture at all");
        QTest::newRow("empty") << QByteArray();
        QByteArray cut = sample::mapPicture(20, 10, 1);
        cut.truncate(40);
        QTest::newRow("cut header") << cut;
        QByteArray huge = sample::mapPicture(2, 2, 1);
        // 255 pixels wide and 268435455 high: more than any picture may take.
        huge[18] = '\xFF';
        huge[22] = '\xFF';
        huge[23] = '\xFF';
        huge[24] = '\xFF';
        huge[25] = '\x0F';
        QTest::newRow("impossible size") << huge;
        // Whole headers, but the last pixel rows missing.
        QTest::newRow("pixels cut short") << sample::mapPicture(20, 10, 1).chopped(200);
        QTest::newRow("one byte short") << sample::mapPicture(20, 10, 1).chopped(1);
    }
    void aBrokenPictureLeavesAnEmptyPicture() {
        QFETCH(QByteArray, bytes);
        dir->write(QStringLiteral("game/broken.bmp"), bytes);
        form->setFolder(dir->path(QStringLiteral("game")));
        clickFile(QStringLiteral("map01.bmp"));
        press("Command2");
        moveTo({20, 20});
        clickFile(QStringLiteral("broken.bmp"));
        QCOMPARE(prompts.messages.size(), 1);
        QVERIFY(prompts.lastMessage().contains(QStringLiteral("broken.bmp")));
        QVERIFY(find<QLabel>("Image1")->pixmap().isNull());
        QCOMPARE(find<QLabel>("Image1")->size(), QSize(0, 0));
        QCOMPARE(form->zoom().cellSize(), 6);
        for (const char* cleared : {"Label1", "Label2", "Text1", "Text2"})
            QVERIFY2(text(cleared).isEmpty(), cleared);
        // The viewer goes on: another picture shows as before.
        clickFile(QStringLiteral("map02.bmp"));
        QCOMPARE(text("Label2"), QStringLiteral("786"));
        QCOMPARE(prompts.messages.size(), 1);
    }

    void opensFromTheMainMenuOnce() {
        test::ScriptedPrompts shellPrompts;
        MainWindow main(shellPrompts);
        main.show();
        auto* entry = main.findChild<QAction*>(QStringLiteral("map"));
        QVERIFY(entry && entry->isEnabled());
        entry->trigger();
        QVERIFY(!main.banner()->isVisible());
        QWidget* viewer = main.findChild<QWidget*>(QStringLiteral("Form1"));
        QVERIFY(viewer);
        entry->trigger();
        QCOMPARE(main.findChildren<QWidget*>(QStringLiteral("Form1")).size(), 1);
        // The viewer has no menu of its own and no exit command.
        QVERIFY(!viewer->findChild<QAction*>(QStringLiteral("exit")));
    }
};

LCJ_TEST_MAIN(Form1Test)
#include "form1_test.moc"
