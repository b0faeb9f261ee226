// The path every record takes through the profile library, run on the
// shipped device files and on a few hand-written ones; the result lists
// every record as hex so that two builds can be compared byte for byte.
#pragma once

#include <algorithm>
#include <cstring>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "profile_store/profiles/vantor.h"
#include "profile_store/record/profile_record.h"
#include "tests/test_support.h"

namespace record_scenario {

inline std::string Hex(const ProfileRecord& r) {
    static const char digits[] = "0123456789abcdef";
    std::string s;
    for (unsigned char b : r.bytes) {
        s += digits[b >> 4];
        s += digits[b & 15];
    }
    return s;
}

inline std::string Run(CreateQXClassInstanceFn create, const std::filesystem::path& work) {
    namespace fs = std::filesystem;
    const fs::path device = work / "Database" / "VID7a3d_PID006a";
    fs::create_directories(device);
    for (const char* f : {"__DeviceInfo.xml", "__default.xml"})
        fs::copy_file(test_support::ShippedDeviceFolder() / f, device / f, fs::copy_options::overwrite_existing);
    test_support::WriteFile((device / "numbers.xml").string(),
                            "<V><Software><Software X_Rate=\"1f\" Y_Rate=\"0x1ff\" EnableXYFlag=\"0x12345678\"/>"
                            "</Software><Profile1><HardWareDesc Dummy=\"abcdefg\" DPI=\"3\"/><Buttons>"
                            "<B FunID=\"0x9\" FunExt=\"0x61\"><K UsageID=\"0x04\" Usage=\"0x80\"/></B>"
                            "</Buttons></Profile1></V>");
    test_support::WriteFile((device / "swapped.xml").string(),
                            "<V><Software><Software X_Rate=\"0x2\"/></Software>"
                            "<Profile2><HardWareDesc DPI=\"0x2\"/><Buttons/></Profile2>"
                            "<Profile1><HardWareDesc DPI=\"0x2\"/><Buttons/></Profile1></V>");
    test_support::ScopedCurrentDir cwd(work);

    std::unique_ptr<Vantor> vantor(create(0x7A3D, 0x006A));
    if (!vantor) return "no object";
    std::string out;
    auto line = [&](const char* label, int result, const ProfileRecord& r) {
        out += std::string(label) + " " + std::to_string(result) + " " + Hex(r) + "\n";
    };
    auto name = [](const char* text) { return reinterpret_cast<unsigned char*>(const_cast<char*>(text)); };

    ProfileRecord work_record;
    line("info", vantor->LoadVantorInfo(work_record.data()), work_record);
    const ProfileRecord device_only = work_record;
    line("default", vantor->LoadVantorProfile(work_record.data(), name("__default.xml")), work_record);
    line("applied", ApplyButtonMap(work_record.data()), work_record);

    // An edit in slot order, saved in file order and read back.
    work_record.bytes[record::kXRate] = 7;
    work_record.bytes[record::ProfileOffset(work_record.data(), 2) + record::kDPI] = 3;
    work_record.bytes[record::KeyOffset(work_record.data(), 4, 5, 15)] = 0x2c;
    ProfileRecord copy = work_record;
    RevertButtonMap(copy.data());
    line("saved", vantor->SaveVantorProfile(copy.data(), name("__working.xml")), copy);
    ProfileRecord reloaded = device_only;
    line("working", vantor->LoadVantorProfile(reloaded.data(), name("__working.xml")), reloaded);

    ProfileRecord numbers = device_only;
    line("numbers", vantor->LoadVantorProfile(numbers.data(), name("numbers.xml")), numbers);
    ProfileRecord swapped = device_only;
    line("swapped", vantor->LoadVantorProfile(swapped.data(), name("swapped.xml")), swapped);

    std::vector<unsigned char> list(kProfileNameSize * kProfileNameSlots, 0xEE);
    const int listed = vantor->GetAllProfileName(reloaded.data(), list.data());
    std::vector<std::string> names;
    for (int i = 0; list[kProfileNameSize * i]; ++i) names.emplace_back(reinterpret_cast<char*>(&list[kProfileNameSize * i]));
    std::sort(names.begin(), names.end());
    out += "names " + std::to_string(listed);
    for (const std::string& n : names) out += " " + n;
    out += "\n";
    return out;
}

}  // namespace record_scenario
