#include "machine/material_store.h"

#include <string>

#include "machine/number_text.h"

namespace cm {

int waterData = 0;
int powderData = 0;
int beanData = 0;

namespace {

int levelIn(const std::optional<std::string>& bytes) {
  if (!bytes) return 0;
  std::size_t pos = 0;
  const ScannedInt level = scanInt(*bytes, pos);
  return level.status == ScannedInt::Status::noNumber ? 0 : level.value;
}

// A screen shows what it can: a level that cannot be read shows as 0.
int levelShown(const char* path) {
  std::optional<std::string> bytes;
  if (readDataFile(path, bytes, ReadFor::look)) return 0;
  return levelIn(bytes);
}

// A level a sequence checks, read into its register as its interface does.
bool checkLevel(const char* path, int& level) {
  std::optional<std::string> bytes;
  if (FileResult error = readDataFile(path, bytes)) {
    lastFileFailure = std::move(error);
    sequenceFailed();
    return false;
  }
  level = levelIn(bytes);
  return true;
}

bool renewLevel(const char* path, int level) {
  return changeFiles({path},
                     [level](std::span<FileChange> files) {
                       files[0].after = std::to_string(level);
                       return FileResult();
                     });
}

}  // namespace

int waterSensor() { return levelShown(kWaterFile); }
int beanSensor() { return levelShown(kBeanFile); }
int powderSensor() { return levelShown(kPowderFile); }

bool readBrewLevels() {
  lastFileFailure.reset();
  return checkLevel(kPowderFile, powderData) && checkLevel(kBeanFile, beanData) &&
         checkLevel(kWaterFile, waterData);
}

bool readCleaningWater() {
  lastFileFailure.reset();
  return checkLevel(kWaterFile, waterData);
}

bool chargeLevels(const std::function<Levels(Levels)>& change, Settles settles) {
  const auto charge = [&change](std::span<FileChange> files) {
    const Levels now{levelIn(files[0].before), levelIn(files[1].before), levelIn(files[2].before)};
    const Levels next = change(now);
    const int before[] = {now.water, now.powder, now.beans};
    const int after[] = {next.water, next.powder, next.beans};
    for (std::size_t i = 0; i < files.size(); ++i) {
      if (after[i] != before[i]) files[i].after = std::to_string(after[i]);
    }
    return FileResult();
  };
  return changeFiles({kWaterFile, kPowderFile, kBeanFile}, charge, settles);
}

bool renewWater(int level) { return renewLevel(kWaterFile, level); }
bool renewBean(int level) { return renewLevel(kBeanFile, level); }
bool renewPowder(int level) { return renewLevel(kPowderFile, level); }

void resetLevelRegisters() { waterData = powderData = beanData = 0; }

int waterInterface() { return waterData = waterSensor(); }
int beanInterface() { return beanData = beanSensor(); }
int powderInterface() { return powderData = powderSensor(); }

}  // namespace cm
