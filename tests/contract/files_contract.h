#pragma once
// What the programs rely on from FileSystemPort, as one set of cases for every
// implementation: the fake natively, the Win32 adapter on a real folder under Wine.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>

#include "common/ports/file_system.h"

namespace vantora::contract {

class FilesTarget {
public:
    virtual ~FilesTarget() = default;
    virtual FileSystemPort& port() = 0;
    // An empty folder the case may fill; gone again after the case.
    virtual std::string scratch() = 0;
    virtual void makeFile(const std::string& path, bool hidden) = 0;
    virtual void makeFolder(const std::string& path) = 0;
    // Makes the folder the current directory until the case ends.
    virtual void enter(const std::string& folder) = 0;
    // A bare name of a file along the search path, and where it lies.
    virtual std::pair<std::string, std::string> fileOnSearchPath() = 0;
};

using FilesTargetFactory = std::unique_ptr<FilesTarget> (*)();

class FilesContract : public ::testing::TestWithParam<FilesTargetFactory> {
protected:
    void SetUp() override { target_ = GetParam()(); }
    FilesTarget& target() { return *target_; }

private:
    std::unique_ptr<FilesTarget> target_;
};

}  // namespace vantora::contract
