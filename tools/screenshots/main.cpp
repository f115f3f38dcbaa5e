// lcjscreenshots OUTDIR: the pictures of the user guide.
//
// Writes the sample game into a temporary folder, creates the main window,
// opens each editor through its menu entry, opens a sample file and a section
// where the editor has them, and saves a picture of each window as
// OUTDIR/<menu entry>.png (main.png for the main window). Dialogs are answered
// with the sample files; editors whose menu entry is greyed are skipped.
// Everything is found by objectName only, so new editors need no change here.

#include "changes/modlist.h"
#include "changes/patch.h"
#include "changes/ui/modlistwindow.h"
#include "check/ui/jiancha.h"
#include "common/gbk.h"
#include "common/gui/appicon.h"
#include "common/ui/editorwindow.h"
#include "common/ui/prompts.h"
#include "common/version.h"
#include "datafile/datalayout.h"
#include "samplegen/samplegame.h"
#include "scenario/scenariodocument.h"
#include "scenario/ui/battlemap.h"
#include "shell/mainwindow.h"

#include <QAbstractButton>
#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFontDatabase>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMdiArea>
#include <QMdiSubWindow>
#include <QMouseEvent>
#include <QScreen>
#include <QTableView>
#include <QTemporaryDir>
#include <QTimer>
#include <QTreeWidget>
#include <cstdio>
#include <functional>

namespace {

void note(const QString& text) {
    std::fprintf(stderr, "%s\n", text.toUtf8().constData());
}

// Answers every open dialog with the sample file its filter asks for, cancels
// save dialogs, says no to questions and notes every message.
class SampleGamePrompts final : public lcj::Prompts {
public:
    explicit SampleGamePrompts(QString folder) : folder_(std::move(folder)) {}

    QStringList messages;

    QString chooseOpenFile(QWidget*, const QString& title, const QString& filter,
                           const QString&) override {
        const QString file = sampleFileFor(filter);
        note(QStringLiteral("  %1: %2")
                 .arg(title, file.isEmpty() ? QStringLiteral("(cancel)")
                                            : QDir(folder_).relativeFilePath(file)));
        return file;
    }
    QString chooseSaveFile(QWidget*, const QString&, const QString&, const QString&) override {
        return {};
    }
    QString chooseFolder(QWidget*, const QString&, const QString&) override { return folder_; }
    void showMessage(QWidget*, const QString& text, const QString&, Icon) override {
        messages << text;
        note(QStringLiteral("  message: %1").arg(text));
    }
    bool ask(QWidget*, const QString&, const QString&) override { return false; }
    SaveChoice askToSave(QWidget*, const QString&, const QString&) override {
        return SaveChoice::Discard;
    }
    int choose(QWidget*, const QString&, const QStringList&, int, int escapeButton,
               const QString&) override {
        return escapeButton;
    }

private:
    // The kinds of game file, most specific first: each is known by a word of
    // its dialog's filter and found by a pattern in the sample folder.
    QString sampleFileFor(const QString& filter) const {
        struct Kind {
            const char16_t* word;
            const char16_t* pattern;
        };
        static const Kind kinds[] = {
            {u"S_", u"S_*.eex"}, {u".e5s", u"Sv*.e5s"},    {u"Imsg", u"Imsg.e5"},
            {u".exe", u"*.exe"}, {u"data.e5", u"data.e5"}, {u".bmp", u"*.bmp"},
        };
        for (const Kind& kind : kinds) {
            if (!filter.contains(QString::fromUtf16(kind.word), Qt::CaseInsensitive))
                continue;
            const QStringList found = QDir(folder_).entryList(
                {QString::fromUtf16(kind.pattern)}, QDir::Files, QDir::Name | QDir::IgnoreCase);
            return found.isEmpty() ? QString() : QDir(folder_).filePath(found.first());
        }
        return {};
    }

    QString folder_;
};

void settle() {
    for (int i = 0; i < 5; ++i)
        QApplication::processEvents();
}

// Runs the window's menu entries or buttons named in `steps`, in order, as a
// user would pick them; ones this window does not have are passed over.
void runSteps(QWidget* window, const QStringList& steps) {
    for (const QString& step : steps) {
        if (auto* action = window->findChild<QAction*>(step)) {
            if (action->isEnabled())
                action->trigger();
            else
                note(QStringLiteral("  %1 is greyed").arg(step));
        } else if (auto* button = window->findChild<QAbstractButton*>(step)) {
            button->click();
        } else {
            note(QStringLiteral("  no %1 here").arg(step));
        }
        settle();
    }
}

// Selects row `row` of the list `name` (a list that exists but is hidden is
// left alone), as a click on it would.
void selectRow(QWidget* window, const QString& name, int row) {
    auto* list = window->findChild<QListWidget*>(name);
    if (list && list->isVisible() && list->count() > row)
        list->setCurrentRow(row);
    settle();
}

// Types `text` into the filter box of list `name` and selects its row `row`,
// so that the picture shows a filtered list with its record numbers.
void filterList(QWidget* window, const QString& name, const QString& text, int row) {
    auto* filter = window->findChild<QLineEdit*>(name + QStringLiteral("Filter"));
    if (filter && filter->isVisible())
        filter->setText(text);
    selectRow(window, name, row);
}

bool save(const QPixmap& picture, const QDir& out, const QString& name) {
    const QString path = out.filePath(name + QStringLiteral(".png"));
    if (picture.isNull() || !picture.save(path)) {
        note(QStringLiteral("cannot write %1").arg(path));
        return false;
    }
    note(QStringLiteral("wrote %1 (%2 x %3)").arg(path).arg(picture.width()).arg(picture.height()));
    return true;
}

// The map viewer: the larger sample map, zoomed twice, with the pointer on
// the cell at column 9, row 4.
void showMap(QWidget* window, const QString& sampleFolder) {
    auto* files = window->findChild<QListWidget*>(QStringLiteral("File1"));
    auto* folders = window->findChild<QListWidget*>(QStringLiteral("Dir1"));
    if (!files || !folders)
        return;
    // The folder list holds the chain of folders from the root; pointing it at
    // the sample folder is what a double click on each of them does.
    QMetaObject::invokeMethod(window, "setFolder", Q_ARG(QString, sampleFolder));
    settle();
    const auto maps = files->findItems(QStringLiteral("*.bmp"), Qt::MatchWildcard);
    if (maps.isEmpty())
        return;
    files->setCurrentItem(maps.last());
    settle();
    runSteps(window, {QStringLiteral("Command2")});
    if (auto* image = window->findChild<QLabel*>(QStringLiteral("Image1"))) {
        const QPointF at(9 * 12 + 6, 4 * 12 + 6);
        QMouseEvent move(QEvent::MouseMove, at, image->mapTo(window, at), image->mapToGlobal(at),
                         Qt::NoButton, Qt::NoButton, Qt::NoModifier);
        QApplication::sendEvent(image, &move);
    }
    settle();
}

// The scenario editor with its battle map docked beside the frames, on the
// first sample map enlarged twice, one enemy dragged three cells to the right,
// and below the map the list of changes that the drag leaves for the next
// save. Saved as battlemap.png (the editor) and changelist.png (the list).
bool showBattle(QWidget* window, QMdiSubWindow* frame, const QDir& out) {
    runSteps(window, {QStringLiteral("battlemap")});
    auto* map = window->findChild<lcj::scenario::BattleMap*>(QStringLiteral("BattleMap"));
    if (!map || map->mapPath().isEmpty()) {
        note(QStringLiteral("  the battle map shows no map"));
        return false;
    }
    runSteps(map, {QStringLiteral("zoom2")});
    lcj::scenario::BattleMapImage* image = map->image();
    const auto& units = image->units();
    for (qsizetype i = 0; i < units.size(); ++i) {
        if (units[i].kind != lcj::scenario::UnitKind::Enemy || units[i].index != 30)
            continue;
        const int k = map->zoom().cellSize();
        const QPoint from = image->markerCentre(int(i));
        const QPoint to = (units[i].cell + QPoint(3, 0)) * k + QPoint(k / 2, k / 2);
        for (const auto& [type, at] : {std::pair{QEvent::MouseButtonPress, from},
                                       std::pair{QEvent::MouseButtonRelease, to}}) {
            QMouseEvent event(type, at, image->mapToGlobal(at), Qt::LeftButton,
                              type == QEvent::MouseButtonPress ? Qt::LeftButton : Qt::NoButton,
                              Qt::NoModifier);
            QApplication::sendEvent(image, &event);
        }
        break;
    }
    runSteps(window, {QStringLiteral("changelist")});
    settle();
    bool ok = save(frame->grab(), out, QStringLiteral("battlemap"));
    if (auto* changes = window->findChild<QWidget*>(QStringLiteral("ChangesPanel")))
        ok = save(changes->grab(), out, QStringLiteral("changelist")) && ok;
    return ok;
}

// The data editor's 表格 view of the characters with a block from a
// spreadsheet pasted over 武力 to 运气 of six records: the pasted cells stay
// marked until saved.
bool showTable(QWidget* window, QMdiSubWindow* frame, const QDir& out) {
    filterList(window, QStringLiteral("List1"), QString(), 0);
    runSteps(window, {QStringLiteral("tableview")});
    QTableView* table = nullptr;
    for (auto* view : window->findChildren<QTableView*>())
        if (view->isVisible())
            table = view;
    if (!table) {
        note(QStringLiteral("dataedit: 表格 showed no table"));
        return false;
    }
    int force = -1;
    for (int c = 0; c < table->model()->columnCount(); ++c)
        if (table->model()->headerData(c, Qt::Horizontal).toString() == QStringLiteral("武力"))
            force = c;
    if (force < 0) {
        note(QStringLiteral("dataedit: the table has no column 武力"));
        return false;
    }
    table->setCurrentIndex(table->model()->index(3, force));
    QGuiApplication::clipboard()->setText(QStringLiteral("180\t150\t120\t160\t90\r\n"
                                                         "176\t148\t118\t158\t92\r\n"
                                                         "170\t146\t130\t150\t96\r\n"
                                                         "166\t140\t128\t152\t98\r\n"
                                                         "160\t138\t140\t148\t100\r\n"
                                                         "158\t136\t136\t146\t102\r\n"));
    QKeyEvent paste(QEvent::KeyPress, Qt::Key_V, Qt::ControlModifier, QStringLiteral("\x16"));
    QApplication::sendEvent(table, &paste);
    frame->showNormal();
    frame->resize(1280, 640);
    settle();
    return save(frame->grab(), out, QStringLiteral("datatable"));
}

// The main window with the sample game open as the game folder: the dock lists its files,
// and the save game opened from it holds a confirmed edit not yet saved, so its row
// carries the unsaved mark. Saved as gamefolder.png.
bool showGameFolder(lcj::MainWindow& main, const QDir& out) {
    note(QStringLiteral("gamefolder:"));
    // The editors closed above go now, as the program's event loop would have let them.
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    runSteps(&main, {QStringLiteral("gamefolder")});
    auto* files = main.findChild<QTreeWidget*>(QStringLiteral("gamefiles"));
    const auto saves =
        files ? files->findItems(QStringLiteral("Sv01d.e5s"), Qt::MatchExactly | Qt::MatchRecursive)
              : QList<QTreeWidgetItem*>();
    if (saves.isEmpty()) {
        note(QStringLiteral("gamefolder: the dock lists no Sv01d.e5s"));
        return false;
    }
    files->setCurrentItem(saves.first());
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(files, &enter);
    settle();
    auto* record = main.findChild<QWidget*>(QStringLiteral("Record"));
    auto* loyalty = record ? record->findChild<QLineEdit*>(QStringLiteral("Text24")) : nullptr;
    if (!loyalty) {
        note(QStringLiteral("gamefolder: Sv01d.e5s opened no save editor"));
        return false;
    }
    loyalty->setText(QStringLiteral("99"));
    runSteps(record, {QStringLiteral("Command1")});
    if (auto* frame = qobject_cast<QMdiSubWindow*>(record->parentWidget()))
        frame->move(0, 0);
    main.resize(1280, 760);
    settle();
    return save(main.grab(), out, QStringLiteral("gamefolder"));
}

// Changes the bytes of the file `name` in `folder` with `edit`.
bool changeFile(const QString& folder, const QString& name,
                const std::function<void(QByteArray&)>& edit) {
    QFile file(QDir(folder).filePath(name));
    if (!file.open(QIODevice::ReadWrite))
        return false;
    QByteArray bytes = file.readAll();
    edit(bytes);
    return file.seek(0) && file.write(bytes) == bytes.size() && file.resize(bytes.size());
}

// 检查游戏目录 on a copy of the sample game with a few faults of each kind
// planted: a refused movement, references past data.e5's tables, a name that
// is not GBK, a message file cut short. Saved as check.png.
bool showCheck(SampleGamePrompts& prompts, const QDir& out) {
    QTemporaryDir temp;
    const QString folder = temp.filePath(QStringLiteral("岚川记"));
    if (auto failure = lcj::sample::writeSampleGame(folder); !failure.ok()) {
        note(failure.error());
        return false;
    }
    const auto setWord = [](QByteArray& b, qint64 at, int value) {
        b[at] = char(value & 0xFF);
        b[at + 1] = char(value >> 8);
    };
    bool planted = changeFile(folder, QStringLiteral("data.e5"), [](QByteArray& b) {
        using namespace lcj::data;
        b[troopTypes.recordOffset(6)] = char(24);                          // 兵种 6 移动力
        b[characters.recordOffset(9) + 29] = char(150);                    // 人物 9 武具
        b.replace(characters.recordOffset(12), 2, QByteArray("\xFF\x41")); // 人物 12 姓名
        b[shops.recordOffset(4) + 19] = char(110);                         // 商店 4 道具店
    });
    planted = changeFile(folder, QStringLiteral("S_01.eex"),
                         [&](QByteArray& b) {
                             const auto scan = lcj::scenario::ScenarioDocument::scan(b).scan();
                             setWord(b, scan.enemyBase + 2 * 56 + 2, 600);
                             setWord(b, scan.allyBase + 4 * 52 + 2, 512);
                         }) &&
              planted;
    planted = changeFile(folder, QStringLiteral("Sv01d.e5s"),
                         [](QByteArray& b) { b[5340 + 32 * 3 + 17] = char(70); }) &&
              planted;
    planted =
        changeFile(folder, QStringLiteral("Imsg.e5"), [](QByteArray& b) { b.truncate(120000); }) &&
        planted;
    if (!planted) {
        note(QStringLiteral("check: cannot plant the faults"));
        return false;
    }
    lcj::check::Jiancha window(prompts);
    window.resize(980, 360);
    window.show();
    window.checkFolder(folder);
    settle();
    return save(window.grab(), out, QStringLiteral("check"));
}

// 模组管理 on a copy of the sample game with three patches in its list that set some of
// the same characters' fields: the grid shows who wins. Saved as
// mozuguanli.png.
bool showMods(SampleGamePrompts& prompts, const QDir& out) {
    namespace patch = lcj::changes::patch;
    QTemporaryDir temp;
    const QString folder = temp.filePath(QStringLiteral("岚川记"));
    if (auto failure = lcj::sample::writeSampleGame(folder); !failure.ok()) {
        note(failure.error());
        return false;
    }
    auto list = lcj::changes::mods::ModList::open(folder);
    if (!list.ok()) {
        note(list.error());
        return false;
    }
    struct Mod {
        const char16_t* name;
        const char16_t* author;
        const char16_t* note;
        QList<patch::Cell> cells;
    };
    const auto cell = [](int row, const char16_t* column, int value) {
        return patch::Cell{
            QStringLiteral("characters"), row, QString::fromUtf16(column), {}, value};
    };
    const Mod mods[] = {
        {u"强兵",
         u"阿岚",
         u"主角们更强",
         {cell(5, u"武力", 76), cell(6, u"武力", 60), cell(7, u"武力", 70)}},
        {u"平衡", u"川川", u"削弱几位强将", {cell(5, u"武力", 70), cell(7, u"武力", 50)}},
        {u"名将录",
         u"记者",
         u"名将的能力按史书调整",
         {cell(5, u"武力", 80), cell(6, u"武力", 62), cell(7, u"智力", 90)}},
    };
    const QString data = QDir(folder).filePath(QStringLiteral("data.e5"));
    QFile original(data);
    if (!original.open(QIODevice::ReadOnly)) {
        note(QStringLiteral("mods: cannot read data.e5"));
        return false;
    }
    const QByteArray bytes = original.readAll();
    for (const Mod& mod : mods) {
        const QString modded = temp.filePath(QString::fromUtf16(mod.name));
        auto written =
            patch::writeCells(patch::FileKind::Data, QStringLiteral("data.e5"), bytes, mod.cells);
        QStringList warnings;
        if (!written.ok() || !QDir().mkpath(modded)) {
            note(QStringLiteral("mods: %1")
                     .arg(written.ok() ? QStringLiteral("no folder") : written.error()));
            return false;
        }
        QFile file(QDir(modded).filePath(QStringLiteral("data.e5")));
        if (!file.open(QIODevice::WriteOnly) || file.write(*written) != written->size())
            return false;
        file.close();
        auto made = patch::makePatch(data, file.fileName(), warnings);
        if (!made.ok()) {
            note(made.error());
            return false;
        }
        made->name = QString::fromUtf16(mod.name);
        made->author = QString::fromUtf16(mod.author);
        made->note = QString::fromUtf16(mod.note);
        const QString path = modded + QStringLiteral(".lcjpatch");
        QFile saved(path);
        if (!saved.open(QIODevice::WriteOnly) || saved.write(patch::toJson(*made)) < 0)
            return false;
        saved.close();
        if (auto added = list->add(path); !added.ok()) {
            note(added.error());
            return false;
        }
    }
    lcj::ModListWindow window(prompts);
    window.resize(900, 560);
    window.show();
    window.useGameData(data);
    settle();
    return save(window.grab(), out, QStringLiteral("mozuguanli"));
}

struct Editor {
    const char16_t* entry;  // the main menu entry, also the picture's name
    const char16_t* window; // the editor window's objectName
    QStringList steps;      // menu entries and buttons, in order
    const char16_t* list;   // a list whose first row is then selected, or none
};

} // namespace

int main(int argc, char* argv[]) {
    const char usage[] = "usage: lcjscreenshots OUTDIR\n"
                         "  saves a picture of every editor window into OUTDIR.\n"
                         "  --help     this text\n"
                         "  --version  the program's version\n";
    // The options first: they need no screen.
    for (int i = 1; i < argc; ++i) {
        if (qstrcmp(argv[i], "--help") == 0 || qstrcmp(argv[i], "-h") == 0) {
            std::fputs(usage, stdout);
            return 0;
        }
        if (qstrcmp(argv[i], "--version") == 0) {
            std::fputs("lcjscreenshots " LCJ_VERSION "\n", stdout);
            return 0;
        }
    }
    QApplication app(argc, argv);
    QApplication::setApplicationName(QStringLiteral("岚川记数据工坊"));
    // The pictures show the program's own icon on the window frames, as it runs.
    QApplication::setWindowIcon(lcj::icons::appIcon());
    const QStringList args = QApplication::arguments();
    for (qsizetype i = 1; i < args.size(); ++i)
        if (args[i].startsWith(u'-')) {
            std::fprintf(stderr, "lcjscreenshots: unknown option %s\n%s", qPrintable(args[i]),
                         usage);
            return 2;
        }
    if (args.size() != 2) {
        std::fputs(usage, stderr);
        return 2;
    }
    if (!lcj::gbk::available()) {
        note(QStringLiteral("GBK is not available in this Qt build"));
        return 1;
    }
    // Chinese needs a CJK font; fonts-noto-cjk gives one.
    const QStringList families = QFontDatabase::families();
    for (const QString& family :
         {QStringLiteral("Noto Sans CJK SC"), QStringLiteral("Noto Sans SC"),
          QStringLiteral("WenQuanYi Micro Hei")}) {
        if (families.contains(family)) {
            QFont font(family);
            font.setPointSize(10);
            QApplication::setFont(font);
            break;
        }
    }
    if (!QFontDatabase::writingSystems(QApplication::font().family())
             .contains(QFontDatabase::SimplifiedChinese))
        note(QStringLiteral("warning: no CJK font found, Chinese will not show (install "
                            "fonts-noto-cjk)"));

    // The scale the pictures are taken at: the display's, as Windows gives it
    // (96 dpi is 100 %, 144 dpi 150 %); a picture's pixels grow by the ratio.
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        note(QStringLiteral("screen %1 x %2, %3 dpi, device pixel ratio %4")
                 .arg(screen->size().width())
                 .arg(screen->size().height())
                 .arg(screen->logicalDotsPerInch() * screen->devicePixelRatio())
                 .arg(screen->devicePixelRatio()));

    QDir out(args[1]);
    if (!out.mkpath(QStringLiteral("."))) {
        note(QStringLiteral("cannot create %1").arg(args[1]));
        return 1;
    }
    QTemporaryDir temp;
    const QString sampleFolder = temp.filePath(QStringLiteral("岚川记"));
    if (auto failure = lcj::sample::writeSampleGame(sampleFolder); !failure.ok()) {
        note(failure.error());
        return 1;
    }

    SampleGamePrompts prompts(sampleFolder);
    lcj::MainWindow main(prompts);
    main.resize(1000, 680);
    main.show();
    settle();
    bool ok = save(main.grab(), out, QStringLiteral("main"));

    const Editor editors[] = {
        {u"dataedit", u"DForm", {QStringLiteral("fileop"), QStringLiteral("renpre")}, nullptr},
        {u"sedit", u"Junben", {QStringLiteral("dataopen"), QStringLiteral("sopen")}, u"List4"},
        {u"saveedit", u"Record", {QStringLiteral("fileopen")}, nullptr},
        {u"imsgedit", u"Imsg", {QStringLiteral("fileopen"), QStringLiteral("liezhuan")}, nullptr},
        {u"fileedit", u"MainFile", {QStringLiteral("mainopen")}, nullptr},
        {u"map", u"Form1", {}, nullptr},
    };
    for (const Editor& editor : editors) {
        const QString entryName = QString::fromUtf16(editor.entry);
        auto* entry = main.findChild<QAction*>(entryName);
        if (!entry || !entry->isEnabled()) {
            note(QStringLiteral("%1: not available yet, skipped").arg(entryName));
            continue;
        }
        note(QStringLiteral("%1:").arg(entryName));
        entry->trigger();
        settle();
        auto* window = main.findChild<QWidget*>(QString::fromUtf16(editor.window));
        auto* frame = window ? qobject_cast<QMdiSubWindow*>(window->parentWidget()) : nullptr;
        if (!window || !frame) {
            note(QStringLiteral("%1: the menu entry showed no window %2")
                     .arg(entryName, QString::fromUtf16(editor.window)));
            ok = false;
            continue;
        }
        runSteps(window, editor.steps);
        if (editor.list)
            selectRow(window, QString::fromUtf16(editor.list), 0);
        if (entryName == u"map")
            showMap(window, sampleFolder);
        if (entryName == u"dataedit")
            filterList(window, QStringLiteral("List1"), QStringLiteral("13"), 137);
        frame->showNormal();
        // As the main window would show it on a common screen.
        frame->resize(frame->sizeHint().boundedTo(QSize(1480, 960)));
        settle();
        ok = save(frame->grab(), out, entryName) && ok;
        if (entryName == u"sedit")
            ok = showBattle(window, frame, out) && ok;
        if (entryName == u"dataedit")
            ok = showTable(window, frame, out) && ok;
        // One window at a time, so that each picture shows its editor alone.
        frame->close();
        settle();
    }
    ok = showGameFolder(main, out) && ok;
    note(QStringLiteral("check:"));
    ok = showCheck(prompts, out) && ok;
    note(QStringLiteral("mozuguanli:"));
    ok = showMods(prompts, out) && ok;
    return ok ? 0 : 1;
}
