#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace kestrave::test {

// A fresh folder for one test, removed with everything in it when the test ends.
class TempDir {
 public:
  TempDir();
  ~TempDir();
  TempDir(const TempDir&) = delete;
  TempDir& operator=(const TempDir&) = delete;

  const std::string& Path() const { return path_; }
  std::string File(std::string_view name) const { return path_ + "/" + std::string(name); }
  // Names of the entries in the folder, sorted.
  std::vector<std::string> Entries() const;

 private:
  std::string path_;
};

std::vector<std::uint8_t> ReadAll(const std::string& path);
void WriteAll(const std::string& path, const std::vector<std::uint8_t>& bytes);
void WriteAll(const std::string& path, std::string_view text);
// Deterministic bytes for tests that need content but not particular content.
std::vector<std::uint8_t> PatternBytes(std::size_t count, std::uint32_t seed = 1);

}  // namespace kestrave::test
