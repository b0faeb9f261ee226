// The start-up rules that need no window: the program's folders within their
// fixed buffers, the language folder, the components and entry points in the
// order they are bound with the exact texts of their failure messages, and
// the button-function names with their English defaults.
#pragma once

#include <cstddef>
#include <string>

inline constexpr std::size_t kPathBuffer = 128;  // g_szAppPath and its siblings
inline constexpr std::size_t kFunNameSize = 30;  // one slot of g_szFunName
inline constexpr int kFunctionCount = 12;

inline constexpr char kAppCaption[] = "VantorCenter";
inline constexpr char kMarkerClass[] = "OblentVantor";
inline constexpr char kMarkerTitle[] = "OblentVantorManager";
inline constexpr char kResourceFolder[] = "\\Resource\\VID7A3D_PID006A";

struct ProgramFolders {
    char appPath[kPathBuffer] = "";   // g_szAppPath
    char setupIni[kPathBuffer] = "";  // g_szSetupIni
    char resPath[kPathBuffer] = "";   // g_szResPath
    char langPath[kPathBuffer] = "";  // g_szLangPath, relative to the current directory
};

// Fills the folders from the program folder (long form) and the language
// name. False when either does not fit its buffer: the program folder may
// have at most 102 characters, the language name at most 120.
bool BuildProgramFolders(const char* appPath, const char* language, ProgramFolders& out);
// The message for a refused BuildProgramFolders: the language setting's when
// only the language name is too long, else the program folder's.
const char* FolderFailureText(const char* appPath, const char* language);

// "%s\Korelle.xml" of the language folder, as the string table is created.
std::string StringTablePath(const char* langPath);

// The text shown when a library cannot be loaded.
std::string CannotFindLibraryText(const std::string& path, unsigned long error);

// One entry point to bind: its library, its name and the text shown when the
// library lacks it. In binding order.
struct EntryPoint {
    const char* library;
    const char* name;
    const char* missingText;
};
inline constexpr EntryPoint kQuillonEntries[] = {
    {"Quillon.dll", "QUILLON_IsDeviceExist", "Cannot Find QUILLON_IsDeviceExist() !"},
    {"Quillon.dll", "QUILLON_SetReport", "Cannot Find QUILLON_SetReport() !"},
    {"Quillon.dll", "QUILLON_GetReport", "Cannot Find QUILLON_GetReport() !"},
};
inline constexpr EntryPoint kSilvexEntries[] = {
    {"Silvex.dll", "CreateQXClassInstance", "Cannot Find CreateQXClassInstance() !"},
    {"Silvex.dll", "CreateXmlClassInstance", "Cannot Find CreateXmlClassInstance() !"},
};
inline constexpr EntryPoint kMerrowinEntries[] = {
    {"Merrowin.dll", "InitMouse", "Cannot Find InitMouse !"},
    {"Merrowin.dll", "UninitMouse", "Cannot Find UninitMouse !"},
    {"Merrowin.dll", "InitKeyboard", "Cannot Find InitKeyboard !"},
    {"Merrowin.dll", "UninitKeyboard", "Cannot Find UninitKeyboard !"},
};
inline constexpr char kCannotCreateStringTable[] = "Cannot Create m_sXml Class !";
inline constexpr char kCannotCreateMapping[] = "Cannot Call CreateFileMapping !";
inline constexpr char kCannotMapView[] = "Cannot Call MapViewOfFile !";
inline constexpr char kFolderTooLong[] =
    "The program folder's path is too long. Install the program in a folder with a shorter path.";
inline constexpr char kLanguageTooLong[] =
    "The Language setting in Setup.ini is too long. Use a language name of at most 120 characters.";

// The button-function names, indexed by function code: their keys and the
// English texts the program starts with.
struct FunctionName {
    const char* key;
    const char* englishDefault;
};
inline constexpr FunctionName kFunctionNames[kFunctionCount] = {
    {"Str_ButtonOff", "BUTTON OFF"},       {"Str_Click", "CLICK"},
    {"Str_RightButton", "RIGHT BUTTON"},   {"Str_MiddleButton", "MIDDLE BUTTON"},
    {"Str_Button4", "BUTTON 4"},           {"Str_Button5", "BUTTON 5"},
    {"Str_DoubleClick", "DOUBLE CLICK"},   {"Str_SwitchDPI", "SWITCH DPI"},
    {"Str_SelectProfile", "SELECT PROFILE"}, {"Str_Macro", "MACRO"},
    {"Str_Single", "SINGLE"},              {"Str_DynamicSensitive", "DYNAMIC SENSITIVE"},
};
