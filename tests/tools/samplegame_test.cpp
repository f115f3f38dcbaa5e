#include "common/fileaccess.h"
#include "samplegen/samplegame.h"
#include "support/testfiles.h"

#include <QDir>
#include <QFile>
#include <gtest/gtest.h>

using namespace lcj;

TEST(SampleGame, WritesEveryFileOnceAndKeepsWhatIsThere) {
    test::TestFolder dir;
    const QString folder = dir.path(QStringLiteral("game"));
    ASSERT_TRUE(sample::writeSampleGame(folder).ok());
    const QList<sample::SampleFile> files = sample::sampleGameFiles();
    QStringList names;
    for (const auto& f : files) {
        names.append(f.name);
        EXPECT_EQ(test::readFile(QDir(folder).filePath(f.name)), f.bytes) << f.name.toStdString();
    }
    for (const char* expected :
         {"data.e5", "Sv01d.e5s", "Imsg.e5", "Lcj5.exe", "S_01.eex", "R_01.eex", "map01.bmp"})
        EXPECT_TRUE(names.contains(QString::fromLatin1(expected))) << expected;

    // A sample the user has edited survives the next run, and no backup appears.
    const QString data = QDir(folder).filePath(QStringLiteral("data.e5"));
    QFile f(data);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly));
    f.write("edited");
    f.close();
    ASSERT_TRUE(sample::writeSampleGame(folder).ok());
    EXPECT_EQ(test::readFile(data), QByteArray("edited"));
    ASSERT_TRUE(sample::writeSampleGame(folder, true).ok());
    EXPECT_EQ(test::readFile(data), sample::dataFile());
    EXPECT_FALSE(QFile::exists(files::backupPath(data)));
}
