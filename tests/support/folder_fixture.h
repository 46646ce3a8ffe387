// A fresh, empty working folder for every test, and nothing else: the
// storage engine's tests run on it alone (the machine's on MachineTest).
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>
#include <vector>

namespace cm::test {

class FolderTest : public ::testing::Test {
 protected:
  void SetUp() override;
  void TearDown() override;

  // Writes a data file with exactly these bytes.
  void writeFile(const std::string& name, const std::string& bytes) const;
  // The file's bytes; "<missing>" when it does not exist.
  std::string readFile(const std::string& name) const;
  bool exists(const std::string& name) const;
  // The names in the working folder, sorted.
  std::vector<std::string> folderContents() const;

  void startCapture();
  std::string finishCapture();

  std::filesystem::path folder_;

 private:
  std::filesystem::path previous_;
  bool capturing_ = false;
};

}  // namespace cm::test
