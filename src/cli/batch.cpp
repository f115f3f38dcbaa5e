#include "batch.h"

#include <QDir>
#include <QFileInfo>
#include <QSet>

namespace lcj::cli {

namespace {

QStringList matchingFiles(const QString& folder, const QStringList& filters) {
    QStringList out;
    const QDir dir(folder);
    for (const QString& name :
         dir.entryList(filters, QDir::Files | QDir::Hidden, QDir::Name | QDir::IgnoreCase))
        out.append(dir.filePath(name));
    return out;
}

QString canonical(const QString& path) {
    const QFileInfo info(path);
    return info.exists() ? info.canonicalFilePath() : info.absoluteFilePath();
}

} // namespace

Result<Inputs> expandInputs(const QStringList& args, const QStringList& filters) {
    Inputs inputs;
    inputs.several = args.size() > 1;
    for (const QString& arg : args) {
        if (!QFileInfo(arg).isDir()) {
            inputs.files.append(arg);
            continue;
        }
        inputs.several = true;
        const QStringList files = matchingFiles(arg, filters);
        if (files.isEmpty())
            return Result<Inputs>::failure(QStringLiteral("文件夹“%1”中没有%2文件")
                                               .arg(arg, filters.join(QStringLiteral("或"))));
        inputs.files += files;
    }
    return inputs;
}

Result<QStringList> outputPaths(const QStringList& inputs, const QString& folder,
                                const QString& suffix) {
    using R = Result<QStringList>;
    if (!QFileInfo(folder).isDir())
        return R::failure(
            QStringLiteral("处理多个文件时，输出应是一个已有的文件夹，而“%1”不是文件夹")
                .arg(folder));
    QSet<QString> read;
    for (const QString& input : inputs)
        read.insert(canonical(input));
    QStringList out;
    QSet<QString> taken;
    for (const QString& input : inputs) {
        const QFileInfo info(input);
        const QString name =
            suffix.isEmpty() ? info.fileName() : info.completeBaseName() + u'.' + suffix;
        const QString path = QDir(folder).filePath(name);
        const QString key = canonical(path).toCaseFolded();
        if (taken.contains(key))
            return R::failure(
                QStringLiteral("有两个文件都要写到“%1”，请分开处理；没有写入任何内容。").arg(path));
        if (read.contains(canonical(path)) && !suffix.isEmpty())
            return R::failure(
                QStringLiteral("不能写到读入的文件“%1”上；没有写入任何内容。").arg(path));
        taken.insert(key);
        out.append(path);
    }
    return out;
}

Result<QList<FilePair>> filePairs(const QStringList& args, const QString& folder,
                                  const QStringList& filters) {
    using R = Result<QList<FilePair>>;
    const auto inputs = expandInputs(args, filters);
    if (!inputs.ok())
        return R::failure(inputs.error());
    QList<FilePair> pairs;
    QSet<QString> names;
    const QDir other(folder);
    for (const QString& a : inputs->files) {
        const QString name = QFileInfo(a).fileName();
        const QString b = other.filePath(name);
        pairs.append({name, a, QFileInfo::exists(b) ? b : QString()});
        names.insert(name.toCaseFolded());
    }
    if (args.size() == 1 && QFileInfo(args[0]).isDir())
        for (const QString& b : matchingFiles(folder, filters))
            if (!names.contains(QFileInfo(b).fileName().toCaseFolded()))
                pairs.append({QFileInfo(b).fileName(), QString(), b});
    return pairs;
}

QString heading(const QString& path) {
    return QStringLiteral("==> %1 <==\n").arg(path);
}

} // namespace lcj::cli
