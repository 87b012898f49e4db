#pragma once
// Runs a test inside a fresh temporary directory, since the settings file always lives
// in the current working directory.
#include <QTemporaryDir>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <iterator>
#include <string>

namespace kelvanor::test {

class InSettingDir : public ::testing::Test {
 protected:
  void SetUp() override {
    ASSERT_TRUE(dir_.isValid());
    previous_ = std::filesystem::current_path();
    std::filesystem::current_path(Dir());
  }
  void TearDown() override { std::filesystem::current_path(previous_); }

  static void WriteFile(const std::string& bytes, const char* name = "setting.xml") {
    std::ofstream(name, std::ios::binary) << bytes;
  }
  static std::string ReadFile(const char* name = "setting.xml") {
    std::ifstream in(name, std::ios::binary);
    return {std::istreambuf_iterator<char>(in), {}};
  }
  std::filesystem::path Dir() const { return dir_.path().toStdString(); }

 private:
  QTemporaryDir dir_;
  std::filesystem::path previous_;
};

}  // namespace kelvanor::test
