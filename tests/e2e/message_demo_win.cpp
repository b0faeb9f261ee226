// Shows skinned message boxes from the program folder it is started in, as
// the program shows them in the language of the folder's Setup.ini, one text
// after the other with half a second between them (so a watcher sees each
// box go), and ends with the last box's result as its exit code.
//   message-demo MODE TEXT [TEXT...]
#include <windows.h>

#include <cstdio>
#include <cstdlib>
#include <memory>

#include "core/app_globals_win.h"
#include "profile_store/strings/xml_rw.h"
#include "ui/framework/message_dialog_win.h"

int main(int argc, char** argv) {
    if (argc < 3) return 100;
    char dir[MAX_PATH];
    GetCurrentDirectoryA(sizeof dir, dir);
    // The language the program would take: Setup.ini of the folder.
    char ini[MAX_PATH + 16], language[128];
    std::snprintf(ini, sizeof ini, "%s\\Setup.ini", dir);
    GetPrivateProfileStringA("SystemInfo.Desc", "Language", "English", language, sizeof language, ini);
    ProgramFolders folders;
    if (!BuildProgramFolders(dir, language, folders)) return 101;
    std::snprintf(g_szResPath, sizeof g_szResPath, "%s", folders.resPath);
    std::unique_ptr<XmlRW> strings(CreateXmlClassInstance(StringTablePath(folders.langPath).c_str()));
    g_pXmlRW = strings.get();
    int result = 0;
    for (int i = 2; i < argc; ++i) {
        if (i > 2) Sleep(500);
        result = ShowMessage(nullptr, std::atoi(argv[1]), argv[i]);
    }
    g_pXmlRW = nullptr;
    std::printf("%d\n", result);
    return result;
}
