// libFuzzer target over the UI string table's reader: a language file is as
// user-editable as a profile file. The input is the file; every lookup, sized
// and unsized, must stay inside its buffer and end its text with a NUL.
#include <algorithm>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <unistd.h>

#include "profile_store/strings/xml_rw.h"

namespace {

namespace fs = std::filesystem;
fs::path g_work;

void Require(bool ok) {
    if (!ok) __builtin_trap();
}

constexpr unsigned char kGuard = 0xA5;

// One lookup into a buffer with guard bytes after the allowed size.
void Lookup(XmlRW& table, const char* key, int size) {
    unsigned char buf[kResourceStringMax + 16];
    std::memset(buf, kGuard, sizeof buf);
    char* out = reinterpret_cast<char*>(buf);
    const int found = size < 0 ? table.GetResourceString(key, out) : table.GetResourceString(key, out, size);
    const int room = size < 0 ? kResourceStringMax : size;
    for (std::size_t i = static_cast<std::size_t>(room > 0 ? room : 0); i < sizeof buf; ++i) Require(buf[i] == kGuard);
    if (found == 1 && room > 0) Require(std::memchr(buf, 0, static_cast<std::size_t>(room)) != nullptr);
    if (found != 1) Require(buf[0] == kGuard);  // a key not found leaves the buffer untouched
}

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char tmpl[] = "/tmp/korelle-strings-fuzz-XXXXXX";
    const char* work = mkdtemp(tmpl);
    if (!work) std::abort();
    g_work = work;
    if (chdir(work) != 0) std::abort();
    std::atexit([] {
        std::error_code ec;
        fs::remove_all(g_work, ec);
    });
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    std::ofstream(g_work / "Korelle.xml", std::ios::binary | std::ios::trunc)
        .write(reinterpret_cast<const char*>(data), static_cast<std::streamsize>(size));
    std::unique_ptr<XmlRW> table(CreateXmlClassInstance("Korelle.xml"));
    Require(table != nullptr);
    // Keys of the shipped table, one the input may well hold, and odd ones.
    for (const char* key : {"Str_DataChange", "Str_SettingErr", "Str_", "", "Str_DataChange'", "a"}) {
        Lookup(*table, key, -1);
        for (int room : {0, 1, 2, 7, 64, kResourceStringMax}) Lookup(*table, key, room);
    }
    // A key taken from the input itself, so that found texts are exercised.
    if (size > 0) {
        const std::string key(reinterpret_cast<const char*>(data), std::min<size_t>(size, 24));
        Lookup(*table, key.c_str(), -1);
        Lookup(*table, key.c_str(), 3);
    }
    return 0;
}
