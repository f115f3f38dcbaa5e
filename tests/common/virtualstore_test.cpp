#include "common/virtualstore.h"

#include <string>

#include <gtest/gtest.h>

using namespace lcj;

namespace {

const virtualstore::Folders windowsFolders{
    {QStringLiteral("C:\\Program Files"), QStringLiteral("C:\\Program Files (x86)"),
     QStringLiteral("C:\\ProgramData"), QStringLiteral("C:\\Windows")},
    QStringLiteral("C:\\Users\\lan\\AppData\\Local")};

struct TwinCase {
    const char* name;
    const char* opened;
    const char* twin; // empty: none
};

class Twin : public testing::TestWithParam<TwinCase> {};

} // namespace

TEST_P(Twin, IsTheSamePathUnderVirtualStore) {
    const TwinCase& c = GetParam();
    const QString opened = QString::fromUtf8(c.opened);
    EXPECT_EQ(virtualstore::twinPath(opened, windowsFolders), QString::fromUtf8(c.twin));
    EXPECT_EQ(virtualstore::isGuarded(opened, windowsFolders), *c.twin != '\0');
}

INSTANTIATE_TEST_SUITE_P(
    Paths, Twin,
    testing::Values(
        TwinCase{"program_files_x86", "C:\\Program Files (x86)\\Game\\Sv01d.e5s",
                 "C:/Users/lan/AppData/Local/VirtualStore/Program Files (x86)/Game/Sv01d.e5s"},
        TwinCase{"program_files", "C:\\Program Files\\Game\\data.e5",
                 "C:/Users/lan/AppData/Local/VirtualStore/Program Files/Game/data.e5"},
        TwinCase{"other_letter_case", "c:/PROGRAM FILES (X86)/game/S_01.eex",
                 "C:/Users/lan/AppData/Local/VirtualStore/PROGRAM FILES (X86)/game/S_01.eex"},
        TwinCase{"program_data", "C:\\ProgramData\\Game\\Imsg.e5",
                 "C:/Users/lan/AppData/Local/VirtualStore/ProgramData/Game/Imsg.e5"},
        TwinCase{"windows_folder", "C:\\Windows\\Game\\Lcj5.exe",
                 "C:/Users/lan/AppData/Local/VirtualStore/Windows/Game/Lcj5.exe"},
        TwinCase{"doubled_separators", "C:\\Program Files\\\\Game\\.\\Sv01d.e5s",
                 "C:/Users/lan/AppData/Local/VirtualStore/Program Files/Game/Sv01d.e5s"},
        TwinCase{"a_name_that_only_begins_alike", "C:\\Program Files Games\\Sv01d.e5s", ""},
        TwinCase{"another_drive", "D:\\Program Files\\Game\\Sv01d.e5s", ""},
        TwinCase{"the_documents_folder", "C:\\Users\\lan\\Documents\\Game\\Sv01d.e5s", ""},
        TwinCase{"the_twin_itself",
                 "C:\\Users\\lan\\AppData\\Local\\VirtualStore\\Program Files\\Game\\Sv01d.e5s",
                 ""},
        TwinCase{"the_guarded_folder_itself", "C:\\Program Files", ""}),
    [](const testing::TestParamInfo<TwinCase>& info) { return std::string(info.param.name); });

TEST(VirtualStore, NoFoldersNoTwin) {
    const QString opened = QStringLiteral("C:\\Program Files\\Game\\Sv01d.e5s");
    EXPECT_TRUE(virtualstore::twinPath(opened, {}).isEmpty());
    // Without the user's own folder there is nowhere for a twin to be.
    EXPECT_TRUE(virtualstore::twinPath(opened, {windowsFolders.guarded, {}}).isEmpty());
    EXPECT_TRUE(virtualstore::isGuarded(opened, {windowsFolders.guarded, {}}));
}

TEST(VirtualStore, UnixPathsKeepTheirWholePath) {
    const virtualstore::Folders folders{{QStringLiteral("/tmp/x/Program Files")},
                                        QStringLiteral("/tmp/x/Local/")};
    EXPECT_EQ(
        virtualstore::twinPath(QStringLiteral("/tmp/x/Program Files/Game/Sv01d.e5s"), folders),
        QStringLiteral("/tmp/x/Local/VirtualStore/tmp/x/Program Files/Game/Sv01d.e5s"));
}

TEST(VirtualStore, TheSystemsFolders) {
    const virtualstore::Folders folders = virtualstore::systemFolders();
#ifdef Q_OS_WIN
    ASSERT_FALSE(folders.localAppData.isEmpty());
    EXPECT_TRUE(virtualstore::isGuarded(
        qEnvironmentVariable("ProgramFiles") + QStringLiteral("\\Game\\Sv01d.e5s"), folders));
#else
    EXPECT_TRUE(folders.guarded.isEmpty());
    EXPECT_TRUE(folders.localAppData.isEmpty());
#endif
    virtualstore::setSystemFolders(windowsFolders);
    EXPECT_EQ(virtualstore::systemFolders().guarded, windowsFolders.guarded);
    virtualstore::setSystemFolders(std::nullopt);
    EXPECT_EQ(virtualstore::systemFolders().guarded, folders.guarded);
}
