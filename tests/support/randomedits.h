#pragma once

#include "cli/cli.h"

#include <QDir>
#include <QString>
#include <functional>
#include <gtest/gtest.h>
#include <random>

namespace lcj::test {

inline QString inFolder(const QString& folder, const char* name) {
    return QDir(folder).filePath(QString::fromLatin1(name));
}

// Edits every kind of file of `folder` through lcjtool's imports, which
// type each value into the windows' forms; which records and values is
// drawn from `seed`.
inline void randomEdits(const QString& folder, quint32 seed, bool appendArmy,
                        const std::function<QString(const QString&)>& input) {
    std::mt19937 rng(seed);
    const auto pick = [&rng](int lo, int hi) {
        return std::uniform_int_distribution<int>(lo, hi)(rng);
    };
    QString characters = QStringLiteral("序号,武力,智力\n");
    for (int k = 0; k < 4; ++k)
        characters +=
            QStringLiteral("%1,%2,%3\n").arg(pick(0, 511)).arg(pick(1, 99)).arg(pick(1, 99));
    ASSERT_EQ(
        cli::run({QStringLiteral("data"), QStringLiteral("import"), inFolder(folder, "data.e5"),
                  QStringLiteral("characters"), input(characters)}),
        cli::Ok);
    ASSERT_EQ(
        cli::run({QStringLiteral("save"), QStringLiteral("import"), inFolder(folder, "Sv01d.e5s"),
                  input(QStringLiteral("序号,数量\n%1,%2\n").arg(pick(0, 20)).arg(pick(0, 9))),
                  QStringLiteral("--part"), QStringLiteral("stock")}),
        cli::Ok);
    ASSERT_EQ(cli::run({QStringLiteral("imsg"), QStringLiteral("import"),
                        inFolder(folder, "Imsg.e5"), QStringLiteral("liezhuan"),
                        input(QStringLiteral("序号,人物列传\n%1,补丁测试%2\n")
                                  .arg(pick(0, 100))
                                  .arg(pick(0, 999)))}),
              cli::Ok);
    ASSERT_EQ(
        cli::run({QStringLiteral("exe"), QStringLiteral("set"), inFolder(folder, "Lcj5.exe"),
                  input(QStringLiteral("序号,形象\n%1,%2\n").arg(pick(0, 173)).arg(pick(0, 30)))}),
        cli::Ok);
    ASSERT_EQ(
        cli::run({QStringLiteral("rfile"), QStringLiteral("set"), inFolder(folder, "R_01.eex"),
                  input(QStringLiteral("序号,本关出场人数\n0,%1\n").arg(pick(1, 6)))}),
        cli::Ok);
    QString edits =
        QStringLiteral(R"({"battle": {"turns": %1}, "enemies": {"%2": {"x": %3}},)"
                       R"( "spoils": {"0": [%4, null, 7]}, "equipment": {"1": {"weapon": %5}})")
            .arg(pick(10, 60))
            .arg(pick(0, 19))
            .arg(pick(0, 30))
            .arg(pick(0, 103))
            .arg(pick(0, 103));
    if (appendArmy)
        edits += QStringLiteral(R"(, "append_army": 2, "army": {"5": {"x": %1, "y": %2}})")
                     .arg(pick(0, 30))
                     .arg(pick(0, 30));
    ASSERT_EQ(cli::run({QStringLiteral("scenario"), QStringLiteral("edit"),
                        inFolder(folder, "S_01.eex"), input(edits + u'}')}),
              cli::Ok);
}

} // namespace lcj::test
