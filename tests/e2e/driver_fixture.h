#pragma once
// The firmware driver as a kernel service for one suite of tests: installed and started
// once, the simulated BIOS back to its factory state before each test, and the service
// with its state gone when the suite ends.
#include <windows.h>

#include <gtest/gtest.h>

#include "standins/firmware/tool/fwext_service.h"
#include "tests/e2e/win32_test_support.h"

namespace vantora::testing {

class DriverInstalled : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        installed() = fwext::install(programPath("fwext.sys"));
        if (installed() == ERROR_SUCCESS) installed() = fwext::start();
    }
    static void TearDownTestSuite() { EXPECT_EQ(DWORD(ERROR_SUCCESS), fwext::uninstall()); }

    void SetUp() override {
        ASSERT_EQ(DWORD(ERROR_SUCCESS), installed()) << "installing or starting the driver service";
        ASSERT_EQ(DWORD(ERROR_SUCCESS), fwext::resetState()) << "resetting the simulated BIOS";
    }

private:
    static DWORD& installed() {
        static DWORD result = ERROR_INVALID_FUNCTION;
        return result;
    }
};

}  // namespace vantora::testing
