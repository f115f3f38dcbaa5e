// Every editor on a Windows laptop's screen at 125 % and 150 % display scale
// (120 and 144 dpi), in Windows' font and in its larger text: the lists of
// names beside its forms show each name whole.
// Run once per scale: shell_displayscale_tests [--dpi 120|144].
#include "editorcases.h"
#include "support/testscreen.h"

#include <QHeaderView>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QScreen>
#include <QTableView>

using namespace lcj;
using namespace lcj::test;

namespace {

int dpi = 144;

// The visible lists of the editor whose entries do not all fit across it:
// "objectName (needs N, shows M)".
QStringList cutLists(QWidget* editor) {
    QStringList cut;
    for (QListWidget* list : editor->findChildren<QListWidget*>()) {
        if (!list->isVisibleTo(editor) || list->count() == 0)
            continue;
        const int needs = list->sizeHintForColumn(0);
        const int shows = list->viewport()->width();
        if (needs > shows)
            cut << QStringLiteral("%1 (needs %2, shows %3)")
                       .arg(list->objectName())
                       .arg(needs)
                       .arg(shows);
    }
    return cut;
}

} // namespace

class DisplayScaleTest : public QObject {
    Q_OBJECT

private slots:
    void theScreenIsScaled() {
        QScreen* screen = QGuiApplication::primaryScreen();
        QCOMPARE(screen->devicePixelRatio(), dpi / 96.0);
        // 1920 x 1080 pixels, as many logical ones as the scale leaves.
        QCOMPARE(screen->geometry().size(), QSize(1920 * 96 / dpi, 1080 * 96 / dpi));
    }

    // In the font Chinese Windows gives every window, Microsoft YaHei UI at
    // 9 points (elsewhere Noto Sans CJK, whose Chinese is as wide), and at
    // 11 points, as Windows' larger text setting makes it.
    void everyListShowsItsNamesWhole_data() {
        QTest::addColumn<int>("which");
        QTest::addColumn<int>("points");
        for (int points : {9, 11})
            for (int i = 0; i < allEditors().size(); ++i)
                QTest::addRow("%s, %d pt", allEditors()[i].name, points) << i << points;
    }
    void everyListShowsItsNamesWhole() {
        QFETCH(int, which);
        QFETCH(int, points);
        QApplication::setFont(QFont(
            {QStringLiteral("Microsoft YaHei UI"), QStringLiteral("Noto Sans CJK SC")}, points));
        const EditorCase& c = allEditors()[which];
        Driver d(c.entry, c.window, c.fileName, c.sample());
        openAndShow(d, c);
        QVERIFY2(d.prompts.messages.isEmpty(), qPrintable(d.prompts.lastMessage()));
        // The editor as the main window first shows it on this screen.
        QMdiSubWindow* frame = d.main->mdiArea()->activeSubWindow();
        QVERIFY(frame);
        QCoreApplication::processEvents();
        const QStringList cut = cutLists(d.editor);
        QVERIFY2(cut.isEmpty(), qPrintable(cut.join(QStringLiteral("; "))));
    }

    // In 表格, 序号 and the names beside the scrolling columns show whole, headings too;
    // the banner waits for the editors to close.
    void tableShowsNumbersAndNamesWhole_data() {
        QTest::addColumn<QString>("section");
        QTest::addColumn<int>("points");
        for (int points : {9, 11})
            for (const char* section : {"renpre", "daopre", "shoppre", "binpre", "chepre"})
                QTest::addRow("%s, %d pt", section, points)
                    << QString::fromLatin1(section) << points;
    }
    void tableShowsNumbersAndNamesWhole() {
        QFETCH(QString, section);
        QFETCH(int, points);
        QApplication::setFont(QFont(
            {QStringLiteral("Microsoft YaHei UI"), QStringLiteral("Noto Sans CJK SC")}, points));
        Driver d("dataedit", "DForm", "data.e5", sample::dataFile());
        d.open("fileop");
        d.find<QAction>(qPrintable(section))->trigger();
        d.trigger("tableview");
        QVERIFY(!d.main->banner()->isVisible());
        QTableView* frozen = nullptr;
        for (auto* view : d.editor->findChildren<QTableView*>(QStringLiteral("frozenColumns")))
            frozen = view->isVisible() ? view : frozen;
        QVERIFY(frozen);
        for (int c = 0; c < 2; ++c) {
            const int needs =
                std::max(frozen->horizontalHeader()->sectionSizeHint(c),
                         static_cast<QAbstractItemView*>(frozen)->sizeHintForColumn(c));
            QVERIFY2(needs <= frozen->columnWidth(c),
                     qPrintable(QStringLiteral("%1: %2").arg(c).arg(needs)));
        }
        d.trigger("exit");
        QVERIFY(d.main->banner()->isVisible());
    }
};

int main(int argc, char** argv) {
    std::vector<char*> rest;
    for (int i = 0; i < argc; ++i) {
        if (qstrcmp(argv[i], "--dpi") == 0 && i + 1 < argc)
            dpi = QByteArray(argv[++i]).toInt();
        else
            rest.push_back(argv[i]);
    }
    if (dpi < 96)
        return 2;
    rest.push_back(nullptr);
    return runOnScreen(int(rest.size()) - 1, rest.data(), 1920, 1080, dpi, [](int n, char** args) {
        DisplayScaleTest test;
        return QTest::qExec(&test, n, args);
    });
}

#include "displayscale_test.moc"
