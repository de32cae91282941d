#include "hexeditor/undo/UndoRecord.h"

#include <array>
#include <cstring>

#include "platform/UserInterface.h"

namespace kestrave::hex {
namespace {

constexpr std::array<std::string_view, kUndoKindCount> kDefaultDescriptions = {
    "Change Byte(s)",  "Remove Data",           "Insert Buffer", "Replace",
    "Append Buffer",   "Insert Nibble",         "Delete Nibble", "Convert",
    "Cursor movement", "Multiple Modification", "All data saved"};

constexpr std::uint32_t kSelectionBlock = kUndoSelectionBlockSize;

}  // namespace

std::string_view DefaultUndoDescription(int kind) {
  if (kind < 0 || kind >= kUndoKindCount) return {};
  return kDefaultDescriptions[static_cast<std::size_t>(kind)];
}

int KindOfFlags(std::uint32_t flags) {
  for (int kind = 0; kind < kUndoKindCount; ++kind)
    if (flags & KindFlag(kind)) return kind;
  return kUndoKindCount;
}

std::uint32_t ReadLe32(const std::uint8_t* at) {
  return std::uint32_t{at[0]} | (std::uint32_t{at[1]} << 8) | (std::uint32_t{at[2]} << 16) |
         (std::uint32_t{at[3]} << 24);
}

void WriteLe32(std::uint8_t* at, std::uint32_t value) {
  for (int i = 0; i < 4; ++i)
    at[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

void EncodeUndoHeader(const UndoHeader& header, std::uint8_t* record) {
  WriteLe32(record + 0, header.Length);
  WriteLe32(record + 4, header.Flags);
  WriteLe32(record + 8, static_cast<std::uint32_t>(header.Caret));
  WriteLe32(record + 12, static_cast<std::uint32_t>(header.Position));
  WriteLe32(record + 16, static_cast<std::uint32_t>(header.CountA));
  WriteLe32(record + 20, static_cast<std::uint32_t>(header.CountB));
  record[24] = header.Translation;
  WriteLe32(record + 25, static_cast<std::uint32_t>(header.BytesPerUnit));
}

UndoHeader DecodeUndoHeader(const std::uint8_t* record) {
  UndoHeader header;
  header.Length = ReadLe32(record + 0);
  header.Flags = ReadLe32(record + 4);
  header.Caret = static_cast<std::int32_t>(ReadLe32(record + 8));
  header.Position = static_cast<std::int32_t>(ReadLe32(record + 12));
  header.CountA = static_cast<std::int32_t>(ReadLe32(record + 16));
  header.CountB = static_cast<std::int32_t>(ReadLe32(record + 20));
  header.Translation = record[24];
  header.BytesPerUnit = static_cast<std::int32_t>(ReadLe32(record + 25));
  return header;
}

std::uint32_t UndoRecordLength(std::size_t savedSize, std::string_view description,
                               bool hasSelection) {
  const std::size_t descriptionBlock = description.empty() ? 0 : description.size() + 4;
  const std::size_t selectionBlock = hasSelection ? kSelectionBlock : 0;
  return static_cast<std::uint32_t>(kUndoHeaderSize + savedSize + descriptionBlock +
                                    selectionBlock + 4);
}

void EncodeUndoRecordInto(UndoHeader header, std::span<const std::uint8_t> saved,
                          std::string_view description,
                          const std::optional<UndoSelection>& selection, std::uint8_t* out) {
  header.Flags &= ~(undoflag::kHasDescription | undoflag::kHasSelection);
  if (!description.empty()) header.Flags |= undoflag::kHasDescription;
  if (selection) header.Flags |= undoflag::kHasSelection;
  header.Length = UndoRecordLength(saved.size(), description, selection.has_value());
  EncodeUndoHeader(header, out);
  std::uint8_t* at = out + kUndoHeaderSize;
  if (!saved.empty()) platform::MoveBytesResponsively(at, saved.data(), saved.size());
  at += saved.size();
  if (!description.empty()) {
    std::memcpy(at, description.data(), description.size());
    at += description.size();
    WriteLe32(at, static_cast<std::uint32_t>(description.size()));
    at += 4;
  }
  if (selection) {
    WriteLe32(at, static_cast<std::uint32_t>(selection->Low));
    WriteLe32(at + 4, static_cast<std::uint32_t>(selection->High));
    WriteLe32(at + 8, static_cast<std::uint32_t>(selection->Anchor));
    at += kSelectionBlock;
  }
  WriteLe32(at, header.Length);
}

std::vector<std::uint8_t> EncodeUndoRecord(const UndoHeader& header,
                                           std::span<const std::uint8_t> saved,
                                           std::string_view description,
                                           const std::optional<UndoSelection>& selection) {
  std::vector<std::uint8_t> record(
      UndoRecordLength(saved.size(), description, selection.has_value()));
  EncodeUndoRecordInto(header, saved, description, selection, record.data());
  return record;
}

std::uint32_t UndoSelectionOffset(std::uint32_t length) {
  return length - 4 - kSelectionBlock;
}

std::uint32_t SetUndoRecordSelection(std::uint8_t* record, std::uint32_t length, std::int32_t caret,
                                     const UndoSelection& selection) {
  const std::uint32_t flags = DecodeUndoHeader(record).Flags;
  // The block goes where the trailing length was; the length moves to the new end.
  if ((flags & undoflag::kHasSelection) == 0) length += kSelectionBlock;
  WriteLe32(record, length);
  WriteLe32(record + 4, flags | undoflag::kHasSelection);
  WriteLe32(record + length - 4, length);
  WriteLe32(record + 8, static_cast<std::uint32_t>(caret));
  std::uint8_t* block = record + UndoSelectionOffset(length);
  WriteLe32(block, static_cast<std::uint32_t>(selection.Low));
  WriteLe32(block + 4, static_cast<std::uint32_t>(selection.High));
  WriteLe32(block + 8, static_cast<std::uint32_t>(selection.Anchor));
  return length;
}

std::optional<UndoSelection> UndoRecordSelection(const std::uint8_t* record, std::uint32_t length) {
  if (!DecodeUndoHeader(record).Has(undoflag::kHasSelection)) return std::nullopt;
  const std::uint8_t* block = record + UndoSelectionOffset(length);
  return UndoSelection{static_cast<std::int32_t>(ReadLe32(block)),
                       static_cast<std::int32_t>(ReadLe32(block + 4)),
                       static_cast<std::int32_t>(ReadLe32(block + 8))};
}

std::string UndoRecordDescription(const std::uint8_t* record, std::uint32_t length) {
  const UndoHeader header = DecodeUndoHeader(record);
  if (!header.Has(undoflag::kHasDescription)) return {};
  std::uint32_t countAt = length - 8;
  if (header.Has(undoflag::kHasSelection)) countAt -= kSelectionBlock;
  const std::uint32_t count = ReadLe32(record + countAt);
  if (count > countAt - kUndoHeaderSize) return {};  // a damaged count reads as no description
  return std::string(reinterpret_cast<const char*>(record + countAt - count), count);
}

}  // namespace kestrave::hex
