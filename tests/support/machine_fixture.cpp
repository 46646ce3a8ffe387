#include "support/machine_fixture.h"

#include <algorithm>
#include <cstdio>

#include "basic/keyboard.h"
#include "console/startup.h"
#include "output/edition.h"
#include "store/data_file.h"
#include "support/fake_platform.h"
#include "support/faulty_disk.h"
#include "support/file_bytes.h"

namespace cm::test {

void resetMachineState() {
  powerOn(kFullEdition);
  basic::resetKeyboard();
}

void MachineTest::SetUp() {
  previous_ = std::filesystem::current_path();
  std::string pattern = (std::filesystem::temp_directory_path() / "coffee-test-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  folder_ = pattern;
  std::filesystem::current_path(folder_);
  resetMachineState();
  fake::resetPlatform(fake::christmasEve());
  planFailingSteps("");
}

void MachineTest::TearDown() {
  if (capturing_) finishCapture();
  std::filesystem::current_path(previous_);
  std::filesystem::remove_all(folder_);
}

void MachineTest::writeFile(const std::string& name, const std::string& bytes) const {
  writeBytes(folder_ / name, bytes);
}

std::string MachineTest::readFile(const std::string& name) const { return readBytes(folder_ / name); }

bool MachineTest::exists(const std::string& name) const { return std::filesystem::exists(folder_ / name); }

std::vector<std::string> MachineTest::folderContents() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void MachineTest::setLevels(int water, int powder, int beans) const {
  writeFile(kWaterFile, std::to_string(water));
  writeFile(kPowderFile, std::to_string(powder));
  writeFile(kBeanFile, std::to_string(beans));
}

void MachineTest::startCapture() {
  std::fflush(stdout);
  ::testing::internal::CaptureStdout();
  capturing_ = true;
}

std::string MachineTest::finishCapture() {
  std::fflush(stdout);
  capturing_ = false;
  return ::testing::internal::GetCapturedStdout();
}

}  // namespace cm::test
