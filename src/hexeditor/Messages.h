#pragma once

// The component's message table. Placeholders are filled by platform::FormatMessage.
namespace kestrave::hex::msg {

inline constexpr char kOutOfBounds[] = "Data position/length out of data bounds";
inline constexpr char kOutOfMemory[] = "Out of memory while expanding memory stream";
inline constexpr char kOperationCancelled[] = "Operation Cancelled";
inline constexpr char kStreamReadError[] = "Stream read error";
inline constexpr char kStreamWriteError[] = "Stream write error";
inline constexpr char kCannotOpen[] = "Cannot open %s.\r\n(%s.)";
inline constexpr char kCannotOpenFile[] = "Cannot open file \"%s\". %s";
inline constexpr char kCannotCreateFile[] = "Cannot create file \"%s\". %s";
inline constexpr char kCannotSaveReadOnly[] = "Cannot save readonly file %s.";
inline constexpr char kCannotDeleteBackup[] = "Cannot delete previous backup %s. (%s)";
inline constexpr char kCannotCreateBackup[] = "Cannot create backup %s. (%s)";
inline constexpr char kInvalidSelectionStart[] = "Invalid selection start";
inline constexpr char kInvalidSelectionEnd[] = "Invalid selection end";
inline constexpr char kUnitInUnicodeMode[] = "BytesPerUnit must be set to 2 in unicode mode";
inline constexpr char kTranslationInUnicodeMode[] = "Translations cannot be used in unicode mode";
inline constexpr char kInvalidBytesPerLine[] = "Invalid bytes per line argument";
inline constexpr char kInvalidBytesPerColumn[] = "Invalid bytes per column argument";
inline constexpr char kOddSizedUnicode[] = "Cannot use unicode mode with odd-sized files";
inline constexpr char kInvalidRadixCharacter[] =
    "Invalid character %s, cannot convert using radix %xh";
inline constexpr char kCannotUpdateUndo[] = "Cannot update undo storage";
inline constexpr char kInvalidBookmarkIndex[] = "Invalid bookmark index";
inline constexpr char kMissingOffsetChar[] = "Missing char in offset format: %s";
inline constexpr char kInvalidOffsetRadix[] =
    "Invalid radix in offset format (%xh), allowed: 02h..10h";
inline constexpr char kInvalidRulerUnit[] =
    "Invalid ruler bytes per unit value %d, allowed: -1,1,2,4,8";
inline constexpr char kInvalidBookmarkBitmap[] = "Invalid bookmark bitmap (must be 10 x 200 px)";
inline constexpr char kInvalidUnit[] = "Invalid bytes per unit value %d, allowed: 1,2,4,8";
inline constexpr char kInvalidFontHeight[] = "Invalid font height %d, allowed: 1..1332";

}  // namespace kestrave::hex::msg
