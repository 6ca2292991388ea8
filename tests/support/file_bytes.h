// The bytes of a file, for checks that a file was left exactly as it was. Header-only, so that
// the fuzz targets (which do not link the test support library) can use it too.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace allot::testing {

// The file's bytes, or the empty text when it is not a regular file.
inline std::string fileBytes(const std::filesystem::path& file) {
  std::error_code error;
  if (!std::filesystem::is_regular_file(file, error)) return "";
  std::ifstream in(file, std::ios::binary);
  return {std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>()};
}

}  // namespace allot::testing
