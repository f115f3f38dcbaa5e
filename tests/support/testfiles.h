#pragma once

#include <QByteArray>
#include <QString>
#include <QTemporaryDir>

namespace lcj::test {

// A temporary folder holding test copies of game files.
class TestFolder {
public:
    TestFolder();
    // Writes `bytes` as `name` in the folder and returns its path.
    QString write(const QString& name, const QByteArray& bytes) const;
    QString path(const QString& name) const;

private:
    QTemporaryDir dir_;
};

QByteArray readFile(const QString& path);

} // namespace lcj::test
