#include "cli.h"

#include "batch.h"
#include "check/foldercheck.h"
#include "common/fileaccess.h"
#include "common/gbk.h"
#include "common/version.h"
#include "common/writelock.h"
#include "console.h"
#include "csv.h"
#include "datacommands.h"
#include "datafile/datafile.h"
#include "helptexts.h"
#include "options.h"
#include "output.h"
#include "patchcommands.h"
#include "regioncommands.h"
#include "scenariocommands.h"
#include "scenariomap.h"

#include <QFile>
#include <QFileInfo>
#include <QThreadPool>
#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <cstring>
#include <functional>
#include <vector>

namespace lcj::cli {

namespace {

// Where output and messages go: standard output and error, or a caller's
// files; and the first write to either that failed, with why.
struct Streams {
    std::FILE* out = stdout;
    std::FILE* err = stderr;
    std::FILE* failed = nullptr;
    int failure = 0; // errno of that write
} streams;

void print(std::FILE* to, const QString& text) {
    errno = 0;
    if (!console::write(to, text) && !streams.failed) {
        streams.failed = to;
        streams.failure = errno;
    }
}

// Why the output stopped, as the user can act on it.
QString writeFailure(int error) {
    switch (error) {
    case ENOSPC:
        return QStringLiteral("磁盘已满");
    case EPIPE:
        return QStringLiteral("读取输出的程序已经关闭了管道");
    case 0:
        return QStringLiteral("系统没有说明原因");
    default:
        return QString::fromLocal8Bit(std::strerror(error));
    }
}

int fail(const QString& message) {
    print(streams.err, message + u'\n');
    return DataError;
}

// A line on the error output for each cell stored other than typed.
void reportRounded(const QStringList& rounded) {
    for (const QString& line : rounded)
        print(streams.err, QStringLiteral("注意：") + line + u'\n');
}

int usage(const QString& help, const QString& problem = {}) {
    if (!problem.isEmpty())
        print(streams.err, QStringLiteral("lcjtool: ") + problem + u'\n');
    print(streams.err, help);
    return UsageError;
}

bool wantsHelp(const QStringList& args) {
    return args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"));
}

bool takeFlag(QStringList& args, const QString& name) {
    return args.removeAll(name) > 0;
}

QString tableNames() {
    QStringList names;
    for (const auto& t : fields::dataTables())
        names.append(t->name());
    return names.join(QStringLiteral(", "));
}

// A CSV or JSON file that a user brings, as text; the message names the file.
Result<QString> readUserText(const QString& path) {
    const auto bytes = files::readWhole(path);
    if (!bytes)
        return Result<QString>::failure(bytes.error());
    auto text = csv::decodeUserText(*bytes);
    if (!text)
        return Result<QString>::failure(QStringLiteral("“%1”：").arg(path) + text.error());
    return text;
}

// Writes an export to standard output, or to `outPath` once it is clear that
// nothing the command reads, no game file and no device is replaced.
int writeOutput(const QString& text, const QString& outPath, const QStringList& inputs) {
    if (outPath.isEmpty() || isStandardOutput(outPath)) {
        print(streams.out, text);
        return Ok;
    }
    if (auto problem = outputProblem(outPath, inputs))
        return fail(*problem);
    if (auto failure = files::writeWhole(outPath, text.toUtf8()))
        return fail(*failure);
    return Ok;
}

int dataCommand(QStringList args) {
    if (args.isEmpty() || wantsHelp(args))
        return args.isEmpty() ? usage(help::data) : (print(streams.out, help::data), Ok);
    const QString verb = args.takeFirst();
    QString format = QStringLiteral("csv");
    QString out;
    if (!takeOption(args, {QStringLiteral("--format")}, format) ||
        !takeOption(args, {QStringLiteral("-o"), QStringLiteral("--output")}, out))
        return usage(help::data, QStringLiteral("选项缺少取值"));
    const bool dryRun = takeFlag(args, QStringLiteral("--dry-run"));
    for (const QString& a : args)
        if (a.startsWith(u'-'))
            return usage(help::data, QStringLiteral("未知的选项 %1").arg(a));
    if (verb == QStringLiteral("export")) {
        if (args.size() != 2 || dryRun)
            return usage(help::data);
        if (format != QStringLiteral("csv") && format != QStringLiteral("json"))
            return usage(help::data, QStringLiteral("--format 只能是 csv 或 json"));
        const TableAdapter* table = fields::findDataTable(args[1]);
        if (!table)
            return usage(help::data,
                         QStringLiteral("未知的表 %1（可用: %2）").arg(args[1], tableNames()));
        const auto text = exportTable(
            args[0], *table, format == QStringLiteral("json") ? Format::Json : Format::Csv);
        if (!text)
            return fail(text.error());
        return writeOutput(*text, out, {args[0]});
    }
    if (verb == QStringLiteral("import")) {
        if (args.size() != 3 || !out.isEmpty())
            return usage(help::data);
        const TableAdapter* table = fields::findDataTable(args[1]);
        if (!table)
            return usage(help::data,
                         QStringLiteral("未知的表 %1（可用: %2）").arg(args[1], tableNames()));
        const auto input = readUserText(args[2]);
        if (!input)
            return fail(input.error());
        const auto outcome = importTable(args[0], *table, *input, dryRun);
        if (!outcome)
            return fail(outcome.error());
        if (!outcome->problems.isEmpty())
            return fail(outcome->problems.join(u'\n') + QStringLiteral("\n没有写入任何内容。"));
        reportRounded(outcome->rounded);
        print(streams.out, (dryRun ? QStringLiteral("将修改%1条记录（试运行，未写入）\n")
                                   : QStringLiteral("已修改%1条记录\n"))
                               .arg(outcome->changedRecords));
        return Ok;
    }
    return usage(help::data, QStringLiteral("未知的命令 data %1").arg(verb));
}

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

// The name patterns of the files a folder stands for, by kind.
QStringList filesOf(RegionKind kind) {
    switch (kind) {
    case RegionKind::Save:
        return {QStringLiteral("*.e5s")};
    case RegionKind::Imsg:
        return {QStringLiteral("Imsg*.e5")};
    case RegionKind::Exe:
        return {QStringLiteral("*.exe")};
    case RegionKind::RFile:
        return {QStringLiteral("R_*.eex")};
    default:
        return {};
    }
}
const QStringList scenarioFiles{QStringLiteral("S_*.eex")};
const QStringList dataFiles{QStringLiteral("data*.e5")};

int worse(int a, int b) {
    return std::max(a, b);
}

// Writes outputs[i] to targets[i] for every output not failed already. Each
// whole-file write waits for its bytes to reach the disk, so a few run at
// once: the waits overlap, and a batch takes a fraction of the time.
void writeAll(const QStringList& targets, const std::vector<QByteArray>& outputs,
              std::vector<Failure>& failures) {
    QThreadPool writers;
    writers.setMaxThreadCount(8);
    for (qsizetype i = 0; i < targets.size(); ++i)
        if (!failures[i])
            writers.start([&, i] { failures[i] = files::writeWhole(targets[i], outputs[i]); });
    writers.waitForDone();
}

// One result per input file. One file: printed, or written to `out`, as
// always. Several: printed one after another, each under a heading with its
// file name, or written into the folder `out` as NAME.suffix. A file that
// fails does not stop the others; the exit code is the worst of them.
// `alsoRead` are the other files the command reads (a data file for names).
int exportEach(const QStringList& args, const QStringList& filters, const QString& outIn,
               const QString& suffix, const std::function<Result<QString>(const QString&)>& produce,
               const QStringList& alsoRead = {}) {
    const QString out = isStandardOutput(outIn) ? QString() : outIn;
    const auto inputs = expandInputs(args, filters);
    if (!inputs)
        return fail(inputs.error());
    if (!inputs->several) {
        if (!out.isEmpty())
            if (auto problem = outputProblem(out, QStringList{inputs->files[0]} + alsoRead))
                return fail(*problem);
        const auto text = produce(inputs->files[0]);
        if (!text)
            return fail(text.error());
        return writeOutput(*text, out, QStringList{inputs->files[0]} + alsoRead);
    }
    QStringList targets;
    if (!out.isEmpty()) {
        const auto paths = outputPaths(inputs->files, out, suffix);
        if (!paths)
            return fail(paths.error());
        targets = *paths;
        for (const QString& target : targets)
            if (auto problem = outputProblem(target, inputs->files + alsoRead))
                return fail(*problem);
    }
    const qsizetype count = inputs->files.size();
    int code = Ok;
    const auto report = [&](const QString& file, const QString& failure) {
        print(streams.err, heading(file) + failure + u'\n');
        code = worse(code, DataError);
    };
    if (targets.isEmpty()) {
        // Printed as each file is done, its failure in turn with the others.
        for (qsizetype i = 0; i < count; ++i) {
            const QString& file = inputs->files[i];
            const auto text = produce(file);
            if (text)
                print(streams.out,
                      (i > 0 ? QStringLiteral("\n") : QString()) + heading(file) + *text);
            else
                report(file, text.error());
        }
        return code;
    }
    std::vector<Failure> failures(count);
    std::vector<QByteArray> outputs(count);
    for (qsizetype i = 0; i < count; ++i) {
        const auto text = produce(inputs->files[i]);
        if (text)
            outputs[i] = text->toUtf8();
        else
            failures[i] = text.error();
    }
    writeAll(targets, outputs, failures);
    for (qsizetype i = 0; i < count; ++i)
        if (failures[i])
            report(inputs->files[i], *failures[i]);
    return code;
}

int exportPart(RegionKind kind, const QStringList& paths, const QString& part, const QString& out) {
    return exportEach(paths, filesOf(kind), out, QStringLiteral("csv"),
                      [&](const QString& path) -> Result<QString> {
                          auto model = loadRegionModel(kind, path);
                          if (!model)
                              return Result<QString>::failure(model.error());
                          return exportRows((*model)->table(part));
                      });
}

int importPart(RegionKind kind, const QString& path, const QString& part, const QString& file,
               bool dryRun) {
    const auto input = readUserText(file);
    if (!input)
        return fail(input.error());
    // The file is read, changed and written under its lock.
    const auto lock = files::WriteLock::take(dryRun ? QStringList{} : QStringList{path});
    if (!lock)
        return fail(lock.error());
    auto model = loadRegionModel(kind, path);
    if (!model)
        return fail(model.error());
    const auto outcome = importRows(**model, part, *input, dryRun);
    if (!outcome)
        return fail(outcome.error());
    if (!outcome->problems.isEmpty())
        return fail(outcome->problems.join(u'\n') + QStringLiteral("\n没有写入任何内容。"));
    reportRounded(outcome->rounded);
    print(streams.out, (dryRun ? QStringLiteral("将修改%1行（试运行，未写入）\n")
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
        return print(streams.out, help), Ok;
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
        if (args.size() < (exportToFile ? 2 : 1) || r.dryRun || (exportToFile && !r.out.isEmpty()))
            return usage(help);
        if (exportToFile)
            return exportPart(kind, args.first(args.size() - 1), r.part, args.last());
        return exportPart(kind, args, r.part, r.out);
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
        return usage(help::imsg);
    if (wantsHelp(args))
        return print(streams.out, help::imsg), Ok;
    const QString verb = args.takeFirst();
    RegionArgs r;
    if (auto code = takeRegionArgs(args, help::imsg, r))
        return *code;
    // export takes several message files: FILE... CATEGORY OUT.
    const bool exporting = verb == QStringLiteral("export");
    if (args.size() < 3 || (!exporting && args.size() != 3) || !r.part.isEmpty() ||
        !r.out.isEmpty())
        return usage(help::imsg);
    const QString category = args[args.size() - 2];
    const QStringList parts = regionParts(RegionKind::Imsg);
    if (!parts.contains(category))
        return usage(help::imsg, QStringLiteral("未知的类别 %1（可用: %2）")
                                     .arg(category, parts.join(QStringLiteral(", "))));
    if (exporting && !r.dryRun)
        return exportPart(RegionKind::Imsg, args.first(args.size() - 2), category, args.last());
    if (verb == QStringLiteral("import"))
        return importPart(RegionKind::Imsg, args[0], args[1], args[2], r.dryRun);
    return usage(help::imsg, QStringLiteral("未知的命令 imsg %1").arg(verb));
}

void reportUnreadable(const QStringList& problems) {
    if (!problems.isEmpty())
        print(streams.err, QStringLiteral("剧本中有以下内容无法识别，已按原样保留，不作修改：\n") +
                               problems.join(u'\n') + u'\n');
}

QString editedText(bool written, int confirmed) {
    return written ? QStringLiteral("已按%1次操作修改并保存剧本\n").arg(confirmed)
                   : QStringLiteral("剧本没有变化，未写入\n");
}

// The same edits on several scenarios: every file is edited and built first,
// and if any of them refuses an edit, none is written.
int editEach(const Inputs& inputs, const QString& editsPath, const QString& out,
             const QString& dataPath) {
    QStringList targets = inputs.files;
    if (!out.isEmpty()) {
        const auto paths = outputPaths(inputs.files, out, {});
        if (!paths)
            return fail(paths.error());
        targets = *paths;
        for (const QString& target : targets)
            if (auto problem = outputProblem(target, {editsPath, dataPath}, OutputKind::Scenario))
                return fail(*problem);
    }
    const auto text = readUserText(editsPath);
    if (!text)
        return fail(text.error());
    const auto edits = parseEdits(text->toUtf8());
    if (!edits)
        return fail(edits.error());
    // Every scenario is read, edited and written under the lock of the file it goes to.
    const auto lock = files::WriteLock::take(targets);
    if (!lock)
        return fail(lock.error());
    QList<PreparedEdit> prepared;
    int refused = 0;
    for (const QString& file : inputs.files) {
        auto edit = prepareEdit(file, *edits);
        if (edit) {
            prepared.append(std::move(*edit));
            continue;
        }
        print(streams.err, heading(file) + edit.error() + u'\n');
        ++refused;
    }
    if (refused > 0)
        return fail(QStringLiteral("%1个剧本中有%2个不能这样修改，没有写入任何剧本。")
                        .arg(inputs.files.size())
                        .arg(refused));
    int code = Ok;
    for (qsizetype i = 0; i < prepared.size(); ++i) {
        const QString& file = inputs.files[i];
        const auto written = saveEdit(prepared[i], targets[i]);
        if (!written) {
            print(streams.err, heading(file) + written.error() + u'\n');
            code = worse(code, DataError);
            continue;
        }
        if (!prepared[i].problems.isEmpty())
            print(streams.err, heading(file));
        reportUnreadable(prepared[i].problems);
        print(streams.out, heading(file) + editedText(*written, prepared[i].confirmed));
    }
    return code;
}

int scenarioCommand(QStringList args) {
    if (args.isEmpty())
        return usage(help::scenario);
    if (wantsHelp(args))
        return print(streams.out, help::scenario), Ok;
    const QString verb = args.takeFirst();
    QString data, out, map, zoom;
    if (!takeOption(args, {QStringLiteral("--data")}, data) ||
        !takeOption(args, {QStringLiteral("-o"), QStringLiteral("--output")}, out) ||
        !takeOption(args, {QStringLiteral("--map")}, map) ||
        !takeOption(args, {QStringLiteral("--zoom")}, zoom))
        return usage(help::scenario, QStringLiteral("选项缺少取值"));
    for (const QString& a : args)
        if (a.startsWith(u'-'))
            return usage(help::scenario, QStringLiteral("未知的选项 %1").arg(a));
    if (verb != QStringLiteral("map") && (!map.isEmpty() || !zoom.isEmpty()))
        return usage(help::scenario, QStringLiteral("--map 与 --zoom 只用于 scenario map"));
    // As in the window, the data file must be readable before a scenario is opened.
    const auto people = [&]() -> Result<std::optional<QStringList>> {
        if (data.isEmpty())
            return std::optional<QStringList>();
        auto names = readPeople(data);
        if (!names)
            return Result<std::optional<QStringList>>::failure(names.error());
        return std::optional<QStringList>(std::move(*names));
    };
    if (verb == QStringLiteral("show")) {
        if (args.isEmpty())
            return usage(help::scenario);
        const auto names = people();
        if (!names)
            return fail(names.error());
        const QStringList* shown = *names ? &**names : nullptr;
        return exportEach(args, scenarioFiles, out, QStringLiteral("json"),
                          [&](const QString& path) { return showScenario(path, shown); }, {data});
    }
    if (verb == QStringLiteral("edit")) {
        if (args.size() < 2)
            return usage(help::scenario);
        if (const auto names = people(); !names)
            return fail(names.error());
        const QString editsPath = args.takeLast();
        const auto inputs = expandInputs(args, scenarioFiles);
        if (!inputs)
            return fail(inputs.error());
        if (inputs->several)
            return editEach(*inputs, editsPath, out, data);
        if (!out.isEmpty())
            if (auto problem = outputProblem(out, {editsPath, data}, OutputKind::Scenario))
                return fail(*problem);
        const auto edits = readUserText(editsPath);
        if (!edits)
            return fail(edits.error());
        const auto outcome = editScenario(args[0], edits->toUtf8(), out);
        if (!outcome)
            return fail(outcome.error());
        reportUnreadable(outcome->problems);
        print(streams.out, editedText(outcome->written, outcome->confirmed));
        return Ok;
    }
    if (verb == QStringLiteral("map")) {
        if (args.size() != 1 || map.isEmpty() || out.isEmpty())
            return usage(help::scenario,
                         QStringLiteral("scenario map 需要一个剧本、--map 地图和 -o 输出文件"));
        if (isStandardOutput(out))
            return usage(help::scenario, QStringLiteral("scenario map 的图片只写到文件，请用 -o "
                                                        "给出PNG文件名"));
        if (auto problem = outputProblem(out, {args[0], map, data}))
            return fail(*problem);
        bool ok = true;
        const int factor = zoom.isEmpty() ? defaultMapZoom : zoom.toInt(&ok);
        if (!ok || factor < 1 || factor > largestMapZoom)
            return usage(help::scenario,
                         QStringLiteral("--zoom 应是1到%1之间的整数").arg(largestMapZoom));
        const auto drawn = drawScenarioMap(args[0], map, data, out, factor);
        if (!drawn)
            return fail(drawn.error());
        print(streams.out,
              QStringLiteral("已画出%1个出场人物").arg(drawn->units) +
                  (drawn->offMap ? QStringLiteral("，其中%1个不在地图范围内").arg(drawn->offMap)
                                 : QString()) +
                  u'\n');
        return Ok;
    }
    return usage(help::scenario, QStringLiteral("未知的命令 scenario %1").arg(verb));
}

using DiffOf = Result<QStringList> (*)(const QString&, const QString&);

// `diff KIND A B`, or with B a folder, every file of A against its namesake in B.
int diffCommand(QStringList args) {
    if (wantsHelp(args))
        return print(streams.out, help::diff), Ok;
    for (const QString& a : args)
        if (a.startsWith(u'-'))
            return usage(help::diff, QStringLiteral("未知的选项 %1").arg(a));
    if (args.size() < 3)
        return usage(help::diff);
    const QString kind = args.takeFirst();
    const struct {
        const char16_t* name;
        DiffOf diff;
        QStringList files;
    } kinds[] = {
        {u"data", diffData, dataFiles},
        {u"scenario", diffScenario, scenarioFiles},
        {u"save",
         [](const QString& a, const QString& b) { return diffRegions(RegionKind::Save, a, b); },
         filesOf(RegionKind::Save)},
        {u"imsg",
         [](const QString& a, const QString& b) { return diffRegions(RegionKind::Imsg, a, b); },
         filesOf(RegionKind::Imsg)},
        {u"exe",
         [](const QString& a, const QString& b) { return diffRegions(RegionKind::Exe, a, b); },
         filesOf(RegionKind::Exe)},
        {u"rfile",
         [](const QString& a, const QString& b) { return diffRegions(RegionKind::RFile, a, b); },
         filesOf(RegionKind::RFile)},
    };
    const auto* k = std::find_if(std::begin(kinds), std::end(kinds),
                                 [&](const auto& c) { return kind == QStringView(c.name); });
    if (k == std::end(kinds))
        return usage(help::diff, QStringLiteral("未知的文件种类 %1").arg(kind));
    const QString other = args.takeLast();
    if (!QFileInfo(other).isDir()) {
        if (args.size() != 1 || QFileInfo(args[0]).isDir())
            return usage(help::diff, QStringLiteral("比较多个文件时，最后一项应是文件夹"));
        const auto lines = k->diff(args[0], other);
        if (!lines)
            return fail(lines.error());
        for (const QString& line : *lines)
            print(streams.out, line + u'\n');
        return lines->isEmpty() ? Ok : DataError;
    }
    const auto pairs = filePairs(args, other, k->files);
    if (!pairs)
        return fail(pairs.error());
    int code = Ok;
    for (qsizetype i = 0; i < pairs->size(); ++i) {
        const FilePair& pair = pairs->at(i);
        const QString head = (i > 0 ? QStringLiteral("\n") : QString()) +
                             heading(pair.a.isEmpty() || pair.b.isEmpty()
                                         ? pair.a + pair.b
                                         : QStringLiteral("%1 与 %2").arg(pair.a, pair.b));
        if (pair.a.isEmpty() || pair.b.isEmpty()) {
            print(streams.out,
                  head + QStringLiteral("只有“%1”中有%2\n")
                             .arg(pair.a.isEmpty() ? other : QFileInfo(pair.a).path(), pair.name));
            code = worse(code, DataError);
            continue;
        }
        const auto lines = k->diff(pair.a, pair.b);
        if (!lines) {
            print(streams.err, head + lines.error() + u'\n');
            code = worse(code, DataError);
            continue;
        }
        print(streams.out,
              head + (lines->isEmpty() ? QStringLiteral("相同\n") : lines->join(u'\n') + u'\n'));
        if (!lines->isEmpty())
            code = worse(code, DataError);
    }
    return code;
}

// `check GAME`: one line per problem of the folder's game files.
int checkCommand(const QStringList& args) {
    if (wantsHelp(args))
        return print(streams.out, help::check), Ok;
    for (const QString& a : args)
        if (a.startsWith(u'-') && a != QStringLiteral("-"))
            return usage(help::check, QStringLiteral("未知的选项 %1").arg(a));
    if (args.size() != 1)
        return usage(help::check);
    const auto problems = check::checkFolder(args[0]);
    if (!problems) {
        print(streams.err, QStringLiteral("lcjtool: ") + problems.error() + u'\n');
        return UsageError;
    }
    for (const check::Problem& p : *problems)
        print(streams.out, p.line() + u'\n');
    if (problems->isEmpty())
        return print(streams.err, QStringLiteral("没有发现问题。\n")), Ok;
    print(streams.err, QStringLiteral("共发现%1处问题。\n").arg(problems->size()));
    return DataError;
}

int runCommand(const QStringList& argsIn) {
    QStringList args = argsIn;
    if (args.isEmpty())
        return usage(help::top);
    if (args.first() == QStringLiteral("--version"))
        return print(streams.out, QStringLiteral("lcjtool " LCJ_VERSION "\n")), Ok;
    if (!gbk::available())
        return fail(QStringLiteral("本机的Qt缺少GBK编码支持，无法读写游戏文件"));
    const QString command = args.takeFirst();
    if (command == QStringLiteral("--help") || command == QStringLiteral("-h"))
        return print(streams.out, help::top), Ok;
    if (command == QStringLiteral("data"))
        return dataCommand(args);
    if (command == QStringLiteral("diff"))
        return diffCommand(args);
    if (command == QStringLiteral("check"))
        return checkCommand(args);
    if (command == QStringLiteral("save"))
        return regionCommand(RegionKind::Save, args, help::save, QStringLiteral("export"),
                             QStringLiteral("import"), true);
    if (command == QStringLiteral("exe"))
        return regionCommand(RegionKind::Exe, args, help::exe, QStringLiteral("show"),
                             QStringLiteral("set"), false);
    if (command == QStringLiteral("rfile"))
        return regionCommand(RegionKind::RFile, args, help::rfile, QStringLiteral("show"),
                             QStringLiteral("set"), false);
    if (command == QStringLiteral("imsg"))
        return imsgCommand(args);
    if (command == QStringLiteral("scenario"))
        return scenarioCommand(args);
    if (command == QStringLiteral("patch"))
        return patchCommand(args, [](std::FILE* to, const QString& text) {
            // The patch commands name stdout and stderr: both go where run() was told.
            print(to == stdout ? streams.out : to == stderr ? streams.err : to, text);
        });
    return usage(help::top, QStringLiteral("未知的命令 %1").arg(command));
}

} // namespace

int run(const QStringList& args) {
    return run(args, stdout, stderr);
}

int run(const QStringList& argsIn, std::FILE* out, std::FILE* err) {
    const Streams before = streams;
    streams = {out, err};
    int code = runCommand(argsIn);
    // Output that did not all arrive is a failure, however the command went:
    // a cut export must not look like a whole one.
    if (streams.failed) {
        const bool toErr = streams.failed == err;
        code = worse(code, DataError);
        print(err, QStringLiteral("lcjtool: 写入%1出错（%2），输出不完整。\n")
                       .arg(toErr ? QStringLiteral("标准错误") : QStringLiteral("标准输出"),
                            writeFailure(streams.failure)));
    }
    streams = before;
    return code;
}
} // namespace lcj::cli
