#include "machine/material_store.h"

#include <string>

#include "machine/data_file.h"
#include "machine/folder_lock.h"
#include "machine/number_text.h"

namespace cm {

int waterData = 0;
int powderData = 0;
int beanData = 0;

namespace {

int readLevel(const char* path) {
  const auto content = readWholeFile(path);
  if (!content) return 0;
  std::size_t pos = 0;
  const ScannedInt level = scanInt(*content, pos);
  return level.status == ScannedInt::Status::noNumber ? 0 : level.value;
}

void writeLevel(const char* path, int level) { rewriteFile(path, std::to_string(level)); }

}  // namespace

int waterSensor() { return readLevel(kWaterFile); }
int beanSensor() { return readLevel(kBeanFile); }
int powderSensor() { return readLevel(kPowderFile); }

void renewWater(int level) { writeLevel(kWaterFile, level); }
void renewBean(int level) { writeLevel(kBeanFile, level); }
void renewPowder(int level) { writeLevel(kPowderFile, level); }

int changeLevel(const char* path, const std::function<int(int)>& change) {
  UpdateLock lock;
  const int level = change(readLevel(path));
  writeLevel(path, level);
  return level;
}

void addWater(int amount) {
  changeLevel(kWaterFile, [amount](int level) { return saturatingAdd(level, amount); });
}
void addPowder(int amount) {
  changeLevel(kPowderFile, [amount](int level) { return saturatingAdd(level, amount); });
}
void addBean(int amount) {
  changeLevel(kBeanFile, [amount](int level) { return saturatingAdd(level, amount); });
}

int waterInterface() { return waterData = waterSensor(); }
int beanInterface() { return beanData = beanSensor(); }
int powderInterface() { return powderData = powderSensor(); }

}  // namespace cm
