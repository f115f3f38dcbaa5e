#include "modcommands.h"

#include "changes/modlist.h"
#include "check/foldercheck.h"
#include "cli.h"
#include "commandoutput.h"
#include "helptexts.h"

#include <QDir>

namespace lcj::cli {

namespace mods = changes::mods;
namespace patch = changes::patch;

namespace {

// The options a writing command takes for the fields changed outside the list.
mods::Outside outsideOption(QStringList& args, bool& clash) {
    const bool keep = args.removeAll(QStringLiteral("--keep-mine")) > 0;
    const bool drop = args.removeAll(QStringLiteral("--drop-mine")) > 0;
    clash = keep && drop;
    return keep ? mods::Outside::KeepAsLayer : drop ? mods::Outside::Drop : mods::Outside::Refuse;
}

QString stray(const QStringList& args) {
    for (const QString& a : args)
        if (a.startsWith(u'-') && a.size() > 1)
            return a;
    return {};
}

void printEntries(Output& o, const mods::ModList& list) {
    if (list.entries().isEmpty()) {
        o.out(QStringLiteral("模组列表是空的。\n"));
        return;
    }
    int n = 0;
    for (const mods::Entry& e : list.entries()) {
        QString line = QStringLiteral("%1. [%2] %3")
                           .arg(++n)
                           .arg(e.enabled ? QStringLiteral("开") : QStringLiteral("关"), e.name);
        if (!e.patch.name.isEmpty() && e.patch.name != e.name)
            line += QStringLiteral("（%1）").arg(e.patch.name);
        if (!e.patch.author.isEmpty())
            line += QStringLiteral(" 作者：%1").arg(e.patch.author);
        line += QStringLiteral(" %1，%2处修改").arg(e.files().join(u'、')).arg(e.fieldCount());
        o.out(line + u'\n');
        if (!e.patch.note.isEmpty())
            o.out(QStringLiteral("   说明：%1\n").arg(e.patch.note));
        if (!e.problem.isEmpty())
            o.out(QStringLiteral("   不能使用：%1\n").arg(e.problem));
        for (const QString& note : e.notes)
            o.out(QStringLiteral("   注意：%1\n").arg(note));
    }
}

// "data.e5 人物 5 武力：原版 74；甲 76；乙 80 → 80（乙）"
QString conflictLine(const mods::ModList& list, const mods::ConflictRow& row) {
    QStringList values;
    for (qsizetype i = 0; i < row.values.size(); ++i)
        if (row.values[i])
            values << QStringLiteral("%1 %2").arg(list.entries()[i].name,
                                                  patch::shown(*row.values[i]));
    const QString original =
        row.original.isUndefined() ? QStringLiteral("（追加）") : patch::shown(row.original);
    const QString winner =
        row.winner >= 0 ? list.entries()[row.winner].name : QStringLiteral("原版");
    return QStringLiteral("%1 %2：原版 %3；%4 → %5（%6）")
        .arg(row.file, row.where, original, values.join(QStringLiteral("；")),
             patch::shown(row.result), winner);
}

// What an apply or restore did, then the folder's check.
int report(Output& o, const QString& folder, const mods::ApplyResult& r, bool dryRun) {
    for (const QString& s : r.skipped)
        o.err(QStringLiteral("没有使用：%1\n").arg(s));
    int changed = 0;
    for (const mods::FileResult& f : r.files)
        if (f.before != f.after) {
            ++changed;
            o.out(QStringLiteral("%1：%2\n")
                      .arg(f.file, dryRun ? QStringLiteral("会改变") : QStringLiteral("已写入")));
        }
    if (dryRun)
        o.out(QStringLiteral("试运行：没有写入任何文件。\n"));
    else if (changed == 0)
        o.out(QStringLiteral("游戏文件已是这个样子，没有写入。\n"));
    if (dryRun)
        return Ok;
    const auto problems = check::checkFolder(folder);
    if (!problems.ok())
        return fail(o, problems.error());
    for (const check::Problem& p : *problems)
        o.out(QStringLiteral("检查：") + p.line() + u'\n');
    return problems->isEmpty() ? Ok : DataError;
}

// Opens the list of `folder`, or says why not.
std::optional<mods::ModList> openList(Output& o, const QString& folder, bool repair) {
    auto list = repair ? mods::ModList::openToRepair(folder) : mods::ModList::open(folder);
    if (!list.ok()) {
        o.err(list.error() + QStringLiteral("\n没有改动任何文件。\n"));
        return std::nullopt;
    }
    return std::move(*list);
}

int run(Output& o, const QString& verb, QStringList args) {
    bool clash = false;
    const auto outside = outsideOption(args, clash);
    const bool dryRun = args.removeAll(QStringLiteral("--dry-run")) > 0;
    if (clash)
        return usage(o, help::mods, QStringLiteral("--keep-mine 和 --drop-mine 只能选一个"));
    if (const QString s = stray(args); !s.isEmpty())
        return usage(o, help::mods, QStringLiteral("未知的选项 %1").arg(s));
    const bool takesOutside = verb == QStringLiteral("apply") || verb == QStringLiteral("restore");
    if ((outside != mods::Outside::Refuse && !takesOutside) ||
        (dryRun && verb != QStringLiteral("apply")))
        return usage(o, help::mods, QStringLiteral("mods %1 不接受这个选项").arg(verb));
    struct Shape {
        const char* verb;
        int min, max;
    };
    static const Shape shapes[] = {{"add", 2, 1000},    {"remove", 2, 2},   {"list", 1, 1},
                                   {"enable", 2, 2},    {"disable", 2, 2},  {"order", 3, 3},
                                   {"apply", 1, 1},     {"restore", 1, 1},  {"undo", 1, 1},
                                   {"conflicts", 1, 1}, {"originals", 2, 2}};
    const auto* shape = std::find_if(std::begin(shapes), std::end(shapes),
                                     [&](const Shape& s) { return verb == QLatin1String(s.verb); });
    if (shape == std::end(shapes))
        return usage(o, help::mods, QStringLiteral("未知的命令 mods %1").arg(verb));
    if (args.size() < shape->min || args.size() > shape->max)
        return usage(o, help::mods);
    const QString folder = args.takeFirst();
    // Taking an entry out and replacing the originals mend a damaged workshop.
    const bool repair = verb == QStringLiteral("remove") || verb == QStringLiteral("originals");
    auto list = openList(o, folder, repair);
    if (!list)
        return DataError;
    if (verb == QStringLiteral("list")) {
        printEntries(o, *list);
        return Ok;
    }
    if (verb == QStringLiteral("add")) {
        for (const QString& path : args) {
            const auto added = list->add(path);
            if (!added.ok())
                return fail(o, added.error());
            if (added->alreadyListed) {
                o.out(QStringLiteral("“%1”已在列表里（%2），没有再加一次。\n")
                          .arg(QDir::toNativeSeparators(path), added->name));
                continue;
            }
            o.out(QStringLiteral("已加入：%1\n").arg(added->name));
            for (const QString& line : added->alreadyModded)
                o.err(QStringLiteral("注意：游戏文件似乎已经改过：%1\n").arg(line));
        }
        return Ok;
    }
    if (verb == QStringLiteral("remove") || verb == QStringLiteral("enable") ||
        verb == QStringLiteral("disable")) {
        const Failure failure = verb == QStringLiteral("remove")
                                    ? list->remove(args[0])
                                    : list->setEnabled(args[0], verb == QStringLiteral("enable"));
        if (!failure.ok())
            return fail(o, failure.error());
        printEntries(o, *list);
        return Ok;
    }
    if (verb == QStringLiteral("originals")) {
        if (auto failure = list->takeOriginalsFrom(args[0]); !failure.ok())
            return fail(o, failure.error());
        o.out(QStringLiteral("已从“%1”取得原版：%2\n")
                  .arg(QDir::toNativeSeparators(args[0]), list->touchedFiles().join(u'、')));
        return Ok;
    }
    if (verb == QStringLiteral("order")) {
        bool number = false;
        const int position = args[1].toInt(&number);
        if (!number)
            return fail(o, QStringLiteral("位置“%1”不是一个数字").arg(args[1]));
        if (auto failure = list->move(args[0], position - 1); !failure.ok())
            return fail(o, failure.error());
        printEntries(o, *list);
        return Ok;
    }
    if (verb == QStringLiteral("conflicts")) {
        const auto rows = list->conflicts();
        if (!rows.ok())
            return fail(o, rows.error());
        for (const mods::ConflictRow& row : *rows)
            o.out(conflictLine(*list, row) + u'\n');
        if (rows->isEmpty())
            o.err(QStringLiteral("没有冲突。\n"));
        return Ok;
    }
    if (verb == QStringLiteral("undo")) {
        const auto r = list->undoApply();
        if (!r.ok())
            return fail(o, r.error());
        return report(o, list->folder(), *r, false);
    }
    const auto r =
        verb == QStringLiteral("apply") ? list->apply(outside, dryRun) : list->restore(outside);
    if (!r.ok()) {
        QString message = r.error();
        if (outside == mods::Outside::Refuse && message.contains(QStringLiteral("模组列表之外")))
            message +=
                QStringLiteral("\n可用 --keep-mine 把它们留作“%1”，或 --drop-mine 丢掉它们。")
                    .arg(mods::ownLayerName);
        return fail(o, message);
    }
    if (verb == QStringLiteral("apply"))
        for (const mods::ConflictRow& row : r->conflicts)
            o.out(QStringLiteral("冲突：") + conflictLine(*list, row) + u'\n');
    return report(o, list->folder(), *r, dryRun);
}

} // namespace

int modsCommand(QStringList args, Output& o) {
    if (args.isEmpty())
        return usage(o, help::mods);
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h")))
        return helpOn(o, help::mods);
    const QString verb = args.takeFirst();
    return run(o, verb, args);
}

} // namespace lcj::cli
