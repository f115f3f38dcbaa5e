#include "testfiles.h"

#include <QDir>
#include <QFile>

namespace lcj::test {

TestFolder::TestFolder() {
    Q_ASSERT(dir_.isValid());
}

QString TestFolder::path(const QString& name) const {
    return QDir(dir_.path()).filePath(name);
}

QString TestFolder::write(const QString& name, const QByteArray& bytes) const {
    const QString p = path(name);
    QFile f(p);
    if (!f.open(QIODevice::WriteOnly | QIODevice::Truncate) || f.write(bytes) != bytes.size())
        qFatal("cannot write test file");
    return p;
}

QByteArray readFile(const QString& path) {
    QFile f(path);
    if (!f.open(QIODevice::ReadOnly))
        return {};
    return f.readAll();
}

} // namespace lcj::test
