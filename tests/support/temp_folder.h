#pragma once
// Each test works in a fresh temporary folder as the current directory.

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

class TempFolder {
public:
    TempFolder();  // creates the folder and makes it current
    ~TempFolder(); // goes back and removes it
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return path_; }

private:
    std::filesystem::path path_;
    std::filesystem::path previous_;
};

// Reads and writes whole files in the current folder, for setting up and checking.
std::string ReadFile(const std::filesystem::path& path);
void WriteFile(const std::filesystem::path& path, const std::string& bytes);

class InTempFolder : public ::testing::Test {
protected:
    TempFolder folder;
};
