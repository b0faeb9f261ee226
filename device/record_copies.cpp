#include "device/record_copies.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <system_error>

#include "profile_store/profiles/vantor.h"

using namespace record;

namespace record_copies {
namespace {

constexpr std::size_t kStampLength = 15;  // YYYY-MM-DD-HHMM
constexpr char kExtension[] = ".xml";

bool SameName(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

bool AllDigits(const std::string& s) {
    return !s.empty() && std::all_of(s.begin(), s.end(), [](char c) { return c >= '0' && c <= '9'; });
}

// The stamp and number of a copy's file name, or false for any other file.
bool ParseCopy(const std::string& prefix, const std::string& file, std::string& stamp, int& number) {
    const std::string head = prefix + "-";
    const std::size_t ext = sizeof kExtension - 1;
    if (file.size() < head.size() + kStampLength + ext || file.compare(0, head.size(), head) != 0 ||
        file.compare(file.size() - ext, ext, kExtension) != 0)
        return false;
    stamp = file.substr(head.size(), kStampLength);
    for (std::size_t i = 0; i < kStampLength; ++i) {
        const bool dash = i == 4 || i == 7 || i == 10;
        if (dash ? stamp[i] != '-' : !std::isdigit(static_cast<unsigned char>(stamp[i]))) return false;
    }
    const std::string rest = file.substr(head.size() + kStampLength, file.size() - ext - head.size() - kStampLength);
    number = 1;
    if (rest.empty()) return true;
    if (rest[0] != '-' || !AllDigits(rest.substr(1)) || rest.size() > 4) return false;
    number = std::stoi(rest.substr(1));
    return true;
}

std::filesystem::path DeviceFolder(const ProfileRecord& record) {
    char name[32];
    std::snprintf(name, sizeof name, "VID%.4x_PID%.4x", Get16(record.data(), kVendorID),
                  Get16(record.data(), kProductID));
    std::error_code ec;
    return std::filesystem::current_path(ec) / "Database" / name;
}

}  // namespace

std::string LocalStamp() {
    const std::time_t now = std::time(nullptr);
    std::tm local{};
#ifdef _WIN32
    localtime_s(&local, &now);
#else
    localtime_r(&now, &local);
#endif
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d-%H%M", &local);
    return text;
}

std::string CopyName(const std::string& prefix, const std::string& stamp, const std::vector<std::string>& files) {
    const std::string base = prefix + "-" + stamp;
    const auto taken = [&](const std::string& name) {
        return std::any_of(files.begin(), files.end(), [&](const std::string& f) { return SameName(f, name + kExtension); });
    };
    if (!taken(base)) return base;
    for (int n = 2;; ++n) {
        const std::string name = base + "-" + std::to_string(n);
        if (!taken(name)) return name;
    }
}

std::vector<std::string> CopiesNewestFirst(const std::string& prefix, const std::vector<std::string>& files) {
    struct Copy {
        std::string stamp;
        int number;
        std::string file;
    };
    std::vector<Copy> copies;
    for (const std::string& f : files) {
        Copy c{"", 0, f};
        if (ParseCopy(prefix, f, c.stamp, c.number)) copies.push_back(c);
    }
    std::sort(copies.begin(), copies.end(), [](const Copy& a, const Copy& b) {
        return a.stamp != b.stamp ? a.stamp > b.stamp : a.number > b.number;
    });
    std::vector<std::string> out;
    for (const Copy& c : copies) out.push_back(c.file);
    return out;
}

std::vector<std::string> FolderFiles(Vantor& profiles, const ProfileRecord& record) {
    ProfileRecord r = record;
    unsigned char list[kProfileNameSize * kProfileNameSlots] = {};
    profiles.GetAllProfileName(r.data(), list);
    std::vector<std::string> files;
    for (int i = 0; i < kProfileNameSlots && list[kProfileNameSize * i]; ++i) {
        const char* slot = reinterpret_cast<const char*>(list + kProfileNameSize * i);
        files.emplace_back(slot, strnlen(slot, kProfileNameSize));
    }
    return files;
}

std::string SaveCopy(Vantor& profiles, const ProfileRecord& record, const std::string& prefix,
                     const std::string& stamp) {
    const std::string name = CopyName(prefix, stamp, FolderFiles(profiles, record));
    ProfileRecord fileOrder = record;
    RevertButtonMap(fileOrder.data());
    std::string file = name + kExtension;
    if (!profiles.SaveVantorProfile(fileOrder.data(), reinterpret_cast<unsigned char*>(file.data()))) return "";
    return name;
}

void PruneCopies(Vantor& profiles, const ProfileRecord& record, const std::string& prefix, std::size_t keep) {
    const std::vector<std::string> copies = CopiesNewestFirst(prefix, FolderFiles(profiles, record));
    const std::filesystem::path folder = DeviceFolder(record);
    for (std::size_t i = keep; i < copies.size(); ++i) {
        std::error_code ec;
        std::filesystem::remove(folder / copies[i], ec);
    }
}

}  // namespace record_copies
