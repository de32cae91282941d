#pragma once

// Containers with a great many records or markers, written straight to a file, for the tests
// and benchmarks of what a large count costs. Header only.

#include <cstdint>
#include <cstdio>
#include <stdexcept>
#include <string>
#include <string_view>

namespace kestrave::test {

inline constexpr std::string_view kManyMarker{
    "\x06\x1F\x22"
    "audio/amr",
    12};

namespace detail {

class Output {
 public:
  explicit Output(const std::string& path) : file_(std::fopen(path.c_str(), "wb")) {
    if (!file_) throw std::runtime_error("cannot write " + path);
  }
  ~Output() { std::fclose(file_); }
  Output(const Output&) = delete;
  Output& operator=(const Output&) = delete;
  void Put(std::string_view bytes) {
    if (std::fwrite(bytes.data(), 1, bytes.size(), file_) != bytes.size())
      throw std::runtime_error("write failed");
  }

 private:
  std::FILE* file_;
};

inline std::string Le(std::uint32_t value, int bytes) {
  std::string text;
  for (int i = 0; i < bytes; ++i)
    text += static_cast<char>(value >> (8 * i));
  return text;
}

}  // namespace detail

// Count records laid out as the sample containers lay them (tools/SampleContainer.h), each an
// AMR-NB storage header without frames and three filler bytes: 27 bytes a record, after a
// header of 32. Record n's magic lies at 32 + 27 (n - 1) + 18.
inline void WriteTinyRecords(const std::string& path, int count) {
  detail::Output out(path);
  out.Put("KDRF" + detail::Le(1, 2) + detail::Le(static_cast<std::uint32_t>(count), 2) +
          std::string(24, '\0'));
  std::string piece;
  for (int r = 0; r < count; ++r) {
    piece += kManyMarker;
    piece += detail::Le(static_cast<std::uint32_t>(r + 1), 2) + detail::Le(6, 4) + "#!AMR\n";
    for (int i = 0; i < 3; ++i)
      piece += static_cast<char>(0xA0 + (i + r) % 16);
    if (piece.size() >= (1 << 20)) {
      out.Put(piece);
      piece.clear();
    }
  }
  out.Put(piece);
}

// One AMR storage header followed by Count record markers and nothing else: 6 + 12 Count bytes.
inline void WriteManyMarkers(const std::string& path, int count) {
  detail::Output out(path);
  out.Put("#!AMR\n");
  std::string piece;
  for (int m = 0; m < count; ++m) {
    piece += kManyMarker;
    if (piece.size() >= (1 << 20)) {
      out.Put(piece);
      piece.clear();
    }
  }
  out.Put(piece);
}

}  // namespace kestrave::test
