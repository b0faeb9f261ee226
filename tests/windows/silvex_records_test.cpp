// The record path run through Silvex.dll's exports under Wine must give the
// records the native build gave, byte for byte.
#include <gtest/gtest.h>

#include <windows.h>

#include <fstream>
#include <sstream>

#include "tests/profiles/record_scenario.h"

namespace {

std::string NativeOutput() {
    std::string path = std::string("Z:") + KORELLE_NATIVE_RECORD_DUMP;
    std::ifstream in(path, std::ios::binary);
    std::stringstream s;
    s << in.rdbuf();
    return s.str();
}

TEST(SilvexRecords, MatchTheNativeBuildByteForByte) {
    const std::string native = NativeOutput();
    ASSERT_FALSE(native.empty()) << "no native output at " << KORELLE_NATIVE_RECORD_DUMP
                                 << ": run the native suites first";
    HMODULE silvex = LoadLibraryA((test_support::ProgramFolder() + "\\Silvex.dll").c_str());
    ASSERT_NE(silvex, nullptr);
    auto create = reinterpret_cast<CreateQXClassInstanceFn>(
        reinterpret_cast<void*>(GetProcAddress(silvex, "CreateQXClassInstance")));
    ASSERT_NE(create, nullptr);
    test_support::TempDir dir;
    const std::string windows = record_scenario::Run(create, dir.path());
    FreeLibrary(silvex);

    std::istringstream a(native), b(windows);
    std::string la, lb;
    while (std::getline(a, la)) {
        ASSERT_TRUE(std::getline(b, lb)) << "missing: " << la.substr(0, 12);
        EXPECT_EQ(la, lb);
    }
    EXPECT_FALSE(std::getline(b, lb)) << "extra: " << lb.substr(0, 12);
}

}  // namespace
