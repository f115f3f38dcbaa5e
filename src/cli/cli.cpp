#include "cli.h"

#include "common/fileaccess.h"
#include "common/gbk.h"
#include "csv.h"
#include "datacommands.h"

#include <QFile>
#include <cstdio>

namespace lcj::cli {

namespace {

void print(std::FILE* to, const QString& text) {
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, bytes.size(), to);
    std::fflush(to);
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
                   "  diff data A B\n"
                   "TABLE: characters, items, shops, troops, terrain, strategies\n"
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
                                        "  相同时退出码为0，不同时为1。KIND: data\n");

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

int diffCommand(QStringList args) {
    if (wantsHelp(args))
        return print(stdout, diffHelp), Ok;
    if (args.size() != 3)
        return usage(diffHelp);
    if (args[0] != QStringLiteral("data"))
        return usage(diffHelp, QStringLiteral("未知的文件种类 %1").arg(args[0]));
    const auto lines = diffData(args[1], args[2]);
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
    if (!gbk::available())
        return fail(QStringLiteral("本机的Qt缺少GBK编码支持，无法读写游戏文件"));
    const QString command = args.takeFirst();
    if (command == QStringLiteral("--help") || command == QStringLiteral("-h"))
        return print(stdout, topHelp), Ok;
    if (command == QStringLiteral("data"))
        return dataCommand(args);
    if (command == QStringLiteral("diff"))
        return diffCommand(args);
    return usage(topHelp, QStringLiteral("未知的命令 %1").arg(command));
}

} // namespace lcj::cli
