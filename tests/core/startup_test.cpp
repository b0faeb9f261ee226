// The start-up rules that need no window.
#include <gtest/gtest.h>

#include <cstring>
#include <set>
#include <string>

#include "core/startup.h"

TEST(Startup, FoldersFitTheirBuffersOrAreRefused) {
    ProgramFolders f;
    ASSERT_TRUE(BuildProgramFolders("C:\\Games\\Korelle", "English", f));
    EXPECT_STREQ(f.appPath, "C:\\Games\\Korelle");
    EXPECT_STREQ(f.setupIni, "C:\\Games\\Korelle\\Setup.ini");
    EXPECT_STREQ(f.resPath, "C:\\Games\\Korelle\\Resource\\VID7A3D_PID006A");
    EXPECT_STREQ(f.langPath, "String\\English");
    EXPECT_EQ(StringTablePath(f.langPath), "String\\English\\Korelle.xml");

    // 102 characters is the longest program folder whose resource folder fits.
    const std::string longest = "C:\\" + std::string(99, 'a');
    ASSERT_EQ(longest.size(), 102u);
    EXPECT_TRUE(BuildProgramFolders(longest.c_str(), "English", f));
    EXPECT_EQ(std::strlen(f.resPath), 127u);
    EXPECT_FALSE(BuildProgramFolders((longest + "b").c_str(), "English", f));
    EXPECT_STREQ(f.appPath, "");  // nothing half-filled

    EXPECT_TRUE(BuildProgramFolders("C:\\K", std::string(120, 'L').c_str(), f));
    EXPECT_FALSE(BuildProgramFolders("C:\\K", std::string(121, 'L').c_str(), f));

    // A refusal names what is too long: the language setting only when the
    // folder itself fits.
    EXPECT_STREQ(FolderFailureText("C:\\K", std::string(121, 'L').c_str()), kLanguageTooLong);
    EXPECT_STREQ(FolderFailureText((longest + "b").c_str(), "English"), kFolderTooLong);
    EXPECT_STREQ(FolderFailureText((longest + "b").c_str(), std::string(121, 'L').c_str()), kFolderTooLong);
}

TEST(Startup, FailureTexts) {
    EXPECT_EQ(CannotFindLibraryText("C:\\K\\Quillon.dll", 0x7e), "Cannot find C:\\K\\Quillon.dll, Error(0x0000007e) !");
    // A path long enough to fill the 256-byte text is cut, never overrun.
    EXPECT_EQ(CannotFindLibraryText(std::string(300, 'p'), 2).size(), 255u);
}

TEST(Startup, FunctionNamesFitTheirSlots) {
    std::set<std::string> keys;
    for (const FunctionName& f : kFunctionNames) {
        EXPECT_LT(std::strlen(f.englishDefault), kFunNameSize) << f.key;
        keys.insert(f.key);
    }
    EXPECT_EQ(keys.size(), static_cast<std::size_t>(kFunctionCount));
}
