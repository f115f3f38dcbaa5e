#include "diskchange.h"

#include "changes/merge.h"
#include "common/fileaccess.h"
#include "editorwindow.h"
#include "prompts.h"

#include <QDir>
#include <QFileInfo>
#include <QWidget>

namespace lcj {

namespace {

using changes::ThreeWayMerge;

constexpr int shownLines = 12;

QString listed(const QStringList& lines, const QString& none) {
    if (lines.isEmpty())
        return QStringLiteral("  ") + none;
    QStringList shown;
    for (const QString& line : lines.mid(0, shownLines))
        shown << QStringLiteral("  ") + line;
    if (lines.size() > shownLines)
        shown << QStringLiteral("  ……（另有%1处）").arg(lines.size() - shownLines);
    return shown.join(u'\n');
}

void sayKept(QWidget* window, Prompts& prompts, const QString& kind, const QString& where) {
    prompts.showMessage(window,
                        QStringLiteral("没有写入任何内容：%1“%2”保持其他程序留下的样子，"
                                       "编辑器中的修改仍然保留。")
                            .arg(kind, where),
                        EditorWindow::messageTitle(window), Prompts::Icon::Information);
}

bool askOverwrite(QWidget* window, Prompts& prompts, const QString& kind, const QString& where,
                  const QString& why) {
    const QString title = EditorWindow::messageTitle(window);
    QString text = QStringLiteral("%1“%2”在读入之后已被其他程序改动。\n"
                                  "仍要用编辑器中的内容覆盖它吗？")
                       .arg(kind, where);
    if (!why.isEmpty())
        text += QStringLiteral("\n\n（无法逐栏合并：%1）").arg(why);
    if (prompts.ask(window, text, title))
        return true;
    sayKept(window, prompts, kind, where);
    return false;
}

// The merge question; the settlement chosen, or nothing when nothing is to be written.
std::optional<ThreeWayMerge::Settle> askMerge(QWidget* window, Prompts& prompts,
                                              const ThreeWayMerge& merge, const QString& kind,
                                              const QString& where) {
    const QString title = EditorWindow::messageTitle(window);
    const QString head = QStringLiteral("%1“%2”在读入之后已被其他程序改动。").arg(kind, where);
    const QString sides =
        QStringLiteral("其他程序的改动：\n%1\n\n编辑器中的改动：\n%2")
            .arg(listed(merge.diskLines(), QStringLiteral("只在编辑器不显示的字节")),
                 listed(merge.mineLines(), QStringLiteral("只在编辑器不显示的字节")));
    if (merge.conflicts().isEmpty()) {
        const int answer =
            prompts.choose(window,
                           head + QStringLiteral("\n\n") + sides +
                               QStringLiteral("\n\n合并保存会保留两边的全部改动。"),
                           {QStringLiteral("合并保存"), QStringLiteral("不写入")}, 0, 1, title);
        if (answer == 0)
            return ThreeWayMerge::Settle::TakeMine;
        return std::nullopt;
    }
    const int answer =
        prompts.choose(window,
                       head +
                           QStringLiteral("\n\n有%1处两边改成了不同的值：\n%2\n\n")
                               .arg(merge.conflicts().size())
                               .arg(listed(merge.conflictLines(), {})) +
                           sides,
                       {QStringLiteral("合并，冲突处用编辑器的"),
                        QStringLiteral("合并，冲突处保留磁盘上的"), QStringLiteral("不写入")},
                       2, 2, title);
    if (answer == 0)
        return ThreeWayMerge::Settle::TakeMine;
    if (answer == 1)
        return ThreeWayMerge::Settle::KeepDisk;
    return std::nullopt;
}

SaveRoute mergeChange(QWidget* window, Prompts& prompts, const DiskStamp& stamp,
                      const QString& target, const QString& kind, const MergeSource& source) {
    const QString where = QDir::toNativeSeparators(target);
    const auto disk = files::readWhole(target);
    if (!disk.ok())
        return askOverwrite(window, prompts, kind, where, disk.error()) ? SaveRoute::Write
                                                                        : SaveRoute::Keep;
    const auto merge = ThreeWayMerge::compare(source.kind, QFileInfo(target).fileName(),
                                              stamp.bytes, source.mine(), *disk);
    if (!merge.ok())
        return askOverwrite(window, prompts, kind, where, merge.error()) ? SaveRoute::Write
                                                                         : SaveRoute::Keep;
    const auto settle = askMerge(window, prompts, *merge, kind, where);
    if (!settle) {
        sayKept(window, prompts, kind, where);
        return SaveRoute::Keep;
    }
    const auto merged = merge->merged(*settle);
    const QString title = EditorWindow::messageTitle(window);
    if (!merged.ok()) {
        prompts.showMessage(
            window,
            QStringLiteral("合并出错，没有写入任何内容，编辑器中的修改仍然保留。\n\n") +
                merged.error(),
            title);
        return SaveRoute::Keep;
    }
    if (auto failure = files::writeWhole(target, *merged, &*disk); !failure.ok()) {
        prompts.showMessage(window, QStringLiteral("保存出错\n\n") + failure.error(), title);
        return SaveRoute::Keep;
    }
    source.showWritten(
        target, QStringLiteral("已合并保存 %1：其他程序的%2处改动和编辑器中的%3处改动都已写入，"
                               "撤销记录从这里重新开始")
                    .arg(QFileInfo(target).fileName())
                    .arg(merge->diskLines().size())
                    .arg(merge->mineLines().size()));
    return SaveRoute::Merged;
}

} // namespace

SaveRoute settleDiskChange(QWidget* window, Prompts& prompts, const DiskStamp& stamp,
                           DiskStamp::State state, const QString& target, const QString& kind,
                           bool holdsWholeFile, const MergeSource* merge) {
    switch (state) {
    case DiskStamp::State::Unchanged:
        return SaveRoute::Write;
    case DiskStamp::State::Vanished:
        if (!holdsWholeFile)
            return SaveRoute::Write;
        break;
    case DiskStamp::State::Changed:
        // A merge takes the file as read for its base: only a save over that same file.
        if (merge && stamp.size >= 0 &&
            QFileInfo(stamp.path).absoluteFilePath() == QFileInfo(target).absoluteFilePath())
            return mergeChange(window, prompts, stamp, target, kind, *merge);
        break;
    }
    return askOverwrite(window, prompts, kind, QDir::toNativeSeparators(target), {})
               ? SaveRoute::Write
               : SaveRoute::Keep;
}

bool mayOverwrite(QWidget* window, Prompts& prompts, const DiskStamp& stamp, const QString& target,
                  const QString& kind, bool holdsWholeFile) {
    return mayOverwrite(window, prompts, stamp.stateOf(target), target, kind, holdsWholeFile);
}

bool mayOverwrite(QWidget* window, Prompts& prompts, DiskStamp::State state, const QString& target,
                  const QString& kind, bool holdsWholeFile) {
    return settleDiskChange(window, prompts, DiskStamp(), state, target, kind, holdsWholeFile,
                            nullptr) == SaveRoute::Write;
}

} // namespace lcj
