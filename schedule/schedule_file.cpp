#include "schedule/schedule_file.h"

#include "store/data_file.h"
#include "store/data_text.h"
#include "store/journal.h"

namespace cm {

bool readScheduleNumbers(const char* path, std::vector<int>& numbers) {
  std::optional<std::string> bytes;
  if (readDataFile(path, bytes, ReadFor::look)) return false;
  numbers = scanNumbers(bytes.value_or(""));
  return true;
}

bool writeScheduleNumbers(const char* path, const std::vector<int>& numbers) {
  return changeFiles({path}, [&](std::span<FileChange> files) { files[0].after = numberLines(numbers); });
}

bool appendScheduleRecord(const char* path, const std::vector<int>& record) {
  return changeFiles({path}, [&](std::span<FileChange> files) {
    std::vector<int> numbers = wholeRecords(files[0].before.value_or(""), record.size());
    numbers.insert(numbers.end(), record.begin(), record.end());
    files[0].after = numberLines(numbers);
  });
}

}  // namespace cm
