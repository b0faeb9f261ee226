// Reads what the installer test checks through Windows' own interfaces:
// a shell link's target and working folder, and a binary's version resource.
// Prints "key=value" lines; exit code 0 on success, 1 when the file cannot be
// read, 2 for wrong usage.
//
//   install-probe shortcut LINK.lnk   (target, arguments, workdir, icon)
//   install-probe version FILE...     (per file: file, fixed, ProductName, FileVersion,
//                                      ProductVersion, OriginalFilename)
#include <windows.h>
#include <objbase.h>
#include <shlobj.h>

#include <cstdio>
#include <string>
#include <vector>

namespace {

std::string Utf8(const wchar_t* text) {
    const int size = WideCharToMultiByte(CP_UTF8, 0, text, -1, nullptr, 0, nullptr, nullptr);
    std::string out(size > 0 ? size - 1 : 0, '\0');
    if (size > 1) WideCharToMultiByte(CP_UTF8, 0, text, -1, out.data(), size, nullptr, nullptr);
    return out;
}

int Shortcut(const wchar_t* path) {
    if (FAILED(CoInitialize(nullptr))) return 1;
    int result = 1;
    IShellLinkW* link = nullptr;
    IPersistFile* file = nullptr;
    if (SUCCEEDED(CoCreateInstance(CLSID_ShellLink, nullptr, CLSCTX_INPROC_SERVER, IID_IShellLinkW,
                                   reinterpret_cast<void**>(&link))) &&
        SUCCEEDED(link->QueryInterface(IID_IPersistFile, reinterpret_cast<void**>(&file))) &&
        SUCCEEDED(file->Load(path, STGM_READ))) {
        wchar_t target[MAX_PATH] = L"", args[1024] = L"", dir[MAX_PATH] = L"", icon[MAX_PATH] = L"";
        int iconIndex = 0;
        link->GetPath(target, MAX_PATH, nullptr, SLGP_RAWPATH);
        link->GetArguments(args, 1024);
        link->GetWorkingDirectory(dir, MAX_PATH);
        link->GetIconLocation(icon, MAX_PATH, &iconIndex);
        std::printf("target=%s\nargs=%s\nworkdir=%s\nicon=%s,%d\n", Utf8(target).c_str(), Utf8(args).c_str(),
                    Utf8(dir).c_str(), Utf8(icon).c_str(), iconIndex);
        result = 0;
    }
    if (file) file->Release();
    if (link) link->Release();
    CoUninitialize();
    return result;
}

int Version(const wchar_t* path) {
    std::printf("file=%s\n", Utf8(path).c_str());
    DWORD ignored = 0;
    const DWORD size = GetFileVersionInfoSizeW(path, &ignored);
    if (size == 0) return 1;
    std::vector<unsigned char> data(size);
    if (!GetFileVersionInfoW(path, 0, size, data.data())) return 1;
    VS_FIXEDFILEINFO* fixed = nullptr;
    UINT length = 0;
    if (!VerQueryValueW(data.data(), L"\\", reinterpret_cast<void**>(&fixed), &length) || !fixed) return 1;
    std::printf("fixed=%u.%u.%u.%u\n", unsigned(HIWORD(fixed->dwFileVersionMS)), unsigned(LOWORD(fixed->dwFileVersionMS)),
                unsigned(HIWORD(fixed->dwFileVersionLS)), unsigned(LOWORD(fixed->dwFileVersionLS)));
    // The strings of the first translation the resource lists.
    struct Translation {
        WORD language, codePage;
    }* translation = nullptr;
    if (!VerQueryValueW(data.data(), L"\\VarFileInfo\\Translation", reinterpret_cast<void**>(&translation),
                        &length) ||
        length < sizeof(Translation))
        return 1;
    for (const wchar_t* key : {L"ProductName", L"FileVersion", L"ProductVersion", L"OriginalFilename"}) {
        wchar_t query[128];
        swprintf(query, 128, L"\\StringFileInfo\\%04x%04x\\%ls", translation->language, translation->codePage, key);
        wchar_t* value = nullptr;
        if (!VerQueryValueW(data.data(), query, reinterpret_cast<void**>(&value), &length)) value = nullptr;
        std::printf("%s=%s\n", Utf8(key).c_str(), value ? Utf8(value).c_str() : "");
    }
    return 0;
}

}  // namespace

int main() {
    int argc = 0;
    wchar_t** argv = CommandLineToArgvW(GetCommandLineW(), &argc);
    if (!argv || argc < 3) {
        std::fprintf(stderr, "usage: install-probe shortcut LINK | version FILE...\n");
        return 2;
    }
    const std::wstring what = argv[1];
    if (what == L"shortcut" && argc == 3) return Shortcut(argv[2]);
    if (what != L"version") return 2;
    int result = 0;
    for (int i = 2; i < argc; ++i)
        if (Version(argv[i]) != 0) result = 1;
    return result;
}
