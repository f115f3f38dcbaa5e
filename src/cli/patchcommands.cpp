#include "patchcommands.h"

#include "changes/patch.h"
#include "cli.h"
#include "commandoutput.h"
#include "common/fileaccess.h"
#include "options.h"
#include "output.h"

#include <QFileInfo>

namespace lcj::cli {

namespace patch = changes::patch;

const QString patchHelp = QStringLiteral(
    "用法:\n"
    "  lcjtool patch make ORIGINAL MODDED -o NAME.lcjpatch [--name 名称] [--author 作者] "
    "[--note 说明]\n"
    "      ORIGINAL 和 MODDED 是两个游戏文件夹（或同一种的两个文件）；补丁列出每一处改动\n"
    "  lcjtool patch apply NAME.lcjpatch GAME [--dry-run] [--keep-mine | --take-theirs]\n"
    "      把补丁用在游戏文件夹（或文件）GAME 上；有冲突时不写入任何文件，\n"
    "      除非 --keep-mine（保留现有的值）或 --take-theirs（采用补丁的值）\n"
    "  lcjtool patch revert NAME.lcjpatch GAME [--dry-run] [--keep-mine | --take-theirs]\n"
    "      反过来用补丁，把模组从游戏里去掉\n"
    "  lcjtool patch show NAME.lcjpatch\n");

namespace {

int make(Output& o, QStringList args) {
    QString out, name, author, note;
    if (!takeOption(args, {QStringLiteral("-o"), QStringLiteral("--output")}, out) ||
        !takeOption(args, {QStringLiteral("--name")}, name) ||
        !takeOption(args, {QStringLiteral("--author")}, author) ||
        !takeOption(args, {QStringLiteral("--note")}, note))
        return usage(o, patchHelp, QStringLiteral("选项缺少取值"));
    for (const QString& a : args)
        if (a.startsWith(u'-'))
            return usage(o, patchHelp, QStringLiteral("未知的选项 %1").arg(a));
    if (args.size() != 2 || out.isEmpty())
        return usage(o, patchHelp);
    if (isStandardOutput(out))
        return usage(o, patchHelp, QStringLiteral("补丁只写到文件，请用 -o 给出补丁的文件名"));
    if (auto problem = outputProblem(out, args); !problem.ok())
        return fail(o, problem.error());
    QStringList warnings;
    auto made = patch::makePatch(args[0], args[1], warnings);
    if (!made.ok())
        return fail(o, made.error() + QStringLiteral("\n没有写入任何内容。"));
    made->name = name;
    made->author = author;
    made->note = note;
    for (const QString& w : warnings)
        o.err(QStringLiteral("注意：") + w + u'\n');
    if (made->files.isEmpty())
        return fail(o, QStringLiteral("两边的游戏文件没有编辑器能看到的不同，没有写入补丁。"));
    if (auto failure = files::writeOutputFile(out, patch::toJson(*made)); !failure.ok())
        return fail(o, QStringLiteral("写入补丁出错：") + failure.error());
    int changes = 0;
    for (const auto& f : made->files)
        changes += int(f.changes.size());
    o.out(QStringLiteral("已写入 %1：%2个文件，%3处修改\n")
              .arg(out)
              .arg(made->files.size())
              .arg(changes));
    return Ok;
}

int apply(Output& o, QStringList args, bool reverse) {
    const bool dryRun = args.removeAll(QStringLiteral("--dry-run")) > 0;
    const bool mine = args.removeAll(QStringLiteral("--keep-mine")) > 0;
    const bool theirs = args.removeAll(QStringLiteral("--take-theirs")) > 0;
    for (const QString& a : args)
        if (a.startsWith(u'-'))
            return usage(o, patchHelp, QStringLiteral("未知的选项 %1").arg(a));
    if (args.size() != 2)
        return usage(o, patchHelp);
    if (mine && theirs)
        return usage(o, patchHelp, QStringLiteral("--keep-mine 和 --take-theirs 只能选一个"));
    const auto p = patch::readPatchFile(args[0]);
    if (!p.ok())
        return fail(o, p.error());
    const auto settle = mine     ? patch::Settle::KeepMine
                        : theirs ? patch::Settle::TakeTheirs
                                 : patch::Settle::Refuse;
    const auto outcome = patch::applyPatch(*p, args[1], reverse, settle, dryRun);
    if (!outcome.ok())
        return fail(o, outcome.error());
    for (const auto& f : outcome->files) {
        QString line = QStringLiteral("%1：改%2处，已是补丁的值%3处")
                           .arg(QFileInfo(f.path).fileName())
                           .arg(f.taken)
                           .arg(f.already);
        if (f.kept > 0)
            line += QStringLiteral("，保留现有的值%1处").arg(f.kept);
        if (f.original)
            line += QStringLiteral("（与制作补丁时的原版相同）");
        o.out(line + u'\n');
    }
    for (const QString& c : outcome->conflicts)
        o.err(QStringLiteral("冲突：") + c + u'\n');
    if (!outcome->conflicts.isEmpty() && settle == patch::Settle::Refuse)
        return fail(o, QStringLiteral("有%1处冲突，没有写入任何文件。可用 --keep-mine "
                                      "保留现有的值，或 --take-theirs 采用补丁的值。")
                           .arg(outcome->conflicts.size()));
    if (dryRun)
        o.out(QStringLiteral("试运行：没有写入任何文件。\n"));
    else if (outcome->written)
        o.out(reverse ? QStringLiteral("补丁已撤销。\n") : QStringLiteral("补丁已用上。\n"));
    else if (reverse)
        o.out(QStringLiteral("补丁的修改不在文件里，没有可撤销的\n"));
    else
        o.out(QStringLiteral("文件已是补丁要求的样子，没有写入。\n"));
    return Ok;
}

} // namespace

int patchCommand(QStringList args, Output& o) {
    if (args.isEmpty())
        return usage(o, patchHelp);
    if (args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h")))
        return helpOn(o, patchHelp);
    const QString verb = args.takeFirst();
    if (verb == QStringLiteral("make"))
        return make(o, args);
    if (verb == QStringLiteral("apply"))
        return apply(o, args, false);
    if (verb == QStringLiteral("revert"))
        return apply(o, args, true);
    if (verb == QStringLiteral("show")) {
        if (args.size() != 1)
            return usage(o, patchHelp);
        const auto p = patch::readPatchFile(args[0]);
        if (!p.ok())
            return fail(o, p.error());
        o.out(patch::describe(*p).join(u'\n') + u'\n');
        return Ok;
    }
    return usage(o, patchHelp, QStringLiteral("未知的命令 patch %1").arg(verb));
}

} // namespace lcj::cli
