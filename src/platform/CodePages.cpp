#include "platform/CodePages.h"

#include <algorithm>

namespace kestrave::platform {
namespace {

// Windows-1251, bytes 80 to FF. Byte 98 is unassigned and stands for U+0098.
constexpr char16_t kWindows1251[128] = {
    0x0402, 0x0403, 0x201A, 0x0453, 0x201E, 0x2026, 0x2020, 0x2021,  // 80
    0x20AC, 0x2030, 0x0409, 0x2039, 0x040A, 0x040C, 0x040B, 0x040F,  // 88
    0x0452, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022, 0x2013, 0x2014,  // 90
    0x0098, 0x2122, 0x0459, 0x203A, 0x045A, 0x045C, 0x045B, 0x045F,  // 98
    0x00A0, 0x040E, 0x045E, 0x0408, 0x00A4, 0x0490, 0x00A6, 0x00A7,  // A0
    0x0401, 0x00A9, 0x0404, 0x00AB, 0x00AC, 0x00AD, 0x00AE, 0x0407,  // A8
    0x00B0, 0x00B1, 0x0406, 0x0456, 0x0491, 0x00B5, 0x00B6, 0x00B7,  // B0
    0x0451, 0x2116, 0x0454, 0x00BB, 0x0458, 0x0405, 0x0455, 0x0457,  // B8
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // C0
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // C8
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // D0
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // D8
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // E0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // E8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // F0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // F8
};

// CP866, bytes 80 to FF.
constexpr char16_t kCp866[128] = {
    0x0410, 0x0411, 0x0412, 0x0413, 0x0414, 0x0415, 0x0416, 0x0417,  // 80
    0x0418, 0x0419, 0x041A, 0x041B, 0x041C, 0x041D, 0x041E, 0x041F,  // 88
    0x0420, 0x0421, 0x0422, 0x0423, 0x0424, 0x0425, 0x0426, 0x0427,  // 90
    0x0428, 0x0429, 0x042A, 0x042B, 0x042C, 0x042D, 0x042E, 0x042F,  // 98
    0x0430, 0x0431, 0x0432, 0x0433, 0x0434, 0x0435, 0x0436, 0x0437,  // A0
    0x0438, 0x0439, 0x043A, 0x043B, 0x043C, 0x043D, 0x043E, 0x043F,  // A8
    0x2591, 0x2592, 0x2593, 0x2502, 0x2524, 0x2561, 0x2562, 0x2556,  // B0
    0x2555, 0x2563, 0x2551, 0x2557, 0x255D, 0x255C, 0x255B, 0x2510,  // B8
    0x2514, 0x2534, 0x252C, 0x251C, 0x2500, 0x253C, 0x255E, 0x255F,  // C0
    0x255A, 0x2554, 0x2569, 0x2566, 0x2560, 0x2550, 0x256C, 0x2567,  // C8
    0x2568, 0x2564, 0x2565, 0x2559, 0x2558, 0x2552, 0x2553, 0x256B,  // D0
    0x256A, 0x2518, 0x250C, 0x2588, 0x2584, 0x258C, 0x2590, 0x2580,  // D8
    0x0440, 0x0441, 0x0442, 0x0443, 0x0444, 0x0445, 0x0446, 0x0447,  // E0
    0x0448, 0x0449, 0x044A, 0x044B, 0x044C, 0x044D, 0x044E, 0x044F,  // E8
    0x0401, 0x0451, 0x0404, 0x0454, 0x0407, 0x0457, 0x040E, 0x045E,  // F0
    0x00B0, 0x2219, 0x00B7, 0x221A, 0x2116, 0x00A4, 0x25A0, 0x00A0,  // F8
};

// The nearest look-alike of a character that the target code page lacks.
char16_t LookAlike(char16_t unit) {
  switch (unit) {
    case 0x2502:
    case 0x2551:
      return u'|';
    case 0x2500:
    case 0x2550:
      return u'-';
    case 0x201A:
    case 0x2018:
    case 0x2019:
    case 0x2039:
    case 0x203A:
      return u'\'';
    case 0x201E:
    case 0x201C:
    case 0x201D:
    case 0x00AB:
    case 0x00BB:
      return u'"';
    case 0x2013:
    case 0x2014:
    case 0x00AD:
      return u'-';
    case 0x2026:
    case 0x2022:
    case 0x2219:
      return u'.';
    case 0x221A:
      return u'v';
    case 0x0406:
      return u'I';
    case 0x0456:
      return u'i';
    case 0x0408:
      return u'J';
    case 0x0458:
      return u'j';
    case 0x0405:
      return u'S';
    case 0x0455:
      return u's';
    case 0x0490:
      return 0x0413;  // Ґ as Г
    case 0x0491:
      return 0x0433;  // ґ as г
    case 0x00A9:
      return u'c';
    case 0x00AE:
      return u'R';
    case 0x00B1:
      return u'+';
    default:
      break;
  }
  if (unit >= 0x2500 && unit <= 0x257F) return u'+';  // corners and crossings of box lines
  if (unit >= 0x2580 && unit <= 0x25A0) return u'#';  // blocks and shades
  return u'?';
}

std::uint8_t Convert(const CodePage& from, const CodePage& to, std::uint8_t byte) {
  const char16_t unit = from.ToUnicode(byte);
  if (const auto direct = to.FromUnicode(unit)) return *direct;
  if (const auto near = to.FromUnicode(LookAlike(unit))) return *near;
  return '?';
}

using ByteTable = std::array<std::uint8_t, 256>;

template <typename F>
ByteTable MakeTable(F mapping) {
  ByteTable table{};
  for (int b = 0; b < 256; ++b)
    table[b] = mapping(static_cast<std::uint8_t>(b));
  return table;
}

const ByteTable& OemToAnsiTable() {
  static const ByteTable table =
      MakeTable([](std::uint8_t b) { return Convert(OemCodePage(), AnsiCodePage(), b); });
  return table;
}

const ByteTable& AnsiToOemTable() {
  static const ByteTable table =
      MakeTable([](std::uint8_t b) { return Convert(AnsiCodePage(), OemCodePage(), b); });
  return table;
}

// Pairs of capital and small letter in the upper half of Windows-1251, outside C0..FF.
constexpr std::uint8_t kUpperHalfCapitals[][2] = {
    {0x80, 0x90}, {0x81, 0x83}, {0x8A, 0x9A}, {0x8C, 0x9C}, {0x8D, 0x9D},
    {0x8E, 0x9E}, {0x8F, 0x9F}, {0xA1, 0xA2}, {0xA3, 0xBC}, {0xA5, 0xB4},
    {0xA8, 0xB8}, {0xAA, 0xBA}, {0xAF, 0xBF}, {0xB2, 0xB3}, {0xBD, 0xBE},
};

const ByteTable& LowerTable() {
  static const ByteTable table = [] {
    ByteTable lower = MakeTable([](std::uint8_t b) {
      if (b >= 'A' && b <= 'Z') return static_cast<std::uint8_t>(b + 32);
      if (b >= 0xC0 && b <= 0xDF) return static_cast<std::uint8_t>(b + 32);
      return b;
    });
    for (const auto& pair : kUpperHalfCapitals)
      lower[pair[0]] = pair[1];
    return lower;
  }();
  return table;
}

void MapBuffer(const ByteTable& table, const std::uint8_t* source, std::uint8_t* dest,
               std::size_t count) {
  for (std::size_t i = 0; i < count; ++i)
    dest[i] = table[source[i]];
}

}  // namespace

CodePage::CodePage(const char16_t (&upperHalf)[128]) {
  for (int b = 0; b < 128; ++b)
    toUnicode_[b] = static_cast<char16_t>(b);
  for (int b = 0; b < 128; ++b) {
    toUnicode_[128 + b] = upperHalf[b];
    upperHalfByUnit_[static_cast<std::size_t>(b)] = {upperHalf[b],
                                                     static_cast<std::uint8_t>(128 + b)};
  }
  std::sort(upperHalfByUnit_.begin(), upperHalfByUnit_.end());
}

std::optional<std::uint8_t> CodePage::FromUpperHalf(char16_t unit) const {
  const auto found = std::lower_bound(upperHalfByUnit_.begin(), upperHalfByUnit_.end(),
                                      std::pair<char16_t, std::uint8_t>{unit, 0});
  if (found == upperHalfByUnit_.end() || found->first != unit) return std::nullopt;
  return found->second;
}

const CodePage& AnsiCodePage() {
  static const CodePage page(kWindows1251);
  return page;
}

const CodePage& OemCodePage() {
  static const CodePage page(kCp866);
  return page;
}

std::uint8_t OemToAnsi(std::uint8_t byte) {
  return OemToAnsiTable()[byte];
}
std::uint8_t AnsiToOem(std::uint8_t byte) {
  return AnsiToOemTable()[byte];
}

void OemToAnsiBuffer(const std::uint8_t* source, std::uint8_t* dest, std::size_t count) {
  MapBuffer(OemToAnsiTable(), source, dest, count);
}

void AnsiToOemBuffer(const std::uint8_t* source, std::uint8_t* dest, std::size_t count) {
  MapBuffer(AnsiToOemTable(), source, dest, count);
}

std::uint8_t AnsiLower(std::uint8_t byte) {
  return LowerTable()[byte];
}

std::string AnsiLowerCase(std::string_view text) {
  std::string lower(text);
  for (char& c : lower)
    c = static_cast<char>(AnsiLower(static_cast<std::uint8_t>(c)));
  return lower;
}

std::string Utf16ToCodePage(const CodePage& page, std::u16string_view text) {
  std::string bytes(text.size(), '\0');
  Utf16ToCodePage(page, text, reinterpret_cast<std::uint8_t*>(bytes.data()));
  return bytes;
}

void Utf16ToCodePage(const CodePage& page, std::u16string_view text, std::uint8_t* out) {
  for (const char16_t unit : text) {
    const auto direct = page.FromUnicode(unit);
    const auto near = direct ? direct : page.FromUnicode(LookAlike(unit));
    *out++ = near.value_or('?');
  }
}

std::u16string AnsiToUtf16(std::string_view text) {
  std::u16string units;
  units.reserve(text.size());
  for (const char c : text)
    units.push_back(AnsiCodePage().ToUnicode(static_cast<std::uint8_t>(c)));
  return units;
}

}  // namespace kestrave::platform
