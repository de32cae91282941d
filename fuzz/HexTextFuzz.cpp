// Hex text and radix text from outside: decoding must agree with a plain reading of the digits,
// and radix parsing either answers or raises its own error, for every radix.
#include <cctype>
#include <cstdlib>
#include <string>

#include "hexeditor/HexEditorError.h"
#include "hexeditor/text/Conversions.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  const std::string text(reinterpret_cast<const char*>(data), size);
  for (const bool swap : {false, true}) {
    const auto bytes = kestrave::hex::HexTextToBytes(text, swap);
    std::string digits;
    for (const char c : text)
      if (std::isxdigit(static_cast<unsigned char>(c))) digits += c;
    if (bytes.size() != digits.size() / 2) std::abort();
    const std::string back =
        kestrave::hex::BytesToHexText(bytes.data(), static_cast<int>(bytes.size()), swap);
    for (std::size_t i = 0; i < back.size(); ++i)
      if (std::toupper(static_cast<unsigned char>(digits[i])) != back[i]) std::abort();
  }
  for (std::uint8_t radix = 2; radix <= 16; ++radix) {
    try {
      kestrave::hex::ParseRadixText(text, radix);
    } catch (const kestrave::hex::EHexEditor&) {
    }
  }
  return 0;
}
