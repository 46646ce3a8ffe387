// Any bytes in a level file read as one integer, and that integer written
// back reads the same.
#include <cstdint>
#include <cstdlib>
#include <optional>
#include <string>

#include "fuzz/fuzz_folder.h"
#include "machine/material_store.h"
#include "store/data_file.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  cm::fuzz::enterScratchFolder();
  if (cm::rewriteFile(cm::kWaterFile, std::string(reinterpret_cast<const char*>(data), size))) std::abort();
  const int level = cm::waterInterface();
  if (cm::waterData != level) std::abort();
  if (!cm::renewWater(level)) std::abort();
  if (cm::waterSensor() != level) std::abort();
  std::optional<std::string> written;
  if (cm::readDataFile(cm::kWaterFile, written) || written != std::to_string(level)) std::abort();
  return 0;
}
