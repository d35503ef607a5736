// Unit tests that read files work in a fresh current folder of their own, as the program does.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>
#include <string_view>

namespace vestalo::testing {

class InFolder : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/vestalo-unit-XXXXXX";
    Folder = mkdtemp(pattern);
    Previous = std::filesystem::current_path();
    std::filesystem::current_path(Folder);
  }
  void TearDown() override {
    std::filesystem::current_path(Previous);
    std::filesystem::remove_all(Folder);
  }
  // Writes a file, making the folders on the way; returns its name.
  static std::string Write(const std::string& name, std::string_view bytes) {
    if (std::filesystem::path(name).has_parent_path())
      std::filesystem::create_directories(std::filesystem::path(name).parent_path());
    std::ofstream(name, std::ios::binary)
        .write(bytes.data(), static_cast<std::streamsize>(bytes.size()));
    return name;
  }
  std::string Folder;
  std::filesystem::path Previous;
};

}  // namespace vestalo::testing
