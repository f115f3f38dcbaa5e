#include "common.h"

#include "targets.h"

#include <QDir>
#include <QFile>
#include <QTemporaryDir>

namespace lcj::fuzz {

namespace {

qint64 wide(Input& in) {
    return qint64(in.byte()) | (qint64(in.byte()) << 8) | (qint64(in.byte()) << 16);
}

} // namespace

QByteArray damagedFile(Input& in, const QByteArray& sample, const std::vector<Region>& hot) {
    switch (in.byte() % 8) {
    case 0:
        return in.bytes(4096);
    case 1:
        return sample.left(wide(in) % (sample.size() + 1));
    default:
        break;
    }
    QByteArray file = sample;
    const int runs = 1 + in.below(8);
    for (int r = 0; r < runs && !in.empty(); ++r) {
        qint64 at;
        if (hot.empty() || in.byte() % 4 == 0) {
            at = wide(in) % file.size();
        } else {
            const Region& region = hot[std::size_t(in.below(int(hot.size())))];
            at = region.offset - 4 + wide(in) % (region.length + 8);
        }
        const QByteArray run = in.bytes(64);
        for (qsizetype i = 0; i < run.size(); ++i)
            if (at + i >= 0 && at + i < file.size())
                file[at + i] = run[i];
    }
    if (in.byte() % 8 == 0) // and sometimes cut short near a region's end
        file.truncate(hot.empty() ? file.size() - 1 : hot.back().end() - 1 + in.below(3));
    return file;
}

QString scratchPath(const QString& name) {
    static QTemporaryDir dir;
    return QDir(dir.path()).filePath(name);
}

QString scratchFile(const QString& name, const QByteArray& bytes) {
    const QString path = scratchPath(name);
    QFile::remove(path + QStringLiteral(".bak"));
    QFile file(path);
    if (!file.open(QIODevice::WriteOnly | QIODevice::Truncate) || file.write(bytes) != bytes.size())
        std::abort(); // the scratch folder itself failed: not a finding
    return path;
}

} // namespace lcj::fuzz
