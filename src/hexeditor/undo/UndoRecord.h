#pragma once

#include <cstdint>
#include <optional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

namespace kestrave::hex {

// Kinds of undo records.
enum THexUndoKind : int {
  ukChangeBytes = 0,
  ukRemove = 1,
  ukInsert = 2,
  ukReplace = 3,
  ukAppend = 4,
  ukInsertNibble = 5,
  ukDeleteNibble = 6,
  ukConvert = 7,
  ukCursorMovement = 8,
  ukGroup = 9,
  ukAllData = 10,
};
inline constexpr int kUndoKindCount = 11;

// The description a step has when it was recorded without one of its own.
std::string_view DefaultUndoDescription(int kind);

// Flag bits of a record besides its kind bit (bits 0 to 10).
namespace undoflag {
inline constexpr std::uint32_t kMarkAtPosition = 0x800;
inline constexpr std::uint32_t kMarkAfterPosition = 0x1000;
inline constexpr std::uint32_t kModified = 0x2000;
inline constexpr std::uint32_t kSecondDigit = 0x4000;
inline constexpr std::uint32_t kInCharField = 0x8000;
inline constexpr std::uint32_t kHasSelection = 0x10000;
inline constexpr std::uint32_t kInsertMode = 0x20000;
inline constexpr std::uint32_t kUnicode = 0x40000;
inline constexpr std::uint32_t kBigEndian = 0x80000;
inline constexpr std::uint32_t kHasDescription = 0x100000;
}  // namespace undoflag

constexpr std::uint32_t KindFlag(int kind) {
  return std::uint32_t{1} << kind;
}
// The lowest kind bit that is set; 11 when none is.
int KindOfFlags(std::uint32_t flags);
// A flag when the condition holds, else none.
constexpr std::uint32_t FlagIf(bool condition, std::uint32_t flag) {
  return condition ? flag : 0;
}

// The selection kept in a record: low end, high end, anchor (-1 when nothing was selected).
struct UndoSelection {
  std::int32_t Low = -1;
  std::int32_t High = -1;
  std::int32_t Anchor = -1;
  bool operator==(const UndoSelection&) const = default;
};

// The fixed first 29 bytes of a record.
struct UndoHeader {
  std::uint32_t Length = 0;
  std::uint32_t Flags = 0;
  std::int32_t Caret = 0;
  std::int32_t Position = 0;
  std::int32_t CountA = 0;
  std::int32_t CountB = 0;
  std::uint8_t Translation = 0;
  std::int32_t BytesPerUnit = 1;

  int Kind() const { return KindOfFlags(Flags); }
  bool Has(std::uint32_t flag) const { return (Flags & flag) != 0; }
};

// Record layout, all integers little-endian, no alignment:
//   0 length | 4 flags | 8 caret | 12 position | 16 count A | 20 count B | 24 translation (1) |
//   25 bytes per unit | 29 saved bytes (at least 1) | description characters | their count (4) |
//   selection low, high, anchor (12) | length again (4)
// The description and its count are there only with kHasDescription, the selection only with
// kHasSelection. The trailing length lets the stream be walked from its end.
inline constexpr int kUndoHeaderSize = 29;
// Header plus the first saved byte: the least a stream must hold to hold a record.
inline constexpr int kUndoMinimumRecord = 30;

// The length of a record that saves SavedSize bytes, with or without its optional blocks.
std::uint32_t UndoRecordLength(std::size_t savedSize, std::string_view description,
                               bool hasSelection);
// Writes a whole record to Out, which has room for UndoRecordLength bytes. Saved must not be
// empty (a kind that saves nothing saves one zero byte). The description and selection flags are
// set from the arguments; Length is computed.
void EncodeUndoRecordInto(UndoHeader header, std::span<const std::uint8_t> saved,
                          std::string_view description,
                          const std::optional<UndoSelection>& selection, std::uint8_t* out);
// The same record in memory of its own.
std::vector<std::uint8_t> EncodeUndoRecord(const UndoHeader& header,
                                           std::span<const std::uint8_t> saved,
                                           std::string_view description,
                                           const std::optional<UndoSelection>& selection);

UndoHeader DecodeUndoHeader(const std::uint8_t* record);
void EncodeUndoHeader(const UndoHeader& header, std::uint8_t* record);

// The optional blocks of a whole record of the given length, found from its end.
std::string UndoRecordDescription(const std::uint8_t* record, std::uint32_t length);
std::optional<UndoSelection> UndoRecordSelection(const std::uint8_t* record, std::uint32_t length);
// Where the selection block of a record with kHasSelection starts.
std::uint32_t UndoSelectionOffset(std::uint32_t length);
// Gives the record at Record (Length bytes) the caret Caret and the selection block Selection.
// A record without a block grows by its 12 bytes, which must be there to be written. Answers
// the record's new length.
std::uint32_t SetUndoRecordSelection(std::uint8_t* record, std::uint32_t length, std::int32_t caret,
                                     const UndoSelection& selection);
// The bytes a record without a selection block grows by to take one.
inline constexpr std::uint32_t kUndoSelectionBlockSize = 12;

std::uint32_t ReadLe32(const std::uint8_t* at);
void WriteLe32(std::uint8_t* at, std::uint32_t value);

}  // namespace kestrave::hex
