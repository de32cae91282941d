#include "app/hex/FileLimits.h"

namespace kestrave::app {
namespace {

// Tenths of the unit, rounded, written with a point whatever the locale.
std::string InTenths(std::int64_t bytes, int shift, const char* unit) {
  const std::int64_t tenths = (bytes * 10 + (std::int64_t{1} << (shift - 1))) >> shift;
  std::string text = std::to_string(tenths / 10);
  text += '.';
  text += std::to_string(tenths % 10);
  text += ' ';
  text += unit;
  return text;
}

}  // namespace

std::string FileSizeText(std::int64_t bytes) {
  constexpr std::int64_t kGiB = std::int64_t{1} << 30;
  // Sizes up to 64 EiB / 10 fit the tenths' sum: far beyond any file.
  if (bytes >= kGiB && bytes < (std::int64_t{1} << 59)) {
    std::string text = InTenths(bytes, 30, "GiB");
    if (bytes > kLargestOpenedFile && text == "2.0 GiB") return std::to_string(bytes) + " bytes";
    return text;
  }
  if (bytes >= (1 << 20) && bytes < kGiB) return InTenths(bytes, 20, "MiB");
  return std::to_string(bytes) + " bytes";
}

}  // namespace kestrave::app
