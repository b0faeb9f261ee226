// libFuzzer target over the profile library's readers. The first input byte
// picks what the rest of the input becomes:
//   0: a profile file, loaded into a record of 5 profiles of 7 buttons;
//   1: the device information file;
//   2: the template "__default.xml", filled from a record and saved.
// Besides crashes and sanitizer reports, it traps when a reader writes a
// part of the record it does not own.
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <memory>
#include <string>

#include <unistd.h>

#include "profile_store/profiles/vantor.h"
#include "profile_store/record/profile_record.h"

namespace {

namespace fs = std::filesystem;
using namespace record;

fs::path g_work;
fs::path g_device;
std::unique_ptr<Vantor> g_vantor;

void Write(const char* name, const uint8_t* data, size_t size) {
    std::ofstream(g_device / name, std::ios::binary).write(reinterpret_cast<const char*>(data), size);
}

ProfileRecord FiveBySeven() {
    ProfileRecord r;
    for (size_t i = 0; i < kSize; ++i) r.bytes[i] = static_cast<unsigned char>(i * 7 + 3);
    Set16(r.data(), kVendorID, 0x7A3D);
    Set16(r.data(), kProductID, 0x006A);
    r.bytes[kProfileNum] = 5;
    r.bytes[kButtonNum] = 7;
    return r;
}

void Require(bool ok) {
    if (!ok) __builtin_trap();
}

unsigned char* Name(const char* text) { return reinterpret_cast<unsigned char*>(const_cast<char*>(text)); }

}  // namespace

extern "C" int LLVMFuzzerInitialize(int*, char***) {
    char tmpl[] = "/tmp/korelle-fuzz-XXXXXX";
    const char* work = mkdtemp(tmpl);
    if (!work) std::abort();
    g_work = work;
    g_device = g_work / "Database" / "VID7a3d_PID006a";
    fs::create_directories(g_device);
    // The library works in the current directory; corpus paths given to the
    // fuzzer must therefore be absolute.
    if (chdir(work) != 0) std::abort();
    std::atexit([] {
        g_vantor.reset();
        std::error_code ec;
        fs::remove_all(g_work, ec);
    });
    g_vantor.reset(CreateQXClassInstance(0x7A3D, 0x006A));
    return 0;
}

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    if (size < 1) return 0;
    const uint8_t mode = data[0] % 3;
    ++data;
    --size;
    ProfileRecord r = FiveBySeven();
    const ProfileRecord before = r;
    if (mode == 0) {
        Write("fuzz.xml", data, size);
        const int loaded = g_vantor->LoadVantorProfile(r.data(), Name("fuzz.xml"));
        // Only the software section and the five blocks may change, and
        // nothing at all on failure.
        Require(std::memcmp(r.data(), before.data(), kEnableXYFlag) == 0);
        Require(std::memcmp(r.data() + 1545, before.data() + 1545, kSize - 1545) == 0);
        Require(loaded == 1 || r == before);
    } else if (mode == 1) {
        Write("__DeviceInfo.xml", data, size);
        g_vantor->LoadVantorInfo(r.data());
        Require(std::memcmp(r.data() + kDeviceSectionEnd, before.data() + kDeviceSectionEnd,
                            kSize - kDeviceSectionEnd) == 0);
        // Whatever the counts say, the maps stay inside the record.
        ApplyButtonMap(r.data());
        RevertButtonMap(r.data());
    } else {
        Write("__default.xml", data, size);
        if (g_vantor->SaveVantorProfile(r.data(), Name("out.xml")) == 1) {
            ProfileRecord back = FiveBySeven();
            g_vantor->LoadVantorProfile(back.data(), Name("out.xml"));
        }
        Require(r == before);  // saving never changes the record
    }
    return 0;
}
