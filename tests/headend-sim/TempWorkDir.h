#pragma once
// A fresh temporary directory that is the working directory for the life of the object: serial ports are
// found as COM<n> in the working directory.
#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <string>
#include <unistd.h>

namespace simtest {

class TempWorkDir {
public:
    TempWorkDir() {
        std::string pattern = (std::filesystem::temp_directory_path() / "kavrin-serial-XXXXXX").string();
        if (::mkdtemp(pattern.data())) m_Dir = pattern;
        m_Previous = std::filesystem::current_path();
        std::filesystem::current_path(m_Dir);
    }
    ~TempWorkDir() {
        std::error_code ec;
        std::filesystem::current_path(m_Previous, ec);
        std::filesystem::remove_all(m_Dir, ec);
    }
    const std::filesystem::path& path() const { return m_Dir; }

private:
    std::filesystem::path m_Dir;
    std::filesystem::path m_Previous;
};

// Milliseconds that `f` took.
template <class F>
long long elapsedMs(F&& f) {
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start).count();
}

}  // namespace simtest
