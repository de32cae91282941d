#pragma once

#include <array>
#include <cstdint>
#include <string>

#include "platform/Persistent.h"

namespace kestrave::hex {

enum THexPrintFlag : std::uint8_t {
  pfSelectionOnly,
  pfSelectionBold,
  pfMonochrome,
  pfUseBackgroundColor,
  pfCurrentViewOnly,
  pfIncludeRuler
};
inline constexpr std::size_t kPrintFlagCount = 6;
// A set of print flags, bit i for flag i.
using THexPrintFlags = std::uint8_t;
inline constexpr THexPrintFlags PrintFlagBit(THexPrintFlag flag) {
  return static_cast<THexPrintFlags>(1u << flag);
}
inline constexpr THexPrintFlags kDefaultPrintFlags =
    PrintFlagBit(pfSelectionBold) | PrintFlagBit(pfMonochrome);

// The settings a printout of the view would use; nothing here prints. Setters store what they
// are given: margins, header and footer are the printing code's inputs, and it decides their
// meaning.
class THexPrintOptions : public platform::TPersistent {
 public:
  enum MarginIndex { kLeft = 1, kTop = 2, kRight = 3, kBottom = 4 };
  enum TextIndex { kHeader = 0, kFooter = 1 };

  std::string_view ClassName() const override { return "THexPrintOptions"; }
  // Copies all seven values from other print options; any other source, or none, raises
  // "Cannot assign a %s to a %s" and changes nothing.
  void Assign(const platform::TPersistent* source);

  int Margin(MarginIndex index) const { return margins_[index - kLeft]; }
  void SetMargin(MarginIndex index, int value) { margins_[index - kLeft] = value; }
  const std::string& Text(TextIndex index) const { return texts_[index]; }
  void SetText(TextIndex index, const std::string& value) { texts_[index] = value; }

  int MarginLeft() const { return Margin(kLeft); }
  void SetMarginLeft(int value) { SetMargin(kLeft, value); }
  int MarginTop() const { return Margin(kTop); }
  void SetMarginTop(int value) { SetMargin(kTop, value); }
  int MarginRight() const { return Margin(kRight); }
  void SetMarginRight(int value) { SetMargin(kRight, value); }
  int MarginBottom() const { return Margin(kBottom); }
  void SetMarginBottom(int value) { SetMargin(kBottom, value); }
  const std::string& PageHeader() const { return Text(kHeader); }
  void SetPageHeader(const std::string& value) { SetText(kHeader, value); }
  const std::string& PageFooter() const { return Text(kFooter); }
  void SetPageFooter(const std::string& value) { SetText(kFooter, value); }
  THexPrintFlags Flags() const { return flags_; }
  void SetFlags(THexPrintFlags value) { flags_ = value; }

  bool operator==(const THexPrintOptions& other) const {
    return margins_ == other.margins_ && texts_ == other.texts_ && flags_ == other.flags_;
  }

 private:
  std::array<int, 4> margins_{20, 15, 25, 25};
  std::array<std::string, 2> texts_;
  THexPrintFlags flags_ = kDefaultPrintFlags;
};

}  // namespace kestrave::hex
