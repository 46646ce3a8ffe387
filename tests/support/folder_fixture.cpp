#include "support/folder_fixture.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "store/journal.h"
#include "support/faulty_disk.h"
#include "support/file_bytes.h"

namespace cm::test {

void FolderTest::SetUp() {
  previous_ = std::filesystem::current_path();
  std::string pattern = (std::filesystem::temp_directory_path() / "coffee-test-XXXXXX").string();
  ASSERT_NE(mkdtemp(pattern.data()), nullptr);
  folder_ = pattern;
  std::filesystem::current_path(folder_);
  resetFileFailure();
  planFailingSteps("");
}

void FolderTest::TearDown() {
  if (capturing_) finishCapture();
  std::filesystem::current_path(previous_);
  std::filesystem::remove_all(folder_);
}

void FolderTest::writeFile(const std::string& name, const std::string& bytes) const {
  writeBytes(folder_ / name, bytes);
}

std::string FolderTest::readFile(const std::string& name) const { return readBytes(folder_ / name); }

bool FolderTest::exists(const std::string& name) const { return std::filesystem::exists(folder_ / name); }

std::vector<std::string> FolderTest::folderContents() const {
  std::vector<std::string> names;
  for (const auto& entry : std::filesystem::directory_iterator(folder_)) {
    names.push_back(entry.path().filename().string());
  }
  std::sort(names.begin(), names.end());
  return names;
}

void FolderTest::startCapture() {
  std::fflush(stdout);
  ::testing::internal::CaptureStdout();
  capturing_ = true;
}

std::string FolderTest::finishCapture() {
  std::fflush(stdout);
  capturing_ = false;
  return ::testing::internal::GetCapturedStdout();
}

}  // namespace cm::test
