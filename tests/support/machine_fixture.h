// A machine powered up in a fresh, empty working folder for every test.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <string>

namespace cm::test {

class MachineTest : public ::testing::Test {
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

  // Sets the three level files.
  void setLevels(int water, int powder, int beans) const;

  void startCapture();
  std::string finishCapture();

  std::filesystem::path folder_;

 private:
  std::filesystem::path previous_;
  bool capturing_ = false;
};

// Every register, schedule and counter back to its power-on value.
void resetMachineState();

}  // namespace cm::test
