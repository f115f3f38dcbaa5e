// What lcjtool does with the files a user hands it: JSON as its own export
// writes it, files that must be refused before anything is written, and
// output paths that are no file.
#include "clirun.h"
#include "common/fileaccess.h"
#include "common/gbk.h"
#include "samplegen/samplegame.h"
#include "support/testfiles.h"

#include <QDir>
#include <QDirIterator>
#include <QJsonArray>
#include <QJsonDocument>
#include <QJsonObject>
#include <QMap>
#include <gtest/gtest.h>

using namespace lcj;
using namespace Qt::Literals::StringLiterals;
using test::runCli;
using test::snapshot;

namespace {

const qint64 characterAt = 396;
const qint64 forceOf5 = characterAt + 32 * 5 + 18; // stored as half the shown value

QByteArray utf16(const QString& text, bool bigEndian) {
    QByteArray out;
    for (const QChar c : text) {
        const char hi = char(c.unicode() >> 8), lo = char(c.unicode() & 0xFF);
        out += bigEndian ? QByteArray{1, hi} + lo : QByteArray{1, lo} + hi;
    }
    return out;
}

class UserFiles : public testing::Test {
protected:
    test::TestFolder dir;
    QByteArray original = sample::dataFile();
    QString data = dir.write(QStringLiteral("data.e5"), original);

    test::CliRun import(const QString& file, const QString& table = QStringLiteral("characters")) {
        return runCli({QStringLiteral("data"), QStringLiteral("import"), data, table, file});
    }
};

} // namespace

TEST_F(UserFiles, JsonExportImportsBackUnchanged) {
    const QString json = dir.path(QStringLiteral("characters.json"));
    ASSERT_EQ(runCli({QStringLiteral("data"), QStringLiteral("export"), data,
                      QStringLiteral("characters"), QStringLiteral("--format"),
                      QStringLiteral("json"), QStringLiteral("-o"), json})
                  .code,
              cli::Ok);
    const auto run = import(json);
    EXPECT_EQ(run.code, cli::Ok) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("已修改0条记录\n"));
    EXPECT_EQ(test::readFile(data), original);
    EXPECT_FALSE(QFile::exists(files::backupPath(data)));
}

TEST_F(UserFiles, EditedJsonExportChangesExactlyItsBytes) {
    const QString json = dir.path(QStringLiteral("characters.json"));
    ASSERT_EQ(runCli({QStringLiteral("data"), QStringLiteral("export"), data,
                      QStringLiteral("characters"), QStringLiteral("--format"),
                      QStringLiteral("json"), QStringLiteral("-o"), json})
                  .code,
              cli::Ok);
    // As a script would edit it: parsed, changed, written back with other spacing.
    QJsonArray rows = QJsonDocument::fromJson(test::readFile(json)).array();
    QJsonObject five = rows[5].toObject();
    five[QStringLiteral("武力")] = 76;
    rows[5] = five;
    QJsonObject last = rows[511].toObject();
    last[QStringLiteral("姓名")] = QStringLiteral("岚川记");
    rows[511] = last;
    dir.write(QStringLiteral("characters.json"), QJsonDocument(rows).toJson());
    const auto run = import(json);
    ASSERT_EQ(run.code, cli::Ok) << run.err.toStdString();
    EXPECT_EQ(run.out, QStringLiteral("已修改2条记录\n"));
    QByteArray expected = original;
    expected[forceOf5] = 38;
    expected.replace(characterAt + 32 * 511, 12,
                     QByteArray("\xE1\xB0\xB4\xA8\xBC\xC7\0\0\0\0\0\0", 12));
    EXPECT_EQ(test::readFile(data), expected);
}

namespace {

struct GoodInput {
    const char* name;
    const char* table;
    QByteArray bytes;
    qint64 offset; // the one byte that must change
    int byte;
};

void PrintTo(const GoodInput& g, std::ostream* os) {
    *os << g.name;
}

class GoodInputs : public testing::TestWithParam<GoodInput> {};

} // namespace

TEST_P(GoodInputs, ChangeExactlyTheirByte) {
    const GoodInput& g = GetParam();
    test::TestFolder dir;
    const QByteArray original = sample::dataFile();
    const QString data = dir.write(QStringLiteral("data.e5"), original);
    const auto run =
        runCli({QStringLiteral("data"), QStringLiteral("import"), data,
                QString::fromLatin1(g.table), dir.write(QStringLiteral("in.txt"), g.bytes)});
    ASSERT_EQ(run.code, cli::Ok) << run.err.toStdString();
    QByteArray expected = original;
    expected[g.offset] = char(g.byte);
    EXPECT_EQ(test::readFile(data), expected);
}

INSTANTIATE_TEST_SUITE_P(
    Encodings, GoodInputs,
    testing::Values(
        GoodInput{"gbk", "characters",
                  *gbk::encode(QStringLiteral("序号,姓名,武力\r\n5,%1,76\r\n")
                                   .arg(sample::characterNames()[5])),
                  forceOf5, 38},
        GoodInput{"utf8", "characters", QStringLiteral("序号,武力\n5,76\n").toUtf8(), forceOf5, 38},
        GoodInput{"utf8_bom", "characters",
                  "\xEF\xBB\xBF" + QStringLiteral("序号,武力\r\n5,76\r\n").toUtf8(), forceOf5, 38},
        GoodInput{"json_fraction", "terrain",
                  QStringLiteral("[{\"序号\": 2, \"浅滩（地形效果）\": 2.5}]").toUtf8(),
                  22899 + 60 * 2 + 9, 2},
        GoodInput{"json_number_as_text", "characters",
                  QStringLiteral("  [{\"序号\": \"5\", \"武力\": \"76\"}]").toUtf8(), forceOf5,
                  38}),
    [](const auto& info) { return std::string(info.param.name); });

// The same exports saved again as GBK, as a spreadsheet on a Chinese Windows
// does: told apart from broken UTF-8, they import back without a change.
TEST(GbkFiles, ExportsSavedAsGbkImportBackUnchanged) {
    test::TestFolder dir;
    const QByteArray data = sample::dataFile(), messages = sample::messageFile();
    const QString dataPath = dir.write(u"data.e5"_s, data);
    const QString imsgPath = dir.write(u"Imsg.e5"_s, messages);
    const QString csv = dir.path(u"table.csv"_s);
    const auto asGbk = [&] {
        const auto bytes = gbk::encode(QString::fromUtf8(test::readFile(csv)));
        ASSERT_TRUE(bytes.ok());
        ASSERT_FALSE(QString::fromUtf8(*bytes).toUtf8() == *bytes); // really not UTF-8
        dir.write(u"table.csv"_s, *bytes);
    };
    for (const char* table : {"characters", "items", "shops", "troops", "terrain", "strategies"}) {
        const QString name = QString::fromLatin1(table);
        ASSERT_EQ(runCli({u"data"_s, u"export"_s, dataPath, name, u"-o"_s, csv}).code, cli::Ok);
        asGbk();
        const auto run = runCli({u"data"_s, u"import"_s, dataPath, name, csv});
        EXPECT_EQ(run.code, cli::Ok) << table << ": " << run.err.toStdString();
        EXPECT_EQ(run.out, u"已修改0条记录\n"_s) << table;
    }
    for (const char* category : {"liezhuan", "wuping", "zandou"}) {
        const QString name = QString::fromLatin1(category);
        ASSERT_EQ(runCli({u"imsg"_s, u"export"_s, imsgPath, name, csv}).code, cli::Ok);
        asGbk();
        const auto run = runCli({u"imsg"_s, u"import"_s, imsgPath, name, csv});
        EXPECT_EQ(run.code, cli::Ok) << category << ": " << run.err.toStdString();
        EXPECT_EQ(run.out, u"已修改0行\n"_s) << category;
    }
    EXPECT_EQ(test::readFile(dataPath), data);
    EXPECT_EQ(test::readFile(imsgPath), messages);
}

TEST(JsonFiles, RegionImportsReadJsonToo) {
    test::TestFolder dir;
    const QByteArray original = sample::saveGame();
    const QString path = dir.write(u"Sv01d.e5s"_s, original);
    const auto run = runCli(
        {u"save"_s, u"import"_s, path,
         dir.write(u"in.json"_s, u"[{\"序号\": 5, \"武力\": 76, \"辅助\": 255}]"_s.toUtf8())});
    ASSERT_EQ(run.code, cli::Ok) << run.err.toStdString();
    QByteArray expected = original;
    expected[5340 + 32 * 5 + 9] = 38;
    expected[5340 + 32 * 5 + 26] = char(255);
    EXPECT_EQ(test::readFile(path), expected);
}

namespace {

struct BadInput {
    const char* name;
    QByteArray bytes;
    const char16_t* message; // part of what the user is told
};

void PrintTo(const BadInput& b, std::ostream* os) {
    *os << b.name;
}

class BadInputs : public testing::TestWithParam<BadInput> {};

QByteArray utf8(const char16_t* text) {
    return QString::fromUtf16(text).toUtf8();
}

} // namespace

// Refused with a message, and neither the data file nor anything beside it is written.
TEST_P(BadInputs, AreRefusedWithNothingWritten) {
    const BadInput& b = GetParam();
    test::TestFolder dir;
    const QByteArray original = sample::dataFile();
    const QString data = dir.write(QStringLiteral("data.e5"), original);
    dir.write(QStringLiteral("in.txt"), b.bytes);
    const auto before = snapshot(dir.path({}));
    const auto run = runCli({QStringLiteral("data"), QStringLiteral("import"), data,
                             QStringLiteral("characters"), dir.path(QStringLiteral("in.txt"))});
    EXPECT_EQ(run.code, cli::DataError);
    EXPECT_TRUE(run.err.contains(QString::fromUtf16(b.message))) << run.err.toStdString();
    EXPECT_TRUE(run.out.isEmpty()) << run.out.toStdString();
    EXPECT_EQ(snapshot(dir.path({})), before);
}

INSTANTIATE_TEST_SUITE_P(
    Refusals, BadInputs,
    testing::Values(
        BadInput{"repeated_column", utf8(u"序号,武力,统率,武力\r\n5,76,80,90\r\n"),
                 u"CSV文件的列“武力”出现了不止一次"},
        BadInput{"repeated_number_column", utf8(u"序号,武力,序号\r\n5,76,6\r\n"),
                 u"CSV文件的列“序号”出现了不止一次"},
        BadInput{"repeated_json_key", utf8(u"[{\"序号\": 5, \"武力\": 76, \"武力\": 90}]"),
                 u"JSON文件第1项中“武力”出现了不止一次"},
        BadInput{"repeated_escaped_json_key",
                 utf8(u"[{\"序号\": 4}, {\"序号\": 5, \"武力\": 76, \"\\u6b66力\": 90}]"),
                 u"JSON文件第2项中“武力”出现了不止一次"},
        BadInput{"nul_in_csv_name", utf8(u"序号,姓名\r\n4,林青\r\n5,林") + '\0' + utf8(u"青\r\n"),
                 u"第3行：“姓名”一格中有NUL字符"},
        BadInput{"nul_in_json_name", utf8(u"[{\"序号\": 5, \"姓名\": \"林\\u0000青\"}]"),
                 u"第1项：“姓名”一格中有NUL字符"},
        BadInput{"json_of_wrong_type", utf8(u"[{\"序号\": 5, \"武力\": true}]"),
                 u"第1项：“武力”应是一个数或一段文字"},
        BadInput{"json_huge_number", utf8(u"[{\"序号\": 5, \"武力\": 1e300}]"),
                 u"第1项（序号5）：武力："},
        BadInput{"json_without_number", utf8(u"[{\"武力\": 76}]"), u"第1项：缺少“序号”"},
        BadInput{"json_unknown_key", utf8(u"[{\"序号\": 5, \"武功\": 76}]"),
                 u"JSON文件有未知的列“武功”"},
        BadInput{"broken_json", utf8(u"[{\"序号\": 5, \"武力\": 76}"), u"JSON文件有误"},
        BadInput{"utf16le_bom", "\xFF\xFE" + utf16(QStringLiteral("序号,武力\r\n5,76\r\n"), false),
                 u"文件是UTF-16编码"},
        BadInput{"utf16be_bom", "\xFE\xFF" + utf16(QStringLiteral("序号,武力\r\n5,76\r\n"), true),
                 u"文件是UTF-16编码"},
        BadInput{"utf16le", utf16(QStringLiteral("序号,武力\r\n5,76\r\n"), false),
                 u"文件是UTF-16编码"},
        BadInput{"stray_byte_in_utf8", utf8(u"序号,姓名\r\n5,林") + "\xFF" + utf8(u"青\r\n"),
                 u"文件不是有效的UTF-8编码：第2行第21个字节（0xff）"},
        BadInput{"cut_utf8_sequence", utf8(u"序号,姓名\r\n5,") + "\xE6\x9E" + utf8(u",\r\n"),
                 u"文件不是有效的UTF-8编码：第2行"},
        BadInput{"bom_then_overlong", "\xEF\xBB\xBF" + utf8(u"序号,武力\r\n5,") + "\xC0\xB6\r\n",
                 u"文件不是有效的UTF-8编码：第2行"},
        BadInput{"neither_utf8_nor_gbk",
                 *gbk::encode(QStringLiteral("序号,姓名\r\n4,林青\r\n5,")) + "\x81\x20\r\n",
                 u"文件既不是UTF-8也不是GBK编码：第3行"},
        BadInput{"gbk_cut_at_the_end", *gbk::encode(QStringLiteral("序号,姓名\r\n5,林青")) + "\xC1",
                 u"文件既不是UTF-8也不是GBK编码：第2行"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(UserFiles, NulInAMessageTextIsRefused) {
    const QByteArray messages = sample::messageFile();
    const QString imsg = dir.write(QStringLiteral("Imsg.e5"), messages);
    const QString csv = dir.write(QStringLiteral("in.csv"),
                                  utf8(u"序号,撤退台词\r\n4,撤退") + '\0' + utf8(u"了\r\n"));
    const auto before = snapshot(dir.path({}));
    const auto run = runCli(
        {QStringLiteral("imsg"), QStringLiteral("import"), imsg, QStringLiteral("chetui"), csv});
    EXPECT_EQ(run.code, cli::DataError);
    EXPECT_TRUE(run.err.contains(QStringLiteral("第2行：“撤退台词”一格中有NUL字符")))
        << run.err.toStdString();
    EXPECT_EQ(snapshot(dir.path({})), before);
}

TEST_F(UserFiles, ScenarioEditsInUtf16AreRefused) {
    const QString scenario =
        dir.write(QStringLiteral("S_01.eex"), sample::scenarioFile(sample::ScenarioShape{}));
    const QString edits =
        dir.write(QStringLiteral("edits.json"),
                  "\xFF\xFE" + utf16(QStringLiteral("{\"battle\": {\"turns\": 33}}"), false));
    const auto before = snapshot(dir.path({}));
    const auto run = runCli({QStringLiteral("scenario"), QStringLiteral("edit"), scenario, edits});
    EXPECT_EQ(run.code, cli::DataError);
    EXPECT_TRUE(run.err.contains(QStringLiteral("文件是UTF-16编码"))) << run.err.toStdString();
    EXPECT_EQ(snapshot(dir.path({})), before);
}

TEST_F(UserFiles, ScenarioEditsWithARepeatedKeyAreRefused) {
    const QString scenario =
        dir.write(QStringLiteral("S_01.eex"), sample::scenarioFile(sample::ScenarioShape{}));
    const QString edits =
        dir.write(QStringLiteral("edits.json"),
                  R"({"allies": {"3": {"x": 5}}, "battle": {"turns": 33, "turns": 34}})");
    const auto before = snapshot(dir.path({}));
    const auto run = runCli({QStringLiteral("scenario"), QStringLiteral("edit"), scenario, edits});
    EXPECT_EQ(run.code, cli::DataError);
    EXPECT_TRUE(run.err.contains(QStringLiteral("修改文件中“turns”出现了不止一次（在“battle”中）")))
        << run.err.toStdString();
    EXPECT_EQ(snapshot(dir.path({})), before);
}

namespace {

// A command whose output path is "{out}".
struct OutputCase {
    const char* name;
    QStringList args;  // "{dir}" is the test folder
    const char* input; // the file read, for the case where it is also the output
};

void PrintTo(const OutputCase& c, std::ostream* os) {
    *os << c.name;
}

class OutputPaths : public testing::TestWithParam<OutputCase> {
protected:
    test::TestFolder dir;

    void SetUp() override {
        dir.write(QStringLiteral("data.e5"), sample::dataFile());
        dir.write(QStringLiteral("S_01.eex"), sample::scenarioFile(sample::ScenarioShape{}));
        dir.write(QStringLiteral("R_01.eex"), sample::rFile());
        dir.write(QStringLiteral("Lcj5.exe"), sample::programFile());
        dir.write(QStringLiteral("Sv01d.e5s"), sample::saveGame());
        dir.write(QStringLiteral("Imsg.e5"), sample::messageFile());
        dir.write(QStringLiteral("edits.json"), "{\"battle\": {\"turns\": 33}}");
        ASSERT_TRUE(QDir(dir.path({})).mkdir(QStringLiteral("out")));
    }
    test::CliRun runWith(const QString& out) {
        QStringList args;
        for (const QString& a : GetParam().args)
            args.append(a == QStringLiteral("{out}")
                            ? out
                            : QString(a).replace(QStringLiteral("{dir}"), dir.path({})));
        return runCli(args);
    }
};

} // namespace

// Every command that writes an output; the last is the one that may write its input.
QList<OutputCase> outputCases() {
    return {OutputCase{
                "data_export",
                {u"data"_s, u"export"_s, u"{dir}/data.e5"_s, u"characters"_s, u"-o"_s, u"{out}"_s},
                "data.e5"},
            OutputCase{"data_export_json",
                       {u"data"_s, u"export"_s, u"{dir}/data.e5"_s, u"items"_s, u"--format"_s,
                        u"json"_s, u"--output"_s, u"{out}"_s},
                       "data.e5"},
            OutputCase{"scenario_show",
                       {u"scenario"_s, u"show"_s, u"{dir}/S_01.eex"_s, u"-o"_s, u"{out}"_s},
                       "S_01.eex"},
            OutputCase{"rfile_show",
                       {u"rfile"_s, u"show"_s, u"{dir}/R_01.eex"_s, u"-o"_s, u"{out}"_s},
                       "R_01.eex"},
            OutputCase{"exe_show",
                       {u"exe"_s, u"show"_s, u"{dir}/Lcj5.exe"_s, u"-o"_s, u"{out}"_s},
                       "Lcj5.exe"},
            OutputCase{"save_export",
                       {u"save"_s, u"export"_s, u"{dir}/Sv01d.e5s"_s, u"{out}"_s},
                       "Sv01d.e5s"},
            OutputCase{"imsg_export",
                       {u"imsg"_s, u"export"_s, u"{dir}/Imsg.e5"_s, u"chetui"_s, u"{out}"_s},
                       "Imsg.e5"},
            OutputCase{"scenario_edit",
                       {u"scenario"_s, u"edit"_s, u"{dir}/S_01.eex"_s, u"{dir}/edits.json"_s,
                        u"-o"_s, u"{out}"_s},
                       nullptr}};
}

TEST_P(OutputPaths, AFolderIsRefusedWithNothingWritten) {
    const auto before = snapshot(dir.path({}));
    const auto run = runWith(dir.path(QStringLiteral("out")));
    EXPECT_EQ(run.code, cli::DataError);
    EXPECT_TRUE(
        run.err.contains(QStringLiteral("“%1”是一个文件夹").arg(dir.path(QStringLiteral("out")))))
        << run.err.toStdString();
    EXPECT_EQ(snapshot(dir.path({})), before);
}

// Exports only: `scenario edit -o` naming its own input edits it in place.
class ExportOutputPaths : public OutputPaths {};

TEST_P(ExportOutputPaths, TheFileReadIsNeverOverwrittenByItsExport) {
    const auto before = snapshot(dir.path({}));
    const auto run = runWith(dir.path(QString::fromLatin1(GetParam().input)));
    EXPECT_EQ(run.code, cli::DataError);
    EXPECT_TRUE(run.err.contains(QStringLiteral("不能写到读入的文件"))) << run.err.toStdString();
    EXPECT_EQ(snapshot(dir.path({})), before);
}

// `save export Sv01d.e5s Sv02d.e5s`: a forgotten output name, and the table
// would replace another game file.
TEST_P(ExportOutputPaths, AnotherGameFileIsNeverOverwrittenByAnExport) {
    for (const QString& name : {u"Sv02d.e5s"_s, u"S_02.EEX"_s, u"copy.e5"_s}) {
        dir.write(name, "game bytes");
        const auto before = snapshot(dir.path({}));
        const auto run = runWith(dir.path(name));
        EXPECT_EQ(run.code, cli::DataError) << name.toStdString();
        EXPECT_TRUE(run.err.contains(u"是游戏文件的名字"_s)) << run.err.toStdString();
        EXPECT_EQ(snapshot(dir.path({})), before);
    }
}

INSTANTIATE_TEST_SUITE_P(Commands, OutputPaths, testing::ValuesIn(outputCases()),
                         [](const auto& info) { return std::string(info.param.name); });

INSTANTIATE_TEST_SUITE_P(Exports, ExportOutputPaths,
                         testing::ValuesIn(outputCases().mid(0, outputCases().size() - 1)),
                         [](const auto& info) { return std::string(info.param.name); });
