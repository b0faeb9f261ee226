// Runs the record path natively and keeps its output for the Windows build,
// which runs the same path through Silvex.dll and compares.
#include <gtest/gtest.h>

#include <fstream>

#include "tests/profiles/record_scenario.h"

TEST(RecordScenario, RunsAndIsKeptForTheWindowsBuild) {
    test_support::TempDir dir;
    const std::string out = record_scenario::Run(CreateQXClassInstance, dir.path());
    // Every operation succeeded and the working file reads back what was saved.
    EXPECT_NE(out.find("info 1 "), std::string::npos);
    EXPECT_NE(out.find("working 1 "), std::string::npos);
    EXPECT_NE(out.find("numbers 1 "), std::string::npos);
    EXPECT_NE(out.find("names 1 __DeviceInfo.xml __default.xml __working.xml numbers.xml swapped.xml"),
              std::string::npos);
    std::ofstream(KORELLE_RECORD_DUMP, std::ios::binary) << out;
}
