// A real folder for file tests, made fresh under /tmp and removed with all
// it holds when the test ends.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <string_view>

namespace lcr::testing {

class TempFolder {
public:
    TempFolder() {
        char pattern[] = "/tmp/lcr_test_XXXXXX";
        const char* made = ::mkdtemp(pattern);
        EXPECT_NE(made, nullptr);
        m_path = made ? made : "";
    }
    ~TempFolder() {
        std::error_code ignored;
        std::filesystem::remove_all(m_path, ignored);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    // Writes `bytes` to the file `name` (bytes as the file system takes them)
    // inside the folder and gives its path.
    std::filesystem::path write(std::string_view name, std::string_view bytes) const {
        const std::filesystem::path file = m_path / std::string(name);
        std::ofstream(file, std::ios::binary)
            .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
        return file;
    }

private:
    std::filesystem::path m_path;
};

inline std::string readBytes(const std::filesystem::path& file) {
    std::ifstream in(file, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

}  // namespace lcr::testing
