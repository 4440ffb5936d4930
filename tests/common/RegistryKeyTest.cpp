#include "common/RegistryKey.h"

#include <gtest/gtest.h>

#include <cstdlib>
#include <string>

#include "platform/posix/core/FaultInjection.h"
#include "tests/platform/TempDirectorySupport.h"

namespace {

const char kFirst[] = "Software\\Host\\First";
const char kSecond[] = "Software\\Host\\Second";

class RegistryKeyTest : public ::testing::Test {
protected:
    void SetUp() override {
        setenv("MORVEX_REGISTRY", directory.PathOf("registry.reg").c_str(), 1);
        mvx::ClearFaults();
    }
    void TearDown() override { mvx::ClearFaults(); }

    static LONG Create(CRegistryKey& key, const char* path, DWORD* disposition = nullptr) {
        return key.Create(HKEY_CURRENT_USER, path, nullptr, 0, KEY_ALL_ACCESS, nullptr,
                          disposition);
    }

    // The value as a separate reader sees it, or ~0 when it cannot be read.
    static DWORD ValueIn(const char* path, const char* valueName) {
        CRegistryKey key;
        DWORD value = ~0u;
        if (key.Open(HKEY_CURRENT_USER, path, KEY_READ) == ERROR_SUCCESS)
            key.QueryValue(valueName, value);
        return value;
    }

    TempDirectory directory;
};

TEST_F(RegistryKeyTest, CreateReportsWhetherTheKeyIsNew) {
    CRegistryKey key;
    DWORD disposition = 0;
    ASSERT_EQ(Create(key, kFirst, &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_CREATED_NEW_KEY));
    ASSERT_EQ(Create(key, kFirst, &disposition), ERROR_SUCCESS);
    EXPECT_EQ(disposition, static_cast<DWORD>(REG_OPENED_EXISTING_KEY));
    EXPECT_EQ(mvx::CallCount("RegCloseKey"), 1u);
}

TEST_F(RegistryKeyTest, ValuesAreStoredAsFourByteNumbers) {
    {
        CRegistryKey key;
        ASSERT_EQ(Create(key, kFirst), ERROR_SUCCESS);
        EXPECT_EQ(key.SetValue("Number", 0x12345678), ERROR_SUCCESS);
        EXPECT_EQ(key.SetBool("On", true), ERROR_SUCCESS);
        EXPECT_EQ(key.SetBool("Off", false), ERROR_SUCCESS);
    }
    CRegistryKey key;
    ASSERT_EQ(key.Open(HKEY_CURRENT_USER, kFirst, KEY_READ), ERROR_SUCCESS);
    DWORD type = 0, value = 0, size = sizeof(value);
    ASSERT_EQ(RegQueryValueExA(key.Handle(), "Number", nullptr, &type,
                               reinterpret_cast<BYTE*>(&value), &size),
              ERROR_SUCCESS);
    EXPECT_EQ(type, static_cast<DWORD>(REG_DWORD));
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(value, 0x12345678u);
    EXPECT_EQ(ValueIn(kFirst, "On"), 1u);
    EXPECT_EQ(ValueIn(kFirst, "Off"), 0u);
}

TEST_F(RegistryKeyTest, FailedCreateKeepsTheKeyHeld) {
    CRegistryKey key;
    ASSERT_EQ(Create(key, kFirst), ERROR_SUCCESS);
    HKEY held = key.Handle();
    mvx::InjectFault("RegCreateKeyExA", 1, ERROR_ACCESS_DENIED);
    EXPECT_EQ(Create(key, kSecond), ERROR_ACCESS_DENIED);
    EXPECT_EQ(key.Handle(), held);
    EXPECT_EQ(mvx::CallCount("RegCloseKey"), 0u);
    EXPECT_EQ(key.SetValue("Value", 9), ERROR_SUCCESS);
    EXPECT_EQ(ValueIn(kFirst, "Value"), 9u);
}

TEST_F(RegistryKeyTest, FailedOpenKeepsTheKeyHeld) {
    CRegistryKey key;
    ASSERT_EQ(Create(key, kFirst), ERROR_SUCCESS);
    HKEY held = key.Handle();
    EXPECT_EQ(key.Open(HKEY_CURRENT_USER, "Software\\Host\\Missing", KEY_ALL_ACCESS),
              ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key.Handle(), held);
    EXPECT_EQ(key.SetValue("Value", 3), ERROR_SUCCESS);
    EXPECT_EQ(ValueIn(kFirst, "Value"), 3u);
}

TEST_F(RegistryKeyTest, SuccessfulOpenHoldsTheNewKeyAndReportsClosingTheOld) {
    CRegistryKey second;
    ASSERT_EQ(Create(second, kSecond), ERROR_SUCCESS);
    CRegistryKey key;
    ASSERT_EQ(Create(key, kFirst), ERROR_SUCCESS);
    HKEY old = key.Handle();
    mvx::InjectFault("RegCloseKey", 1, ERROR_INVALID_HANDLE);
    EXPECT_EQ(key.Open(HKEY_CURRENT_USER, kSecond, KEY_ALL_ACCESS), ERROR_INVALID_HANDLE);
    EXPECT_NE(key.Handle(), old);
    EXPECT_EQ(key.SetValue("Value", 5), ERROR_SUCCESS);
    EXPECT_EQ(ValueIn(kSecond, "Value"), 5u);
    EXPECT_EQ(RegCloseKey(old), ERROR_SUCCESS);  // what the refused close left behind
}

TEST_F(RegistryKeyTest, CloseReleasesOnceAndHoldsNothingAfterAFailure) {
    CRegistryKey key;
    EXPECT_EQ(key.Close(), ERROR_SUCCESS);
    EXPECT_EQ(mvx::CallCount("RegCloseKey"), 0u);
    ASSERT_EQ(Create(key, kFirst), ERROR_SUCCESS);
    HKEY held = key.Handle();
    mvx::InjectFault("RegCloseKey", 1, ERROR_INVALID_HANDLE);
    EXPECT_EQ(key.Close(), ERROR_INVALID_HANDLE);
    EXPECT_EQ(key.Handle(), nullptr);
    EXPECT_EQ(key.Close(), ERROR_SUCCESS);
    EXPECT_EQ(mvx::CallCount("RegCloseKey"), 1u);
    EXPECT_EQ(RegCloseKey(held), ERROR_SUCCESS);
}

TEST_F(RegistryKeyTest, QueryBoolKeepsTheSettingWhenTheValueIsMissing) {
    CRegistryKey key;
    ASSERT_EQ(Create(key, kFirst), ERROR_SUCCESS);
    bool on = true, off = false;
    EXPECT_EQ(key.QueryBool("Missing", on), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(key.QueryBool("Missing", off), ERROR_FILE_NOT_FOUND);
    EXPECT_TRUE(on);
    EXPECT_FALSE(off);
}

TEST_F(RegistryKeyTest, QueryBoolTakesAnyNonZeroAsTrue) {
    CRegistryKey key;
    ASSERT_EQ(Create(key, kFirst), ERROR_SUCCESS);
    ASSERT_EQ(key.SetValue("Seven", 7), ERROR_SUCCESS);
    ASSERT_EQ(key.SetValue("Zero", 0), ERROR_SUCCESS);
    bool flag = false;
    EXPECT_EQ(key.QueryBool("Seven", flag), ERROR_SUCCESS);
    EXPECT_TRUE(flag);
    EXPECT_EQ(key.QueryBool("Zero", flag), ERROR_SUCCESS);
    EXPECT_FALSE(flag);
}

TEST_F(RegistryKeyTest, FailedQueryLeavesTheValueAlone) {
    CRegistryKey key;
    ASSERT_EQ(Create(key, kFirst), ERROR_SUCCESS);
    const BYTE eight[8] = {1, 2, 3, 4, 5, 6, 7, 8};
    ASSERT_EQ(RegSetValueExA(key.Handle(), "Wide", 0, REG_BINARY, eight, sizeof(eight)),
              ERROR_SUCCESS);
    DWORD value = 42;
    EXPECT_EQ(key.QueryValue("Wide", value), ERROR_MORE_DATA);
    EXPECT_EQ(value, 42u);
    bool flag = false;
    EXPECT_EQ(key.QueryBool("Wide", flag), ERROR_MORE_DATA);
    EXPECT_FALSE(flag);

    ASSERT_EQ(key.SetValue("Number", 8), ERROR_SUCCESS);
    mvx::InjectFault("RegQueryValueExA", 1, ERROR_ACCESS_DENIED);
    EXPECT_EQ(key.QueryValue("Number", value), ERROR_ACCESS_DENIED);
    EXPECT_EQ(value, 42u);
    EXPECT_EQ(key.QueryValue("Number", value), ERROR_SUCCESS);
    EXPECT_EQ(value, 8u);
}

TEST_F(RegistryKeyTest, RefusedWriteIsReported) {
    CRegistryKey key;
    ASSERT_EQ(Create(key, kFirst), ERROR_SUCCESS);
    mvx::InjectFault("RegSetValueExA", 1, ERROR_ACCESS_DENIED);
    EXPECT_EQ(key.SetBool("On", true), ERROR_ACCESS_DENIED);
    EXPECT_EQ(ValueIn(kFirst, "On"), ~0u);
}

}  // namespace
