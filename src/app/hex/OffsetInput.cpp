#include "app/hex/OffsetInput.h"

#include <cctype>
#include <charconv>
#include <string_view>

namespace kestrave::app {
namespace {

std::string_view Trimmed(std::string_view text) {
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front())))
    text.remove_prefix(1);
  while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back())))
    text.remove_suffix(1);
  return text;
}

// A whole number in decimal or, after "0x", in hex; nothing for anything else or an overflow.
bool ReadNumber(std::string_view text, std::int64_t& value) {
  int base = 10;
  if (text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')) {
    base = 16;
    text.remove_prefix(2);
  }
  if (text.empty() || text.front() == '+' || text.front() == '-') return false;
  const auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), value, base);
  return error == std::errc() && end == text.data() + text.size();
}

// A percentage with up to three decimals, in thousandths of a percent.
bool ReadPercent(std::string_view text, std::int64_t& thousandths) {
  const std::size_t dot = text.find('.');
  std::int64_t whole = 0;
  std::int64_t fraction = 0;
  const std::string_view wholeText = text.substr(0, dot);
  if (wholeText.empty() || !ReadNumber(wholeText, whole) || wholeText.rfind("0x", 0) == 0)
    return false;
  if (dot != std::string_view::npos) {
    std::string_view digits = text.substr(dot + 1);
    if (digits.empty() || digits.size() > 3) return false;
    for (const char c : digits)
      if (!std::isdigit(static_cast<unsigned char>(c))) return false;
    std::from_chars(digits.data(), digits.data() + digits.size(), fraction);
    for (std::size_t i = digits.size(); i < 3; ++i)
      fraction *= 10;
  }
  if (whole > 100) return false;
  thousandths = whole * 1000 + fraction;
  return thousandths <= 100000;
}

OffsetTarget Problem(OffsetProblem problem) {
  return {-1, problem};
}

}  // namespace

OffsetTarget ParseOffsetTarget(const std::string& typed, std::int64_t current, std::int64_t size) {
  std::string_view text = Trimmed(typed);
  if (size <= 0) return Problem(OffsetProblem::NoData);
  if (text.empty()) return Problem(OffsetProblem::Empty);
  std::int64_t offset = 0;
  if (text.back() == '%') {
    std::int64_t thousandths = 0;
    if (!ReadPercent(Trimmed(text.substr(0, text.size() - 1)), thousandths))
      return Problem(OffsetProblem::NotAPercentage);
    // 100% is the last byte; any other share is rounded down to a whole byte.
    offset = thousandths == 100000 ? size - 1 : (size * thousandths) / 100000;
  } else {
    const char sign = text.front();
    const bool relative = sign == '+' || sign == '-';
    std::int64_t value = 0;
    if (!ReadNumber(relative ? Trimmed(text.substr(1)) : text, value))
      return Problem(OffsetProblem::NotAnOffset);
    if (!relative) {
      offset = value;
    } else if (sign == '+') {
      offset = value > size ? size : current + value;
    } else {
      offset = value > current ? -1 : current - value;
    }
  }
  if (offset < 0 || offset >= size) return Problem(OffsetProblem::OutsideTheData);
  return {offset, OffsetProblem::None};
}

}  // namespace kestrave::app
