#include "cli.h"

#include "common/fileaccess.h"
#include "common/gbk.h"
#include "common/version.h"
#include "console.h"
#include "csv.h"
#include "datacommands.h"
#include "datafile/datafile.h"
#include "regioncommands.h"
#include "scenariocommands.h"

#include <QFile>
#include <cstdio>

namespace lcj::cli {

namespace {

void print(std::FILE* to, const QString& text) {
    console::write(to, text);
}

int fail(const QString& message) {
    print(stderr, message + u'\n');
    return DataError;
}

int usage(const QString& help, const QString& problem = {}) {
    if (!problem.isEmpty())
        print(stderr, QStringLiteral("lcjtool: ") + problem + u'\n');
    print(stderr, help);
    return UsageError;
}

bool wantsHelp(const QStringList& args) {
    return args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"));
}

// Takes `--name VALUE` out of args; empty when absent. False when VALUE is missing.
bool takeOption(QStringList& args, const QStringList& names, QString& value) {
    for (const QString& name : names) {
        const qsizetype i = args.indexOf(name);
        if (i < 0)
            continue;
        if (i + 1 >= args.size())
            return false;
        value = args[i + 1];
        args.remove(i, 2);
    }
    return true;
}

bool takeFlag(QStringList& args, const QString& name) {
    return args.removeAll(name) > 0;
}

const QString topHelp =
    QStringLiteral("用法: lcjtool <命令> ...\n"
                   "  data export DATA.e5 TABLE [--format csv|json] [-o FILE]\n"
                   "  data import DATA.e5 TABLE FILE [--dry-run]\n"
                   "  save export|import Sv??d.e5s FILE [--part characters|stock|loyalty]\n"
                   "  imsg export|import Imsg.e5 CATEGORY FILE\n"
                   "  exe show Lcj5.exe [--part figures|switch] [-o FILE]\n"
                   "  exe set Lcj5.exe FILE [--part figures|switch]\n"
                   "  rfile show R_??.eex [-o FILE]\n"
                   "  rfile set R_??.eex FILE\n"
                   "  scenario show S.eex [--data DATA.e5] [-o FILE]\n"
                   "  scenario edit S.eex EDITS.json [--data DATA.e5] [-o OUT.eex]\n"
                   "  diff data|save|imsg|scenario|exe|rfile A B\n"
                   "  --version\n"
                   "TABLE: characters, items, shops, troops, terrain, strategies\n"
                   "CATEGORY: liezhuan, wuping, binzhong, chetui, zhiming, chelue, zandou\n"
                   "导入（import/set）都可加 --dry-run：只检查，不写入。\n"
                   "每一级都可加 --help。退出码: 0 成功, 1 数据或校验错误, 2 用法错误。\n");

const QString dataHelp =
    QStringLiteral("用法:\n"
                   "  lcjtool data export DATA.e5 TABLE [--format csv|json] [-o FILE]\n"
                   "      每条记录一行，第一列“序号”是记录号，其余各列以窗口中的标题为列名。\n"
                   "  lcjtool data import DATA.e5 TABLE FILE [--dry-run]\n"
                   "      同样的列（缺少的列保留原值）；先按各栏目自己的规则检查每一行，\n"
                   "      有任何一格不对就报告行、列和原因，什么也不写。\n");

const QString diffHelp = QStringLiteral("用法: lcjtool diff KIND A B\n"
                                        "  以字段列出两个文件的差别，例如“人物 5 武力: 74 → 76”。\n"
                                        "  相同时退出码为0，不同时为1。\n"
                                        "  KIND: data, save, imsg, scenario, exe, rfile\n");

QString tableNames() {
    QStringList names;
    for (const auto& t : dataTables())
        names.append(t->name());
    return names.join(QStringLiteral(", "));
}

int writeOutput(const QString& text, const QString& outPath) {
    if (outPath.isEmpty()) {
        print(stdout, text);
        return Ok;
    }
    if (auto failure = files::writeWhole(outPath, text.toUtf8()))
        return fail(*failure);
    return Ok;
}

int dataCommand(QStringList args) {
    if (args.isEmpty() || wantsHelp(args))
        return args.isEmpty() ? usage(dataHelp) : (print(stdout, dataHelp), Ok);
    const QString verb = args.takeFirst();
    QString format = QStringLiteral("csv");
    QString out;
    if (!takeOption(args, {QStringLiteral("--format")}, format) ||
        !takeOption(args, {QStringLiteral("-o"), QStringLiteral("--output")}, out))
        return usage(dataHelp, QStringLiteral("选项缺少取值"));
    const bool dryRun = takeFlag(args, QStringLiteral("--dry-run"));
    for (const QString& a : args)
        if (a.startsWith(u'-'))
            return usage(dataHelp, QStringLiteral("未知的选项 %1").arg(a));
    if (verb == QStringLiteral("export")) {
        if (args.size() != 2 || dryRun)
            return usage(dataHelp);
        if (format != QStringLiteral("csv") && format != QStringLiteral("json"))
            return usage(dataHelp, QStringLiteral("--format 只能是 csv 或 json"));
        const TableAdapter* table = findDataTable(args[1]);
        if (!table)
            return usage(dataHelp,
                         QStringLiteral("未知的表 %1（可用: %2）").arg(args[1], tableNames()));
        const auto text = exportTable(
            args[0], *table, format == QStringLiteral("json") ? Format::Json : Format::Csv);
        if (!text)
            return fail(text.error());
        return writeOutput(*text, out);
    }
    if (verb == QStringLiteral("import")) {
        if (args.size() != 3 || !out.isEmpty())
            return usage(dataHelp);
        const TableAdapter* table = findDataTable(args[1]);
        if (!table)
            return usage(dataHelp,
                         QStringLiteral("未知的表 %1（可用: %2）").arg(args[1], tableNames()));
        const auto input = files::readWhole(args[2]);
        if (!input)
            return fail(input.error());
        const auto outcome = importTable(args[0], *table, csv::decodeUserText(*input), dryRun);
        if (!outcome)
            return fail(outcome.error());
        if (!outcome->problems.isEmpty())
            return fail(outcome->problems.join(u'\n') + QStringLiteral("\n没有写入任何内容。"));
        print(stdout, (dryRun ? QStringLiteral("将修改%1条记录（试运行，未写入）\n")
                              : QStringLiteral("已修改%1条记录\n"))
                          .arg(outcome->changedRecords));
        return Ok;
    }
    return usage(dataHelp, QStringLiteral("未知的命令 data %1").arg(verb));
}

const QString saveHelp = QStringLiteral(
    "用法:\n"
    "  lcjtool save export Sv??d.e5s FILE [--part characters|stock|loyalty]\n"
    "  lcjtool save import Sv??d.e5s FILE [--part characters|stock|loyalty] [--dry-run]\n"
    "  FILE为 - 时导出到标准输出。各部分的列（以存档窗口中的标题为列名）:\n"
    "    characters（默认）: 序号, 人物（只读）, 形象, 头像, 攻击, 防御, 精神, 爆发, 士气,\n"
    "      HP值, MP值, 武力, 统率, 智力, 敏捷, 运气（以上五项为窗口显示的加倍值）, 等级, 经验,\n"
    "      出阵, 撤退, 武具等级, 武具经验, 防具等级, 防具经验, 武具, 防具, 辅助（道具序号，\n"
    "      255为无）, 兵种（兵种序号）, 强行加入我军（1或0）\n"
    "    stock: 序号, 道具（只读）, 数量\n"
    "    loyalty: 序号, 忠奸度\n"
    "  导入时每一行都像在窗口中选中后改写并按“确定”一样检查，有任何一格不对就什么也不写。\n");

const QString imsgHelp = QStringLiteral(
    "用法:\n"
    "  lcjtool imsg export Imsg.e5 CATEGORY FILE\n"
    "  lcjtool imsg import Imsg.e5 CATEGORY FILE [--dry-run]\n"
    "  CATEGORY: liezhuan（人物列传）, wuping（物品说明）, binzhong（兵种简介）,\n"
    "    chetui（撤退台词）, zhiming（致命一击）, chelue（策略说明）, zandou（战斗简介）\n"
    "  列: 序号, 名称/致命一击台词类型对应值/战斗（只读，撤退台词没有这一列）,\n"
    "    以及以类别标题为列名的文字（换行照原样，最多200字节GBK）。FILE为 - 时导出到标准输出。\n");

const QString exeHelp = QStringLiteral(
    "用法:\n"
    "  lcjtool exe show Lcj5.exe [--part figures|switch] [-o FILE]\n"
    "  lcjtool exe set Lcj5.exe FILE [--part figures|switch] [--dry-run]\n"
    "  figures（默认）: 序号, 人物（只读）, 形象（0到29为专用形象，30为普通人物形象）\n"
    "  switch: 序号, 敌军小兵自动升级兵种（1开，0关）\n");

const QString rfileHelp = QStringLiteral(
    "用法:\n"
    "  lcjtool rfile show R_??.eex [-o FILE]\n"
    "  lcjtool rfile set R_??.eex FILE [--dry-run]\n"
    "  列: 序号（0）, 本关出场人数, 强制出场人员1..5, 限制出场人员1..5（窗口中的十一个框）\n");

const QString scenarioHelp = QStringLiteral(
    "用法:\n"
    "  lcjtool scenario show S.eex [--data DATA.e5] [-o FILE]\n"
    "      以JSON列出剧本编辑器读入后显示的内容: battle {level_bonus, turns, victory, defeat},\n"
    "      allies（20个）与 enemies（80个）{character, name, mode, x, y, facing, level_bonus,\n"
    "      tendency, follow, run_x, run_y}, army [{x, y, facing, mode}],\n"
    "      equipment（100个）{character, name, weapon, armour, accessory},\n"
    "      spoils [[第一, 第二, 第三]], problems。mode: 0 初始登场, 1 剧情控制, null 未选；\n"
    "      物品为序号，null为无；没有 --data 时 name 为 null。\n"
    "  lcjtool scenario edit S.eex EDITS.json [--data DATA.e5] [-o OUT.eex]\n"
    "      EDITS 用同样的键，例如 {\"allies\": {\"3\": {\"x\": 5}}}: 选中友军3，把横坐标改为5，\n"
    "      按“确定”，其余框保持选中时显示的值。依次执行 battle, allies, enemies,\n"
    "      append_army（追加的人数）, army, spoils（{\"0\": [7, null, 104]}）, equipment，\n"
    "      然后像“保存剧本文件”一样保存（到OUT，或原文件）。任何一项被拒绝就什么也不写。\n");

// Takes the common options of an import; false on a usage error.
struct RegionArgs {
    QString part;
    QString out;
    bool dryRun = false;
};

std::optional<int> takeRegionArgs(QStringList& args, const QString& help, RegionArgs& r) {
    if (!takeOption(args, {QStringLiteral("--part")}, r.part) ||
        !takeOption(args, {QStringLiteral("-o"), QStringLiteral("--output")}, r.out))
        return usage(help, QStringLiteral("选项缺少取值"));
    r.dryRun = takeFlag(args, QStringLiteral("--dry-run"));
    for (const QString& a : args)
        if (a.startsWith(u'-') && a != QStringLiteral("-"))
            return usage(help, QStringLiteral("未知的选项 %1").arg(a));
    return std::nullopt;
}

int exportPart(RegionKind kind, const QString& path, const QString& part, const QString& out) {
    auto model = loadRegionModel(kind, path);
    if (!model)
        return fail(model.error());
    return writeOutput(exportRows((*model)->table(part)),
                       out == QStringLiteral("-") ? QString() : out);
}

int importPart(RegionKind kind, const QString& path, const QString& part, const QString& file,
               bool dryRun) {
    const auto input = files::readWhole(file);
    if (!input)
        return fail(input.error());
    auto model = loadRegionModel(kind, path);
    if (!model)
        return fail(model.error());
    const auto outcome = importRows(**model, part, csv::decodeUserText(*input), dryRun);
    if (!outcome)
        return fail(outcome.error());
    if (!outcome->problems.isEmpty())
        return fail(outcome->problems.join(u'\n') + QStringLiteral("\n没有写入任何内容。"));
    print(stdout, (dryRun ? QStringLiteral("将修改%1行（试运行，未写入）\n")
                          : QStringLiteral("已修改%1行\n"))
                      .arg(outcome->changedRows));
    return Ok;
}

// save / exe / rfile: VERB FILE [FILE] with --part.
int regionCommand(RegionKind kind, QStringList args, const QString& help, const QString& exportVerb,
                  const QString& importVerb, bool exportToFile) {
    if (args.isEmpty())
        return usage(help);
    if (wantsHelp(args))
        return print(stdout, help), Ok;
    const QString verb = args.takeFirst();
    RegionArgs r;
    if (auto code = takeRegionArgs(args, help, r))
        return *code;
    const QStringList parts = regionParts(kind);
    if (r.part.isEmpty())
        r.part = parts.first();
    if (!parts.contains(r.part))
        return usage(help, QStringLiteral("未知的部分 %1（可用: %2）")
                               .arg(r.part, parts.join(QStringLiteral(", "))));
    if (verb == exportVerb) {
        if (args.size() != (exportToFile ? 2 : 1) || r.dryRun || (exportToFile && !r.out.isEmpty()))
            return usage(help);
        return exportPart(kind, args[0], r.part, exportToFile ? args[1] : r.out);
    }
    if (verb == importVerb) {
        if (args.size() != 2 || !r.out.isEmpty())
            return usage(help);
        return importPart(kind, args[0], r.part, args[1], r.dryRun);
    }
    return usage(help, QStringLiteral("未知的命令 %1").arg(verb));
}

int imsgCommand(QStringList args) {
    if (args.isEmpty())
        return usage(imsgHelp);
    if (wantsHelp(args))
        return print(stdout, imsgHelp), Ok;
    const QString verb = args.takeFirst();
    RegionArgs r;
    if (auto code = takeRegionArgs(args, imsgHelp, r))
        return *code;
    if (args.size() != 3 || !r.part.isEmpty() || !r.out.isEmpty())
        return usage(imsgHelp);
    const QStringList parts = regionParts(RegionKind::Imsg);
    if (!parts.contains(args[1]))
        return usage(imsgHelp, QStringLiteral("未知的类别 %1（可用: %2）")
                                   .arg(args[1], parts.join(QStringLiteral(", "))));
    if (verb == QStringLiteral("export") && !r.dryRun)
        return exportPart(RegionKind::Imsg, args[0], args[1], args[2]);
    if (verb == QStringLiteral("import"))
        return importPart(RegionKind::Imsg, args[0], args[1], args[2], r.dryRun);
    return usage(imsgHelp, QStringLiteral("未知的命令 imsg %1").arg(verb));
}

int scenarioCommand(QStringList args) {
    if (args.isEmpty())
        return usage(scenarioHelp);
    if (wantsHelp(args))
        return print(stdout, scenarioHelp), Ok;
    const QString verb = args.takeFirst();
    QString data, out;
    if (!takeOption(args, {QStringLiteral("--data")}, data) ||
        !takeOption(args, {QStringLiteral("-o"), QStringLiteral("--output")}, out))
        return usage(scenarioHelp, QStringLiteral("选项缺少取值"));
    for (const QString& a : args)
        if (a.startsWith(u'-'))
            return usage(scenarioHelp, QStringLiteral("未知的选项 %1").arg(a));
    if (verb == QStringLiteral("show")) {
        if (args.size() != 1)
            return usage(scenarioHelp);
        const auto text = showScenario(args[0], data);
        if (!text)
            return fail(text.error());
        return writeOutput(*text, out);
    }
    if (verb == QStringLiteral("edit")) {
        if (args.size() != 2)
            return usage(scenarioHelp);
        if (!data.isEmpty()) {
            // As in the window, the data file must be readable before a scenario is opened.
            const auto names = data::DataFile(data).readNames(data::characters);
            if (!names)
                return fail(QStringLiteral("文件打开出错\n") + names.error());
        }
        const auto edits = files::readWhole(args[1]);
        if (!edits)
            return fail(edits.error());
        const auto outcome = editScenario(args[0], csv::decodeUserText(*edits).toUtf8(), out);
        if (!outcome)
            return fail(outcome.error());
        if (!outcome->problems.isEmpty())
            print(stderr, QStringLiteral("剧本中有以下内容无法识别，已按原样保留，不作修改：\n") +
                              outcome->problems.join(u'\n') + u'\n');
        print(stdout, outcome->written
                          ? QStringLiteral("已按%1次操作修改并保存剧本\n").arg(outcome->confirmed)
                          : QStringLiteral("剧本没有变化，未写入\n"));
        return Ok;
    }
    return usage(scenarioHelp, QStringLiteral("未知的命令 scenario %1").arg(verb));
}

int diffCommand(QStringList args) {
    if (wantsHelp(args))
        return print(stdout, diffHelp), Ok;
    if (args.size() != 3)
        return usage(diffHelp);
    const QString kind = args[0];
    Result<QStringList> lines = Result<QStringList>::failure(QString());
    if (kind == QStringLiteral("data"))
        lines = diffData(args[1], args[2]);
    else if (kind == QStringLiteral("scenario"))
        lines = diffScenario(args[1], args[2]);
    else if (kind == QStringLiteral("save"))
        lines = diffRegions(RegionKind::Save, args[1], args[2]);
    else if (kind == QStringLiteral("imsg"))
        lines = diffRegions(RegionKind::Imsg, args[1], args[2]);
    else if (kind == QStringLiteral("exe"))
        lines = diffRegions(RegionKind::Exe, args[1], args[2]);
    else if (kind == QStringLiteral("rfile"))
        lines = diffRegions(RegionKind::RFile, args[1], args[2]);
    else
        return usage(diffHelp, QStringLiteral("未知的文件种类 %1").arg(kind));
    if (!lines)
        return fail(lines.error());
    for (const QString& line : *lines)
        print(stdout, line + u'\n');
    return lines->isEmpty() ? Ok : DataError;
}

} // namespace

int run(const QStringList& argsIn) {
    QStringList args = argsIn;
    if (args.isEmpty())
        return usage(topHelp);
    if (args.first() == QStringLiteral("--version"))
        return print(stdout, QStringLiteral("lcjtool " LCJ_VERSION "\n")), Ok;
    if (!gbk::available())
        return fail(QStringLiteral("本机的Qt缺少GBK编码支持，无法读写游戏文件"));
    const QString command = args.takeFirst();
    if (command == QStringLiteral("--help") || command == QStringLiteral("-h"))
        return print(stdout, topHelp), Ok;
    if (command == QStringLiteral("data"))
        return dataCommand(args);
    if (command == QStringLiteral("diff"))
        return diffCommand(args);
    if (command == QStringLiteral("save"))
        return regionCommand(RegionKind::Save, args, saveHelp, QStringLiteral("export"),
                             QStringLiteral("import"), true);
    if (command == QStringLiteral("exe"))
        return regionCommand(RegionKind::Exe, args, exeHelp, QStringLiteral("show"),
                             QStringLiteral("set"), false);
    if (command == QStringLiteral("rfile"))
        return regionCommand(RegionKind::RFile, args, rfileHelp, QStringLiteral("show"),
                             QStringLiteral("set"), false);
    if (command == QStringLiteral("imsg"))
        return imsgCommand(args);
    if (command == QStringLiteral("scenario"))
        return scenarioCommand(args);
    return usage(topHelp, QStringLiteral("未知的命令 %1").arg(command));
}

} // namespace lcj::cli
