// A fresh temporary folder, the current directory while the object lives: tests never leave the game's files behind.
#pragma once

#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <random>
#include <stdexcept>
#include <string>
#include <vector>

namespace kelvrin::test {

// A file name the game writes (UTF-8) as a path: a plain std::string would be read in Windows' ANSI code page.
inline std::filesystem::path pathOf(const std::string& name) {
    return std::filesystem::path(std::u8string(name.begin(), name.end()));
}

// The names of the files in a folder (UTF-8 on every system), sorted.
inline std::vector<std::string> filesIn(const std::filesystem::path& folder) {
    std::vector<std::string> names;
    for (const auto& entry : std::filesystem::directory_iterator(folder)) {
        const std::u8string name = entry.path().filename().u8string();
        names.emplace_back(name.begin(), name.end());
    }
    std::sort(names.begin(), names.end());
    return names;
}

class TempFolder {
public:
    TempFolder() : previous_(std::filesystem::current_path()) {
        // A new folder of a random name (create_directory is false when a test beside this one took it).
        std::random_device random;
        for (int attempt = 0;; ++attempt) {
            path_ = std::filesystem::temp_directory_path() / ("kelvrin-" + std::to_string(random()));
            if (std::filesystem::create_directory(path_)) break;
            if (attempt == 100) throw std::runtime_error("no new temporary folder");
        }
        std::filesystem::current_path(path_);
    }
    ~TempFolder() {
        std::error_code error;
        std::filesystem::current_path(previous_, error);
        std::filesystem::remove_all(path_, error);
    }
    TempFolder(const TempFolder&) = delete;
    TempFolder& operator=(const TempFolder&) = delete;
    const std::filesystem::path& path() const { return path_; }
    std::vector<std::string> files() const { return filesIn(path_); }

private:
    std::filesystem::path previous_, path_;
};

inline std::vector<unsigned char> readBytes(const std::string& path) {
    std::ifstream in(pathOf(path), std::ios::binary);
    return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

inline void writeBytes(const std::string& path, const std::vector<unsigned char>& bytes) {
    std::ofstream out(pathOf(path), std::ios::binary | std::ios::trunc);
    out.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
}

}  // namespace kelvrin::test
