#include "cli.h"

#include "batch.h"
#include "check/foldercheck.h"
#include "commandoutput.h"
#include "common/fileaccess.h"
#include "common/gbk.h"
#include "common/version.h"
#include "common/writejournal.h"
#include "common/writelock.h"
#include "csv.h"
#include "datacommands.h"
#include "datafile/datafile.h"
#include "helptexts.h"
#include "modcommands.h"
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
#include <iterator>
#include <optional>
#include <vector>

namespace lcj::cli {

namespace {

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

// A line on the error output for each cell stored other than typed.
void reportRounded(Output& o, const QStringList& rounded) {
    for (const QString& line : rounded)
        o.err(QStringLiteral("注意：") + line + u'\n');
}

bool wantsHelp(const QStringList& args) {
    return args.contains(QStringLiteral("--help")) || args.contains(QStringLiteral("-h"));
}

bool takeFlag(QStringList& args, const QString& name) {
    return args.removeAll(name) > 0;
}

// The first of `args` that looks like an option (`dash` aside), or nothing.
std::optional<QString> strayOption(const QStringList& args, const QString& dash = {}) {
    for (const QString& a : args)
        if (a.startsWith(u'-') && a != dash)
            return a;
    return {};
}

// A verb of a command: its name and what runs it, given the command line
// after the verb and the options the command took from it.
template <class Options> struct Verb {
    const char16_t* name;
    int (*run)(Output&, QStringList&, const Options&);
};

template <class Options, std::size_t N>
const Verb<Options>* findVerb(const Verb<Options> (&verbs)[N], const QString& name) {
    const auto* v = std::find_if(std::begin(verbs), std::end(verbs), [&](const Verb<Options>& c) {
        return name == QStringView(c.name);
    });
    return v == std::end(verbs) ? nullptr : v;
}

QString tableNames() {
    QStringList names;
    for (const auto& t : fields::dataTables())
        names.append(t->name());
    return names.join(QStringLiteral(", "));
}

// A CSV or JSON file that a user brings, as text; the message names the file.
Result<QString> readUserText(const QString& path) {
    const auto bytes = files::readWhole(path, files::SizeLimit::UserText);
    if (!bytes.ok())
        return Result<QString>::failure(bytes.error());
    auto text = csv::decodeUserText(*bytes);
    if (!text.ok())
        return Result<QString>::failure(QStringLiteral("“%1”：").arg(path) + text.error());
    return text;
}

// Writes an export to standard output, or to `outPath` once it is clear that
// nothing the command reads, no game file and no device is replaced.
int writeOutput(Output& o, const QString& text, const QString& outPath, const QStringList& inputs) {
    if (outPath.isEmpty() || isStandardOutput(outPath)) {
        o.out(text);
        return Ok;
    }
    if (auto problem = outputProblem(outPath, inputs); !problem.ok())
        return fail(o, problem.error());
    if (auto failure = files::writeOutputFile(outPath, text.toUtf8()); !failure.ok())
        return fail(o, failure.error());
    return Ok;
}

// ---- data

struct DataArgs {
    QString format = QStringLiteral("csv");
    QString out;
    bool dryRun = false;
};

int dataExport(Output& o, QStringList& args, const DataArgs& d) {
    if (args.size() != 2 || d.dryRun)
        return usage(o, help::data);
    if (d.format != QStringLiteral("csv") && d.format != QStringLiteral("json"))
        return usage(o, help::data, QStringLiteral("--format 只能是 csv 或 json"));
    const TableAdapter* table = fields::findDataTable(args[1]);
    if (!table)
        return usage(o, help::data,
                     QStringLiteral("未知的表 %1（可用: %2）").arg(args[1], tableNames()));
    const auto text = exportTable(args[0], *table,
                                  d.format == QStringLiteral("json") ? Format::Json : Format::Csv);
    if (!text.ok())
        return fail(o, text.error());
    return writeOutput(o, *text, d.out, {args[0]});
}

int dataImport(Output& o, QStringList& args, const DataArgs& d) {
    if (args.size() != 3 || !d.out.isEmpty())
        return usage(o, help::data);
    const TableAdapter* table = fields::findDataTable(args[1]);
    if (!table)
        return usage(o, help::data,
                     QStringLiteral("未知的表 %1（可用: %2）").arg(args[1], tableNames()));
    const auto input = readUserText(args[2]);
    if (!input.ok())
        return fail(o, input.error());
    const auto outcome = importTable(args[0], *table, *input, d.dryRun);
    if (!outcome.ok())
        return fail(o, outcome.error());
    if (!outcome->problems.isEmpty())
        return fail(o, outcome->problems.join(u'\n') + QStringLiteral("\n没有写入任何内容。"));
    reportRounded(o, outcome->rounded);
    o.out((d.dryRun ? QStringLiteral("将修改%1条记录（试运行，未写入）\n")
                    : QStringLiteral("已修改%1条记录\n"))
              .arg(outcome->changedRecords));
    return Ok;
}

const Verb<DataArgs> dataVerbs[] = {{u"export", dataExport}, {u"import", dataImport}};

int dataCommand(Output& o, QStringList args) {
    if (args.isEmpty() || wantsHelp(args))
        return args.isEmpty() ? usage(o, help::data) : helpOn(o, help::data);
    const QString verb = args.takeFirst();
    DataArgs d;
    if (!takeOption(args, {QStringLiteral("--format")}, d.format) ||
        !takeOption(args, {QStringLiteral("-o"), QStringLiteral("--output")}, d.out))
        return usage(o, help::data, QStringLiteral("选项缺少取值"));
    d.dryRun = takeFlag(args, QStringLiteral("--dry-run"));
    if (const auto stray = strayOption(args))
        return usage(o, help::data, QStringLiteral("未知的选项 %1").arg(*stray));
    if (const auto* v = findVerb(dataVerbs, verb))
        return v->run(o, args, d);
    return usage(o, help::data, QStringLiteral("未知的命令 data %1").arg(verb));
}

// ---- save, exe, rfile, imsg

// Takes the common options of an import; false on a usage error.
struct RegionArgs {
    QString part;
    QString out;
    bool dryRun = false;
};

std::optional<int> takeRegionArgs(Output& o, QStringList& args, const QString& help,
                                  RegionArgs& r) {
    if (!takeOption(args, {QStringLiteral("--part")}, r.part) ||
        !takeOption(args, {QStringLiteral("-o"), QStringLiteral("--output")}, r.out))
        return usage(o, help, QStringLiteral("选项缺少取值"));
    r.dryRun = takeFlag(args, QStringLiteral("--dry-run"));
    if (const auto stray = strayOption(args, QStringLiteral("-")))
        return usage(o, help, QStringLiteral("未知的选项 %1").arg(*stray));
    return {};
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
        if (failures[i].ok())
            writers.start([&, i] { failures[i] = files::writeOutputFile(targets[i], outputs[i]); });
    writers.waitForDone();
}

using Produce = std::function<Result<QString>(const QString&)>;

// Several results, each printed as its file is done under a heading with the
// file's name, its failure in turn with the others; the worst exit code.
int printEach(Output& o, const QStringList& files, const Produce& produce) {
    int code = Ok;
    for (qsizetype i = 0; i < files.size(); ++i) {
        const QString& file = files[i];
        const auto text = produce(file);
        if (text.ok()) {
            o.out((i > 0 ? QStringLiteral("\n") : QString()) + heading(file) + *text);
        } else {
            o.err(heading(file) + text.error() + u'\n');
            code = worse(code, DataError);
        }
    }
    return code;
}

// Several results, each written to its target; a file that fails does not
// stop the others. The worst exit code.
int writeEach(Output& o, const QStringList& files, const QStringList& targets,
              const Produce& produce) {
    const qsizetype count = files.size();
    std::vector<Failure> failures(count);
    std::vector<QByteArray> outputs(count);
    for (qsizetype i = 0; i < count; ++i) {
        const auto text = produce(files[i]);
        if (text.ok())
            outputs[i] = text->toUtf8();
        else
            failures[i] = text.error();
    }
    writeAll(targets, outputs, failures);
    int code = Ok;
    for (qsizetype i = 0; i < count; ++i)
        if (!failures[i].ok()) {
            o.err(heading(files[i]) + failures[i].error() + u'\n');
            code = worse(code, DataError);
        }
    return code;
}

// One result per input file. One file: printed, or written to `out`, as
// always. Several: printed one after another, each under a heading with its
// file name, or written into the folder `out` as NAME.suffix. A file that
// fails does not stop the others; the exit code is the worst of them.
// `alsoRead` are the other files the command reads (a data file for names).
int exportEach(Output& o, const QStringList& args, const QStringList& filters, const QString& outIn,
               const QString& suffix, const Produce& produce, const QStringList& alsoRead = {}) {
    const QString out = isStandardOutput(outIn) ? QString() : outIn;
    const auto inputs = expandInputs(args, filters);
    if (!inputs.ok())
        return fail(o, inputs.error());
    if (!inputs->several) {
        if (!out.isEmpty())
            if (auto problem = outputProblem(out, QStringList{inputs->files[0]} + alsoRead);
                !problem.ok())
                return fail(o, problem.error());
        const auto text = produce(inputs->files[0]);
        if (!text.ok())
            return fail(o, text.error());
        return writeOutput(o, *text, out, QStringList{inputs->files[0]} + alsoRead);
    }
    if (out.isEmpty())
        return printEach(o, inputs->files, produce);
    const auto targets = outputPaths(inputs->files, out, suffix);
    if (!targets.ok())
        return fail(o, targets.error());
    for (const QString& target : *targets)
        if (auto problem = outputProblem(target, inputs->files + alsoRead); !problem.ok())
            return fail(o, problem.error());
    return writeEach(o, inputs->files, *targets, produce);
}

int exportPart(Output& o, RegionKind kind, const QStringList& paths, const QString& part,
               const QString& out) {
    return exportEach(o, paths, filesOf(kind), out, QStringLiteral("csv"),
                      [&](const QString& path) -> Result<QString> {
                          auto model = loadRegionModel(kind, path);
                          if (!model.ok())
                              return Result<QString>::failure(model.error());
                          return exportRows((*model)->table(part));
                      });
}

int importPart(Output& o, RegionKind kind, const QString& path, const QString& part,
               const QString& file, bool dryRun) {
    const auto input = readUserText(file);
    if (!input.ok())
        return fail(o, input.error());
    // The file is read, changed and written under its lock.
    const auto lock = files::WriteLock::take(dryRun ? QStringList{} : QStringList{path});
    if (!lock.ok())
        return fail(o, lock.error());
    auto model = loadRegionModel(kind, path);
    if (!model.ok())
        return fail(o, model.error());
    const auto outcome = importRows(**model, part, *input, dryRun);
    if (!outcome.ok())
        return fail(o, outcome.error());
    if (!outcome->problems.isEmpty())
        return fail(o, outcome->problems.join(u'\n') + QStringLiteral("\n没有写入任何内容。"));
    reportRounded(o, outcome->rounded);
    o.out(
        (dryRun ? QStringLiteral("将修改%1行（试运行，未写入）\n") : QStringLiteral("已修改%1行\n"))
            .arg(outcome->changedRows));
    return Ok;
}

// A command over the parts of one kind of file: its help, and the names of
// its export and import verbs.
struct RegionVerbs {
    RegionKind kind;
    const QString& help;
    const char16_t* exportVerb;
    const char16_t* importVerb;
    bool exportToFile; // export FILE... OUT rather than to -o or standard output
};

// save / exe / rfile: VERB FILE [FILE] with --part.
int regionCommand(Output& o, const RegionVerbs& c, QStringList args) {
    if (args.isEmpty())
        return usage(o, c.help);
    if (wantsHelp(args))
        return helpOn(o, c.help);
    const QString verb = args.takeFirst();
    RegionArgs r;
    if (auto code = takeRegionArgs(o, args, c.help, r))
        return *code;
    const QStringList parts = regionParts(c.kind);
    if (r.part.isEmpty())
        r.part = parts.first();
    if (!parts.contains(r.part))
        return usage(o, c.help,
                     QStringLiteral("未知的部分 %1（可用: %2）")
                         .arg(r.part, parts.join(QStringLiteral(", "))));
    if (verb == QStringView(c.exportVerb)) {
        if (args.size() < (c.exportToFile ? 2 : 1) || r.dryRun ||
            (c.exportToFile && !r.out.isEmpty()))
            return usage(o, c.help);
        if (c.exportToFile)
            return exportPart(o, c.kind, args.first(args.size() - 1), r.part, args.last());
        return exportPart(o, c.kind, args, r.part, r.out);
    }
    if (verb == QStringView(c.importVerb)) {
        if (args.size() != 2 || !r.out.isEmpty())
            return usage(o, c.help);
        return importPart(o, c.kind, args[0], r.part, args[1], r.dryRun);
    }
    return usage(o, c.help, QStringLiteral("未知的命令 %1").arg(verb));
}

int saveCommand(Output& o, QStringList args) {
    return regionCommand(o, {RegionKind::Save, help::save, u"export", u"import", true}, args);
}

int exeCommand(Output& o, QStringList args) {
    return regionCommand(o, {RegionKind::Exe, help::exe, u"show", u"set", false}, args);
}

int rfileCommand(Output& o, QStringList args) {
    return regionCommand(o, {RegionKind::RFile, help::rfile, u"show", u"set", false}, args);
}

int imsgCommand(Output& o, QStringList args) {
    if (args.isEmpty())
        return usage(o, help::imsg);
    if (wantsHelp(args))
        return helpOn(o, help::imsg);
    const QString verb = args.takeFirst();
    RegionArgs r;
    if (auto code = takeRegionArgs(o, args, help::imsg, r))
        return *code;
    // export takes several message files: FILE... CATEGORY OUT.
    const bool exporting = verb == QStringLiteral("export");
    if (args.size() < 3 || (!exporting && args.size() != 3) || !r.part.isEmpty() ||
        !r.out.isEmpty())
        return usage(o, help::imsg);
    const QString category = args[args.size() - 2];
    const QStringList parts = regionParts(RegionKind::Imsg);
    if (!parts.contains(category))
        return usage(o, help::imsg,
                     QStringLiteral("未知的类别 %1（可用: %2）")
                         .arg(category, parts.join(QStringLiteral(", "))));
    if (exporting && !r.dryRun)
        return exportPart(o, RegionKind::Imsg, args.first(args.size() - 2), category, args.last());
    if (verb == QStringLiteral("import"))
        return importPart(o, RegionKind::Imsg, args[0], args[1], args[2], r.dryRun);
    return usage(o, help::imsg, QStringLiteral("未知的命令 imsg %1").arg(verb));
}

// ---- scenario

void reportUnreadable(Output& o, const QStringList& problems) {
    if (!problems.isEmpty())
        o.err(QStringLiteral("剧本中有以下内容无法识别，已按原样保留，不作修改：\n") +
              problems.join(u'\n') + u'\n');
}

QString editedText(bool written, int confirmed) {
    return written ? QStringLiteral("已按%1次操作修改并保存剧本\n").arg(confirmed)
                   : QStringLiteral("剧本没有变化，未写入\n");
}

// Every scenario of `files` with `edits` made, in memory; a file that refuses
// them is named on the error output and left out.
QList<PreparedEdit> prepareEach(Output& o, const QStringList& files, const QJsonObject& edits) {
    QList<PreparedEdit> prepared;
    for (const QString& file : files) {
        auto edit = prepareEdit(file, edits);
        if (edit.ok())
            prepared.append(std::move(*edit));
        else
            o.err(heading(file) + edit.error() + u'\n');
    }
    return prepared;
}

// The same edits on several scenarios: every file is edited and built first,
// and if any of them refuses an edit, none is written.
int editEach(Output& o, const Inputs& inputs, const QString& editsPath, const QString& out,
             const QString& dataPath) {
    QStringList targets = inputs.files;
    if (!out.isEmpty()) {
        const auto paths = outputPaths(inputs.files, out, {});
        if (!paths.ok())
            return fail(o, paths.error());
        targets = *paths;
        for (const QString& target : targets)
            if (auto problem = outputProblem(target, {editsPath, dataPath}, OutputKind::Scenario);
                !problem.ok())
                return fail(o, problem.error());
    }
    const auto text = readUserText(editsPath);
    if (!text.ok())
        return fail(o, text.error());
    const auto edits = parseEdits(text->toUtf8());
    if (!edits.ok())
        return fail(o, edits.error());
    // Every scenario is read, edited and written under the lock of the file it goes to.
    const auto lock = files::WriteLock::take(targets);
    if (!lock.ok())
        return fail(o, lock.error());
    QList<PreparedEdit> prepared = prepareEach(o, inputs.files, *edits);
    if (const qsizetype refused = inputs.files.size() - prepared.size(); refused > 0)
        return fail(o, QStringLiteral("%1个剧本中有%2个不能这样修改，没有写入任何剧本。")
                           .arg(inputs.files.size())
                           .arg(refused));
    int code = Ok;
    for (qsizetype i = 0; i < prepared.size(); ++i) {
        const QString& file = inputs.files[i];
        const auto written = saveEdit(prepared[i], targets[i]);
        if (!written.ok()) {
            o.err(heading(file) + written.error() + u'\n');
            code = worse(code, DataError);
            continue;
        }
        if (!prepared[i].problems.isEmpty())
            o.err(heading(file));
        reportUnreadable(o, prepared[i].problems);
        o.out(heading(file) + editedText(*written, prepared[i].confirmed));
    }
    return code;
}

struct ScenarioArgs {
    QString data, out, map, zoom;
};

// As in the window, the data file must be readable before a scenario is
// opened: its people's names, or none without --data.
Result<std::optional<QStringList>> peopleOf(const QString& data) {
    if (data.isEmpty())
        return std::optional<QStringList>();
    auto names = readPeople(data);
    if (!names.ok())
        return Result<std::optional<QStringList>>::failure(names.error());
    return std::optional<QStringList>(std::move(*names));
}

int scenarioShow(Output& o, QStringList& args, const ScenarioArgs& s) {
    if (args.isEmpty())
        return usage(o, help::scenario);
    const auto names = peopleOf(s.data);
    if (!names.ok())
        return fail(o, names.error());
    const QStringList* shown = *names ? &**names : nullptr;
    return exportEach(o, args, scenarioFiles, s.out, QStringLiteral("json"),
                      [&](const QString& path) { return showScenario(path, shown); }, {s.data});
}

int scenarioEdit(Output& o, QStringList& args, const ScenarioArgs& s) {
    if (args.size() < 2)
        return usage(o, help::scenario);
    if (const auto names = peopleOf(s.data); !names.ok())
        return fail(o, names.error());
    const QString editsPath = args.takeLast();
    const auto inputs = expandInputs(args, scenarioFiles);
    if (!inputs.ok())
        return fail(o, inputs.error());
    if (inputs->several)
        return editEach(o, *inputs, editsPath, s.out, s.data);
    if (!s.out.isEmpty())
        if (auto problem = outputProblem(s.out, {editsPath, s.data}, OutputKind::Scenario);
            !problem.ok())
            return fail(o, problem.error());
    const auto edits = readUserText(editsPath);
    if (!edits.ok())
        return fail(o, edits.error());
    const auto outcome = editScenario(args[0], edits->toUtf8(), s.out);
    if (!outcome.ok())
        return fail(o, outcome.error());
    reportUnreadable(o, outcome->problems);
    o.out(editedText(outcome->written, outcome->confirmed));
    return Ok;
}

int scenarioMap(Output& o, QStringList& args, const ScenarioArgs& s) {
    if (args.size() != 1 || s.map.isEmpty() || s.out.isEmpty())
        return usage(o, help::scenario,
                     QStringLiteral("scenario map 需要一个剧本、--map 地图和 -o 输出文件"));
    if (isStandardOutput(s.out))
        return usage(o, help::scenario,
                     QStringLiteral("scenario map 的图片只写到文件，请用 -o "
                                    "给出PNG文件名"));
    if (auto problem = outputProblem(s.out, {args[0], s.map, s.data}); !problem.ok())
        return fail(o, problem.error());
    bool ok = true;
    const int factor = s.zoom.isEmpty() ? defaultMapZoom : s.zoom.toInt(&ok);
    if (!ok || factor < 1 || factor > largestMapZoom)
        return usage(o, help::scenario,
                     QStringLiteral("--zoom 应是1到%1之间的整数").arg(largestMapZoom));
    const auto drawn = drawScenarioMap(args[0], s.map, s.data, s.out, factor);
    if (!drawn.ok())
        return fail(o, drawn.error());
    o.out(QStringLiteral("已画出%1个出场人物").arg(drawn->units) +
          (drawn->offMap ? QStringLiteral("，其中%1个不在地图范围内").arg(drawn->offMap)
                         : QString()) +
          u'\n');
    return Ok;
}

const Verb<ScenarioArgs> scenarioVerbs[] = {
    {u"show", scenarioShow}, {u"edit", scenarioEdit}, {u"map", scenarioMap}};

int scenarioCommand(Output& o, QStringList args) {
    if (args.isEmpty())
        return usage(o, help::scenario);
    if (wantsHelp(args))
        return helpOn(o, help::scenario);
    const QString verb = args.takeFirst();
    ScenarioArgs s;
    if (!takeOption(args, {QStringLiteral("--data")}, s.data) ||
        !takeOption(args, {QStringLiteral("-o"), QStringLiteral("--output")}, s.out) ||
        !takeOption(args, {QStringLiteral("--map")}, s.map) ||
        !takeOption(args, {QStringLiteral("--zoom")}, s.zoom))
        return usage(o, help::scenario, QStringLiteral("选项缺少取值"));
    if (const auto stray = strayOption(args))
        return usage(o, help::scenario, QStringLiteral("未知的选项 %1").arg(*stray));
    if (verb != QStringLiteral("map") && (!s.map.isEmpty() || !s.zoom.isEmpty()))
        return usage(o, help::scenario, QStringLiteral("--map 与 --zoom 只用于 scenario map"));
    if (const auto* v = findVerb(scenarioVerbs, verb))
        return v->run(o, args, s);
    return usage(o, help::scenario, QStringLiteral("未知的命令 scenario %1").arg(verb));
}

// ---- diff and check

using DiffOf = Result<QStringList> (*)(const QString&, const QString&);

// A kind of file `diff` compares: its name, how, and the files a folder
// stands for.
struct DiffKind {
    const char16_t* name;
    DiffOf diff;
    QStringList files;
};

const DiffKind* diffKind(const QString& name) {
    static const DiffKind kinds[] = {
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
                                 [&](const DiffKind& c) { return name == QStringView(c.name); });
    return k == std::end(kinds) ? nullptr : k;
}

// One pair of files of a folder comparison, under its heading.
int diffPair(Output& o, const DiffKind& k, const FilePair& pair, bool first, const QString& other) {
    const QString head = (first ? QString() : QStringLiteral("\n")) +
                         heading(pair.a.isEmpty() || pair.b.isEmpty()
                                     ? pair.a + pair.b
                                     : QStringLiteral("%1 与 %2").arg(pair.a, pair.b));
    if (pair.a.isEmpty() || pair.b.isEmpty()) {
        o.out(head + QStringLiteral("只有“%1”中有%2\n")
                         .arg(pair.a.isEmpty() ? other : QFileInfo(pair.a).path(), pair.name));
        return DataError;
    }
    const auto lines = k.diff(pair.a, pair.b);
    if (!lines.ok()) {
        o.err(head + lines.error() + u'\n');
        return DataError;
    }
    o.out(head + (lines->isEmpty() ? QStringLiteral("相同\n") : lines->join(u'\n') + u'\n'));
    return lines->isEmpty() ? Ok : DataError;
}

// `diff KIND A B`, or with B a folder, every file of A against its namesake in B.
int diffCommand(Output& o, QStringList args) {
    if (wantsHelp(args))
        return helpOn(o, help::diff);
    if (const auto stray = strayOption(args))
        return usage(o, help::diff, QStringLiteral("未知的选项 %1").arg(*stray));
    if (args.size() < 3)
        return usage(o, help::diff);
    const QString kind = args.takeFirst();
    const DiffKind* k = diffKind(kind);
    if (!k)
        return usage(o, help::diff, QStringLiteral("未知的文件种类 %1").arg(kind));
    const QString other = args.takeLast();
    if (!QFileInfo(other).isDir()) {
        if (args.size() != 1 || QFileInfo(args[0]).isDir())
            return usage(o, help::diff, QStringLiteral("比较多个文件时，最后一项应是文件夹"));
        const auto lines = k->diff(args[0], other);
        if (!lines.ok())
            return fail(o, lines.error());
        for (const QString& line : *lines)
            o.out(line + u'\n');
        return lines->isEmpty() ? Ok : DataError;
    }
    const auto pairs = filePairs(args, other, k->files);
    if (!pairs.ok())
        return fail(o, pairs.error());
    int code = Ok;
    for (qsizetype i = 0; i < pairs->size(); ++i)
        code = worse(code, diffPair(o, *k, pairs->at(i), i == 0, other));
    return code;
}

// `check GAME`: one line per problem of the folder's game files.
// `--` ends the options: a folder named "-x" follows it.
int checkCommand(Output& o, QStringList args) {
    const qsizetype end = args.indexOf(QStringLiteral("--"));
    const QStringList options = end < 0 ? args : args.first(end);
    if (wantsHelp(options))
        return helpOn(o, help::check);
    if (const auto stray = strayOption(options, QStringLiteral("-")))
        return usage(o, help::check, QStringLiteral("未知的选项 %1").arg(*stray));
    if (end >= 0)
        args.removeAt(end);
    if (args.size() != 1)
        return usage(o, help::check);
    const auto problems = check::checkFolder(args[0]);
    if (!problems.ok()) {
        o.err(QStringLiteral("lcjtool: ") + problems.error() + u'\n');
        return UsageError;
    }
    for (const check::Problem& p : *problems)
        o.out(p.line() + u'\n');
    if (problems->isEmpty()) {
        o.err(QStringLiteral("没有发现问题。\n"));
        return Ok;
    }
    o.err(QStringLiteral("共发现%1处问题。\n").arg(problems->size()));
    return DataError;
}

// ---- patch, and the table of commands

int patchVerb(Output& o, QStringList args) {
    return patchCommand(args, o);
}

int modsVerb(Output& o, QStringList args) {
    return modsCommand(args, o);
}

struct Command {
    const char16_t* name;
    int (*run)(Output&, QStringList args);
};

const Command commands[] = {
    {u"data", dataCommand}, {u"diff", diffCommand},         {u"check", checkCommand},
    {u"save", saveCommand}, {u"exe", exeCommand},           {u"rfile", rfileCommand},
    {u"imsg", imsgCommand}, {u"scenario", scenarioCommand}, {u"patch", patchVerb},
    {u"mods", modsVerb},
};

// True for a command line that may write game files (a dry run does not).
bool writes(const QStringList& args) {
    if (args.contains(QStringLiteral("--dry-run")))
        return false;
    const QString command = args.value(0);
    const QString verb = args.value(1);
    if (command == QStringLiteral("scenario") || command == QStringLiteral("data"))
        return verb == QStringLiteral("edit") || verb == QStringLiteral("import");
    if (command == QStringLiteral("save") || command == QStringLiteral("imsg"))
        return verb == QStringLiteral("import");
    if (command == QStringLiteral("exe") || command == QStringLiteral("rfile"))
        return verb == QStringLiteral("set");
    if (command == QStringLiteral("patch"))
        return verb == QStringLiteral("apply") || verb == QStringLiteral("revert");
    if (command == QStringLiteral("mods"))
        return verb != QStringLiteral("list") && verb != QStringLiteral("conflicts");
    return false;
}

// A command that only reads names a write that a program stopped half-way
// through in the folders it reads, and leaves it to the next writer; check
// lists it among its problems.
void tellUnfinished(Output& o, const QStringList& args) {
    if (args.value(0) == QStringLiteral("check") || writes(args))
        return;
    QStringList folders;
    for (const QString& arg : args.mid(1)) {
        const QFileInfo info(arg);
        if (arg.startsWith(u'-') || !info.exists())
            continue;
        const QString folder = info.isDir() ? info.absoluteFilePath() : info.absolutePath();
        if (!folders.contains(folder))
            folders.append(folder);
    }
    for (const QString& folder : folders)
        for (const QString& line : files::WriteJournal::unfinished(folder))
            o.err(QStringLiteral("注意：") + line + u'\n');
}

int runCommand(Output& o, QStringList args) {
    tellUnfinished(o, args);
    if (args.isEmpty())
        return usage(o, help::top);
    if (args.first() == QStringLiteral("--version")) {
        o.out(QStringLiteral("lcjtool " LCJ_VERSION "\n"));
        return Ok;
    }
    if (!gbk::available())
        return fail(o, QStringLiteral("本机的Qt缺少GBK编码支持，无法读写游戏文件"));
    const QString command = args.takeFirst();
    if (command == QStringLiteral("--help") || command == QStringLiteral("-h"))
        return helpOn(o, help::top);
    const auto* c = std::find_if(std::begin(commands), std::end(commands),
                                 [&](const Command& c) { return command == QStringView(c.name); });
    if (c != std::end(commands))
        return c->run(o, args);
    return usage(o, help::top, QStringLiteral("未知的命令 %1").arg(command));
}

} // namespace

int run(const QStringList& args) {
    return run(args, stdout, stderr);
}

int run(const QStringList& args, std::FILE* out, std::FILE* err) {
    Output o(out, err);
    // A writer that settles what a stopped one left says so here.
    files::setJournalReport([&o](const QString& line) { o.err(line + u'\n'); });
    int code = runCommand(o, args);
    files::setJournalReport({});
    // Output that did not all arrive is a failure, however the command went:
    // a cut export must not look like a whole one.
    if (o.failed()) {
        const bool toErr = o.failed() == err;
        // check keeps 1 for the problems it found: a cut report is told apart.
        code = args.value(0) == QStringLiteral("check") ? int(OutputError) : worse(code, DataError);
        o.err(QStringLiteral("lcjtool: 写入%1出错（%2），输出不完整。\n")
                  .arg(toErr ? QStringLiteral("标准错误") : QStringLiteral("标准输出"),
                       writeFailure(o.failure())));
    }
    return code;
}
} // namespace lcj::cli
