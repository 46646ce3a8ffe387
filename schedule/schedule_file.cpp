#include "schedule/schedule_file.h"

#include "schedule/booking_text.h"
#include "store/journal.h"

namespace cm {

namespace {

FileResult notUnderstood(const char* path, const TextFault& fault) {
  return FileError{path, 0, FileAccess::read, fault.describe()};
}

}  // namespace

bool loadScheduleNumbers(const char* path, std::size_t width, std::vector<int>& numbers, FileIdentity& loadedFrom,
                         std::optional<FileError>& textFault) {
  // The identity before the read: a change in between loads once more later.
  const FileIdentity identity = fileIdentity(path);
  std::optional<std::string> bytes;
  if (readDataFile(path, bytes, ReadFor::look)) return false;
  loadedFrom = identity;
  if (auto fault = bookingNumbers(bytes.value_or(""), width, numbers)) {
    textFault = notUnderstood(path, *fault);
    return false;
  }
  return true;
}

bool writeScheduleNumbers(const char* path, const std::vector<int>& numbers) {
  return changeFiles({path}, [&](std::span<FileChange> files) {
    files[0].after = numberLines(numbers);
    return FileResult();
  });
}

bool appendScheduleRecord(const char* path, const std::vector<int>& record) {
  return changeFiles({path}, [&](std::span<FileChange> files) -> FileResult {
    std::vector<int> numbers;
    if (auto fault = bookingNumbers(files[0].before.value_or(""), record.size(), numbers)) {
      return notUnderstood(path, *fault);
    }
    numbers.insert(numbers.end(), record.begin(), record.end());
    files[0].after = numberLines(numbers);
    return std::nullopt;
  });
}

}  // namespace cm
