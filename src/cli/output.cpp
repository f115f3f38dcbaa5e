#include "output.h"

#include "changes/patch.h"

#include <QDir>
#include <QFileInfo>

namespace lcj::cli {

namespace patch = changes::patch;

namespace {

QString shown(const QString& path) {
    return QDir::toNativeSeparators(path);
}

bool gameFileName(const QString& name) {
    static const QStringList gameSuffixes{QStringLiteral("e5"), QStringLiteral("e5s"),
                                          QStringLiteral("eex"), QStringLiteral("exe"),
                                          QStringLiteral("bmp")};
    return gameSuffixes.contains(QFileInfo(name).suffix().toLower());
}

// A scenario's file: NAME.eex, but not a deployment-limit file R_??.eex.
bool scenarioName(const QString& name) {
    return QFileInfo(name).suffix().toLower() == QStringLiteral("eex") &&
           patch::kindOfName(QFileInfo(name).fileName()) != patch::FileKind::RFile;
}

// The file a link leads to; the path itself when it is no link or leads nowhere.
QString target(const QFileInfo& info) {
    const QString canonical = info.canonicalFilePath();
    return canonical.isEmpty() ? info.absoluteFilePath() : canonical;
}

} // namespace

bool isStandardOutput(const QString& out) {
    return out == QStringLiteral("-");
}

Failure outputProblem(const QString& out, const QStringList& inputs, OutputKind kind) {
    const QFileInfo info(out);
    if (info.isDir())
        return QStringLiteral("“%1”是一个文件夹，请给出要写入的文件名；没有写入任何内容。")
            .arg(out);
    // A device, a pipe or a socket would be replaced by a plain file (and its
    // backup read without end); a link to one the same.
    if ((info.exists() || info.isSymLink()) && !info.isFile())
        return QStringLiteral("“%1”不是普通文件（是设备、管道或指向别处的链接），不会写到那里；"
                              "要输出到标准输出请用“-”；没有写入任何内容。")
            .arg(shown(out));
    if (info.exists())
        for (const QString& input : inputs)
            if (!input.isEmpty() && QFileInfo::exists(input) &&
                target(info) == target(QFileInfo(input)))
                return QStringLiteral(
                           "不能写到读入的文件“%1”上，请给出另一个文件名；没有写入任何内容。")
                    .arg(shown(out));
    const QString linked = QFileInfo(target(info)).fileName();
    if (kind == OutputKind::Scenario) {
        if (!scenarioName(out) || !scenarioName(linked))
            return QStringLiteral("“%1”不是剧本文件的名字，修改后的剧本只写到剧本文件名"
                                  "（例如 S_02.eex）上；没有写入任何内容。")
                .arg(shown(out));
        return {};
    }
    if (gameFileName(out) || gameFileName(linked))
        return QStringLiteral("“%1”是游戏文件的名字，导出的内容不会写到那里，请给出另一个文件名"
                              "（例如 .csv、.json、.png 或 .lcjpatch）；没有写入任何内容。")
            .arg(shown(out));
    return {};
}

} // namespace lcj::cli
