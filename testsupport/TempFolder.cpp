#include "TempFolder.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <fstream>
#include <iterator>
#include <random>

TempFolder::TempFolder() {
    // Tests run as parallel processes: the test's own name and a random number keep folders
    // apart. A parameterised test's name holds '/', which must not make a subfolder.
    const auto* info = ::testing::UnitTest::GetInstance()->current_test_info();
    const auto ticks = std::random_device()();
    std::string name =
        std::string("marlowen-") + info->test_suite_name() + "-" + info->name() + "-" + std::to_string(ticks);
    std::replace(name.begin(), name.end(), '/', '-');
    folder_ = std::filesystem::temp_directory_path() / name;
    std::filesystem::create_directories(folder_);
}

TempFolder::~TempFolder() {
    std::error_code ignored;
    std::filesystem::remove_all(folder_, ignored);
}

std::string TempFolder::File(const std::string& name) const { return (folder_ / name).string(); }

void WriteFileBytes(const std::string& path, const std::string& bytes) {
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out.write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    ASSERT_TRUE(out.good()) << path;
}

std::string ReadFileBytes(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}
