#include "recovery.h"

#include "changes/merge.h"
#include "common/fileaccess.h"
#include "common/recoveryjournal.h"
#include "common/ui/document.h"
#include "common/ui/editorwindow.h"
#include "fields/filekind.h"
#include "mainwindow.h"
#include "workspace.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <optional>

namespace lcj {

namespace {

const QString title = QStringLiteral("岚川记数据工坊");
// The changes listed per file; the rest are counted.
constexpr int shownLines = 8;

// The journal's changes in the merge question's words.
QStringList changeLines(const RecoveryJournal::Recovered& recovered) {
    const QString name = QFileInfo(recovered.path).fileName();
    const auto kind = fields::kindOfName(name);
    if (!kind)
        return {};
    const auto merge = changes::ThreeWayMerge::compare(*kind, name, recovered.base, recovered.mine,
                                                       recovered.base);
    return merge.ok() ? merge->mineLines() : QStringList{};
}

QString listing(const QList<RecoveryJournal::Recovered>& found) {
    QString text = QStringLiteral("程序上次没有正常结束，以下文件有未保存的修改：\n");
    for (const RecoveryJournal::Recovered& recovered : found) {
        text +=
            QStringLiteral("\n%1（%2）\n")
                .arg(QDir::toNativeSeparators(recovered.path),
                     recovered.time.toLocalTime().toString(QStringLiteral("yyyy-MM-dd HH:mm:ss")));
        const QStringList lines = changeLines(recovered);
        for (const QString& line : lines.mid(0, shownLines))
            text += QStringLiteral("  ") + line + u'\n';
        if (lines.size() > shownLines)
            text += QStringLiteral("  ……等%1处修改\n").arg(lines.size());
        if (lines.isEmpty())
            text += QStringLiteral("  （字段以外的字节有改动）\n");
    }
    text += QStringLiteral("\n恢复：在编辑器中打开这些修改（尚未写入文件，请检查后保存）。\n"
                           "丢弃：不再保留这些修改。");
    return text;
}

// The document of the file at `path` among the editors' (a data editor that has not read its
// file yet gives one without a path: it reads the file when it takes the edits).
std::optional<Document> documentOf(const MainWindow& window, const QString& path) {
    // The editor that shows the file, or holds it beside the one it shows (an R file).
    for (EditorWindow* editor : window.workspace()->editors()) {
        const bool shows =
            !editor->filePath().isEmpty() && QFileInfo(editor->filePath()) == QFileInfo(path);
        for (const Document::Access& access : editor->documents()) {
            const QString held = access.stamp().path;
            if (held.isEmpty() ? shows : QFileInfo(held) == QFileInfo(path))
                return Document(editor, access);
        }
    }
    return std::nullopt;
}

// Opens the file and gives its editor the recovered edits; the reason when it cannot.
QString recover(MainWindow& window, const RecoveryJournal::Recovered& recovered) {
    const QString name = QFileInfo(recovered.path).fileName();
    if (!QFileInfo(recovered.path).isFile())
        return QStringLiteral("文件已不存在");
    if (!window.openFromOutside(recovered.path))
        return QStringLiteral("文件未能打开");
    const std::optional<Document> document = documentOf(window, recovered.path);
    if (!document)
        return QStringLiteral("文件未能打开");
    QByteArray disk = document->base();
    if (document->path().isEmpty()) {
        auto read = files::readWhole(recovered.path);
        if (!read.ok())
            return read.error();
        disk = *read;
    }
    QByteArray take = recovered.mine;
    QString said;
    if (disk != recovered.base) {
        // Changed on disk since: the edits go onto the file as it is now.
        const auto kind = fields::kindOfName(name);
        if (!kind)
            return QStringLiteral("文件已被改动，无法合并");
        const auto merge =
            changes::ThreeWayMerge::compare(*kind, name, recovered.base, recovered.mine, disk);
        if (!merge.ok())
            return QStringLiteral("文件已被改动，无法合并：") + merge.error();
        const auto merged = merge->merged(changes::ThreeWayMerge::Settle::TakeMine);
        if (!merged.ok())
            return QStringLiteral("文件已被改动，无法合并：") + merged.error();
        take = *merged;
        said = QStringLiteral("已恢复未保存的修改，并与磁盘上的改动合并（%1处磁盘上的改动）")
                   .arg(merge->diskLines().size());
        if (!merge->conflicts().isEmpty())
            said += QStringLiteral("；冲突处用恢复的值：") +
                    merge->conflictLines().join(QStringLiteral("；"));
    } else {
        said = QStringLiteral("已恢复未保存的修改（尚未保存）");
    }
    if (take != disk && !document->adopt(take))
        return QStringLiteral("编辑器无法接收这些修改");
    document->editor()->tellStatus(said);
    return {};
}

} // namespace

void offerRecovery(MainWindow& window, Prompts& prompts, const QString& folder) {
    QList<RecoveryJournal::Recovered> found;
    for (RecoveryJournal::Recovered& recovered : RecoveryJournal::orphans(folder)) {
        // A journal cut off before its first edit holds nothing to recover.
        if (recovered.mine == recovered.base)
            QFile::remove(recovered.journal);
        else
            found << recovered;
    }
    if (found.isEmpty())
        return;
    const int answer = prompts.choose(
        &window, listing(found), {QStringLiteral("恢复"), QStringLiteral("丢弃")}, 0, -1, title);
    if (answer == 1) {
        if (prompts.ask(&window, QStringLiteral("确定丢弃这些未保存的修改吗？"), title))
            for (const RecoveryJournal::Recovered& recovered : found)
                QFile::remove(recovered.journal);
        return;
    }
    if (answer != 0)
        return;
    QStringList failed;
    // A scenario before its R file: opening the scenario drops the R file's boxes.
    const auto isRFile = [](const RecoveryJournal::Recovered& recovered) {
        return fields::kindOfName(QFileInfo(recovered.path).fileName()) == fields::FileKind::RFile;
    };
    std::stable_partition(found.begin(), found.end(),
                          [&](const RecoveryJournal::Recovered& r) { return !isRFile(r); });
    // An editor holds one file of its kind: a second would ask to save the first. The
    // scenario editor holds one scenario and that scenario's R file.
    QList<fields::FileKind> taken;
    QString scenarioTaken;
    for (const RecoveryJournal::Recovered& recovered : found) {
        const auto kind = fields::kindOfName(QFileInfo(recovered.path).fileName());
        const QString scenario = kind == fields::FileKind::RFile
                                     ? fields::scenarioOfRFile(recovered.path)
                                     : recovered.path;
        const bool again = kind && (kind == fields::FileKind::RFile
                                        ? !scenarioTaken.isEmpty() &&
                                              QFileInfo(scenarioTaken) != QFileInfo(scenario)
                                        : taken.contains(*kind));
        const QString reason = again ? QStringLiteral("编辑器已打开另一个恢复的同类文件，"
                                                      "请保存后重新启动程序再恢复")
                                     : recover(window, recovered);
        if (kind && reason.isEmpty()) {
            taken << *kind;
            if (*kind == fields::FileKind::Scenario || *kind == fields::FileKind::RFile)
                scenarioTaken = scenario;
        }
        // The editor keeps a journal of its own from now on; one not taken stays for next time.
        if (reason.isEmpty())
            QFile::remove(recovered.journal);
        else
            failed << QStringLiteral("%1：%2").arg(QDir::toNativeSeparators(recovered.path),
                                                   reason);
    }
    if (!failed.isEmpty())
        prompts.showMessage(&window,
                            QStringLiteral("以下文件的修改未能恢复，已保留到下次启动：\n\n") +
                                failed.join(u'\n'),
                            title, Prompts::Icon::Warning);
}

} // namespace lcj
