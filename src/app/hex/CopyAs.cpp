#include "app/hex/CopyAs.h"

namespace kestrave::app {
namespace {

constexpr char kDigits[] = "0123456789ABCDEF";

}  // namespace

std::string HexText(std::span<const std::uint8_t> bytes) {
  std::string text;
  text.reserve(bytes.size() * 3);
  for (const std::uint8_t byte : bytes) {
    if (!text.empty()) text += ' ';
    text += kDigits[byte >> 4];
    text += kDigits[byte & 15];
  }
  return text;
}

std::string CArray(std::span<const std::uint8_t> bytes, const std::string& name) {
  constexpr std::size_t kPerLine = 12;
  std::string text = "const unsigned char " + name + "[" + std::to_string(bytes.size()) + "] = {\n";
  for (std::size_t i = 0; i < bytes.size(); ++i) {
    text += i % kPerLine == 0 ? "    " : " ";
    text += "0x";
    text += kDigits[bytes[i] >> 4];
    text += kDigits[bytes[i] & 15];
    text += ',';
    if (i % kPerLine == kPerLine - 1 || i + 1 == bytes.size()) text += '\n';
  }
  return text + "};\n";
}

std::u16string TranslatedText(std::span<const std::uint8_t> bytes,
                              const std::function<char16_t(std::uint8_t)>& character) {
  std::u16string text;
  text.reserve(bytes.size());
  for (const std::uint8_t byte : bytes)
    text += character(byte);
  return text;
}

}  // namespace kestrave::app
