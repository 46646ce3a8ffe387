// A file's exact bytes, for the tests' checks of the data files.
#pragma once

#include <filesystem>
#include <fstream>
#include <sstream>
#include <string>

namespace cm::test {

inline void writeBytes(const std::filesystem::path& path, const std::string& bytes) {
  std::ofstream(path, std::ios::binary) << bytes;
}

// "<missing>" when the file does not exist.
inline std::string readBytes(const std::filesystem::path& path) {
  std::ifstream in(path, std::ios::binary);
  if (!in) return "<missing>";
  std::ostringstream content;
  content << in.rdbuf();
  return content.str();
}

}  // namespace cm::test
