#include "emulator/default_record.h"

#include <filesystem>
#include <memory>

#include "device/protocol.h"
#include "profile_store/profiles/vantor.h"

namespace emulator {

bool LoadDefaultRecord(const std::string& programFolder, std::vector<std::uint8_t>& out, std::string& error) {
    namespace fs = std::filesystem;
    std::error_code ec;
    const fs::path saved = fs::current_path(ec);
    if (!ec) fs::current_path(programFolder, ec);
    if (ec) {
        error = programFolder + ": cannot be entered";
        return false;
    }
    std::vector<std::uint8_t> record(protocol::kRecordSize);
    unsigned char name[] = "__default.xml";
    bool ok = false;
    {
        std::unique_ptr<Vantor> vantor(CreateQXClassInstance(protocol::kVendorId, protocol::kProductId));
        if (!vantor)
            error = "the profile library cannot create its profile object";
        else if (!vantor->LoadVantorInfo(record.data()))
            error = programFolder + ": the device description cannot be read";
        else if (!vantor->LoadVantorProfile(record.data(), name))
            error = programFolder + ": \"__default.xml\" cannot be read";
        else
            ok = true;
    }
    fs::current_path(saved, ec);
    if (ok) out = std::move(record);
    return ok;
}

}  // namespace emulator
