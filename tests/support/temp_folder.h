// A fresh folder for one test, removed with everything in it when the test ends.
// It lies under $QZ_TEST_TMP (set by CTest) or the system temp folder.
#pragma once

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include <gtest/gtest.h>

class TempFolder {
public:
    TempFolder() {
        const char* base = std::getenv("QZ_TEST_TMP");
        std::filesystem::path root = base && *base ? base : std::filesystem::temp_directory_path().string();
        std::filesystem::create_directories(root);
        std::string pattern = (root / "qzXXXXXX").string();
        if (!mkdtemp(pattern.data())) ADD_FAILURE() << "cannot create a temp folder under " << root;
        path_ = pattern;
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(path_, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    // The folder, without a trailing separator.
    const std::string& Path() const { return path_; }
    std::string operator/(const std::string& name) const { return path_ + "/" + name; }

    // Writes a file below the folder and returns its full path.
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::string full = *this / name;
        std::ofstream(full, std::ios::binary) << bytes;
        return full;
    }
    static std::string Read(const std::string& full) {
        std::ifstream in(full, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::string path_;
};
