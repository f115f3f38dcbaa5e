// Every input a fuzz target ever failed on, kept in fuzz/regressions/<target>/,
// and every seed, run through the target's body: each must pass its checks
// (a broken property aborts) and, in the asan build, its sanitizers.
#include "targets.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace lcj;

namespace {

class FuzzRegression : public testing::TestWithParam<fuzz::Target> {};

int run(const fuzz::Target& target, const QByteArray& input) {
    return target.entry(reinterpret_cast<const std::uint8_t*>(input.constData()),
                        std::size_t(input.size()));
}

} // namespace

TEST_P(FuzzRegression, KeptInputsAndSeedsPass) {
    const fuzz::Target& target = GetParam();
    const QString name = QString::fromLatin1(target.name);
    const QList<QByteArray> seeds = fuzz::seeds(name);
    ASSERT_FALSE(seeds.isEmpty());
    for (const QByteArray& seed : seeds)
        EXPECT_EQ(run(target, seed), 0);
    // The first input every fuzzer tries, and the first that broke one.
    EXPECT_EQ(run(target, QByteArray()), 0);
    const QDir kept(QStringLiteral(LCJ_FUZZ_REGRESSIONS "/") + name);
    for (const QString& file : kept.entryList(QDir::Files)) {
        SCOPED_TRACE(file.toStdString());
        QFile input(kept.filePath(file));
        ASSERT_TRUE(input.open(QIODevice::ReadOnly));
        EXPECT_EQ(run(target, input.readAll()), 0);
    }
}

TEST(FuzzRegression, EveryKeptInputBelongsToATarget) {
    const QDir root(QStringLiteral(LCJ_FUZZ_REGRESSIONS));
    for (const QString& folder : root.entryList(QDir::Dirs | QDir::NoDotAndDotDot)) {
        bool known = false;
        for (const auto& t : fuzz::targets())
            known = known || folder == QLatin1String(t.name);
        EXPECT_TRUE(known) << folder.toStdString();
    }
}

INSTANTIATE_TEST_SUITE_P(Targets, FuzzRegression, testing::ValuesIn(fuzz::targets()),
                         [](const auto& info) { return std::string(info.param.name); });
