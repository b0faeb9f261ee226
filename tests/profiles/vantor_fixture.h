// The profile object on a device folder of its own in a temporary folder
// (the working folder while a test runs), with the shipped device data and
// the device information loaded into rec.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "profile_store/profiles/vantor.h"
#include "profile_store/record/profile_record.h"
#include "tests/test_support.h"

class VantorFolder : public ::testing::Test {
protected:
    test_support::TempDir dir;
    std::filesystem::path device = dir.path() / "Database" / "VID7a3d_PID006a";
    std::unique_ptr<test_support::ScopedCurrentDir> cwd;
    std::unique_ptr<Vantor> vantor;
    ProfileRecord rec;

    void SetUp() override {
        std::filesystem::create_directories(device);
        for (const char* f : {"__DeviceInfo.xml", "__default.xml"})
            std::filesystem::copy_file(test_support::ShippedDeviceFolder() / f, device / f);
        cwd = std::make_unique<test_support::ScopedCurrentDir>(dir.path());
        vantor.reset(CreateQXClassInstance(0x7A3D, 0x006A));
        ASSERT_NE(vantor, nullptr);
        ASSERT_EQ(vantor->LoadVantorInfo(rec.data()), 1);
    }
    void TearDown() override {
        vantor.reset();
        cwd.reset();
    }
};
