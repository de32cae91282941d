#include "app/hex/EditorTexts.h"

#include <QCoreApplication>
#include <QRegularExpression>

#include "hexeditor/CustomHexEditor.h"
#include "hexeditor/Messages.h"
#include "platform/Exception.h"
#include "platform/FileSystem.h"

namespace kestrave::app {
namespace {

// The editor's own undo descriptions (hex::DefaultUndoDescription), for the translators' tools.
[[maybe_unused]] constexpr const char* kUndoSteps[] = {
    QT_TRANSLATE_NOOP("UndoSteps", "Change Byte(s)"),
    QT_TRANSLATE_NOOP("UndoSteps", "Remove Data"),
    QT_TRANSLATE_NOOP("UndoSteps", "Insert Buffer"),
    QT_TRANSLATE_NOOP("UndoSteps", "Replace"),
    QT_TRANSLATE_NOOP("UndoSteps", "Append Buffer"),
    QT_TRANSLATE_NOOP("UndoSteps", "Insert Nibble"),
    QT_TRANSLATE_NOOP("UndoSteps", "Delete Nibble"),
    QT_TRANSLATE_NOOP("UndoSteps", "Convert"),
    QT_TRANSLATE_NOOP("UndoSteps", "Cursor movement"),
    QT_TRANSLATE_NOOP("UndoSteps", "Multiple Modification"),
    QT_TRANSLATE_NOOP("UndoSteps", "All data saved"),
};

// The names of hex::kTranslationNames that say more than a name.
[[maybe_unused]] constexpr const char* kCharacterSetNames[] = {
    QT_TRANSLATE_NOOP("CharacterSets", "Dos 8 Bit"),
    QT_TRANSLATE_NOOP("CharacterSets", "ASCII 7 Bit"),
    QT_TRANSLATE_NOOP("CharacterSets", "EBCDIC Codepage 38"),
    QT_TRANSLATE_NOOP("CharacterSets", "Custom Translation"),
};

// The two reports of LoadViewSettings, as "<start><file><middle><reason><end>".
struct SettingsReport {
  const char* Middle;
  const char* Wording;  // the same with %1 for the file and %2 for the reason
};
constexpr char kSettingsReportStart[] = "The saved view settings in ";
constexpr char kSettingsReportEnd[] = "); the default settings are used.";
constexpr SettingsReport kSettingsReports[] = {
    {" cannot be read (",
     QT_TRANSLATE_NOOP("ViewSettings",
                       "The saved view settings in %1 cannot be read (%2); the default settings "
                       "are used.")},
    {" were damaged (",
     QT_TRANSLATE_NOOP("ViewSettings",
                       "The saved view settings in %1 were damaged (%2); the default settings are "
                       "used.")},
};

// The component's messages (hex::msg), each with its wording for the translators: the first
// line, its placeholders (%s, %d, %x) numbered as Qt numbers them.
struct ErrorText {
  const char* Message;
  const char* Wording;
};
constexpr ErrorText kErrorTexts[] = {
    {hex::msg::kOutOfBounds,
     QT_TRANSLATE_NOOP("EditorErrors", "Data position/length out of data bounds")},
    {hex::msg::kOutOfMemory,
     QT_TRANSLATE_NOOP("EditorErrors", "Out of memory while expanding memory stream")},
    {hex::msg::kOperationCancelled, QT_TRANSLATE_NOOP("EditorErrors", "Operation Cancelled")},
    {hex::msg::kStreamReadError, QT_TRANSLATE_NOOP("EditorErrors", "Stream read error")},
    {hex::msg::kStreamWriteError, QT_TRANSLATE_NOOP("EditorErrors", "Stream write error")},
    {hex::msg::kCannotOpen, QT_TRANSLATE_NOOP("EditorErrors", "Cannot open %1.")},
    {hex::msg::kCannotOpenFile, QT_TRANSLATE_NOOP("EditorErrors", "Cannot open file \"%1\". %2")},
    {hex::msg::kCannotCreateFile,
     QT_TRANSLATE_NOOP("EditorErrors", "Cannot create file \"%1\". %2")},
    {hex::msg::kCannotSaveReadOnly,
     QT_TRANSLATE_NOOP("EditorErrors", "Cannot save readonly file %1.")},
    {hex::msg::kCannotDeleteBackup,
     QT_TRANSLATE_NOOP("EditorErrors", "Cannot delete previous backup %1. (%2)")},
    {hex::msg::kCannotCreateBackup,
     QT_TRANSLATE_NOOP("EditorErrors", "Cannot create backup %1. (%2)")},
    {hex::msg::kInvalidSelectionStart,
     QT_TRANSLATE_NOOP("EditorErrors", "Invalid selection start")},
    {hex::msg::kInvalidSelectionEnd, QT_TRANSLATE_NOOP("EditorErrors", "Invalid selection end")},
    {hex::msg::kUnitInUnicodeMode,
     QT_TRANSLATE_NOOP("EditorErrors", "BytesPerUnit must be set to 2 in unicode mode")},
    {hex::msg::kTranslationInUnicodeMode,
     QT_TRANSLATE_NOOP("EditorErrors", "Translations cannot be used in unicode mode")},
    {hex::msg::kInvalidBytesPerLine,
     QT_TRANSLATE_NOOP("EditorErrors", "Invalid bytes per line argument")},
    {hex::msg::kInvalidBytesPerColumn,
     QT_TRANSLATE_NOOP("EditorErrors", "Invalid bytes per column argument")},
    {hex::msg::kOddSizedUnicode,
     QT_TRANSLATE_NOOP("EditorErrors", "Cannot use unicode mode with odd-sized files")},
    {hex::msg::kInvalidRadixCharacter,
     QT_TRANSLATE_NOOP("EditorErrors", "Invalid character %1, cannot convert using radix %2h")},
    {hex::msg::kCannotUpdateUndo, QT_TRANSLATE_NOOP("EditorErrors", "Cannot update undo storage")},
    {hex::msg::kInvalidBookmarkIndex, QT_TRANSLATE_NOOP("EditorErrors", "Invalid bookmark index")},
    {hex::msg::kMissingOffsetChar,
     QT_TRANSLATE_NOOP("EditorErrors", "Missing char in offset format: %1")},
    {hex::msg::kInvalidOffsetRadix,
     QT_TRANSLATE_NOOP("EditorErrors", "Invalid radix in offset format (%1h), allowed: 02h..10h")},
    {hex::msg::kInvalidRulerUnit,
     QT_TRANSLATE_NOOP("EditorErrors",
                       "Invalid ruler bytes per unit value %1, allowed: -1,1,2,4,8")},
    {hex::msg::kInvalidBookmarkBitmap,
     QT_TRANSLATE_NOOP("EditorErrors", "Invalid bookmark bitmap (must be 10 x 200 px)")},
    {hex::msg::kInvalidUnit,
     QT_TRANSLATE_NOOP("EditorErrors", "Invalid bytes per unit value %1, allowed: 1,2,4,8")},
    {hex::msg::kInvalidFontHeight,
     QT_TRANSLATE_NOOP("EditorErrors", "Invalid font height %1, allowed: 1..1332")},
    {platform::kOutOfMemoryText, QT_TRANSLATE_NOOP("EditorErrors", "Out of memory")},
};

constexpr std::string_view kLineBreak = "\r\n";

std::string_view FirstLine(std::string_view text) {
  return text.substr(0, text.find(kLineBreak));
}

// A message's first line as a pattern that takes its filled-in placeholders.
QRegularExpression PatternOf(std::string_view message) {
  QString pattern = QStringLiteral("^");
  for (std::size_t i = 0; i < message.size(); ++i) {
    if (message[i] == '%' && i + 1 < message.size()) {
      switch (message[++i]) {
        case 's':
          pattern += QStringLiteral("(.*)");
          continue;
        case 'd':
          pattern += QStringLiteral("(-?[0-9]+)");
          continue;
        case 'x':
          pattern += QStringLiteral("([0-9A-Fa-f]+)");
          continue;
        default:
          break;
      }
    }
    pattern += QRegularExpression::escape(QString(QChar::fromLatin1(message[i])));
  }
  return QRegularExpression(pattern + QStringLiteral("$"),
                            QRegularExpression::DotMatchesEverythingOption);
}

QString Translated(const char* context, std::string_view text) {
  const std::string source(text);
  return QCoreApplication::translate(context, source.c_str());
}

}  // namespace

QString TranslatedUndoStep(const std::string& description) {
  return Translated("UndoSteps", description);
}

QString TranslatedCharacterSetName(std::string_view name) {
  return Translated("CharacterSets", name);
}

QString TranslatedSettingsMessage(const std::string& message) {
  const std::string_view start = kSettingsReportStart;
  const std::string_view end = kSettingsReportEnd;
  if (message.size() < start.size() + end.size() || !message.starts_with(start) ||
      !message.ends_with(end))
    return QString::fromStdString(message);
  // The file comes first: its name ends at the first middle part (a reason may hold anything).
  const std::string_view inner =
      std::string_view(message).substr(start.size(), message.size() - start.size() - end.size());
  const SettingsReport* found = nullptr;
  std::size_t middle = std::string_view::npos;
  for (const SettingsReport& report : kSettingsReports) {
    const std::size_t at = inner.find(report.Middle);
    if (at < middle) {
      found = &report;
      middle = at;
    }
  }
  if (!found) return QString::fromStdString(message);
  const std::string path(inner.substr(0, middle));
  const std::string reason(inner.substr(middle + std::string_view(found->Middle).size()));
  return QCoreApplication::translate("ViewSettings", found->Wording)
      .arg(QString::fromStdString(path), QString::fromStdString(reason));
}

QString TranslatedErrorText(const std::string& shown) {
  const std::size_t lineBreak = shown.find(kLineBreak);
  const QString first = QString::fromStdString(shown.substr(0, lineBreak));
  const QString rest =
      lineBreak == std::string::npos ? QString() : QString::fromStdString(shown.substr(lineBreak));
  for (const ErrorText& text : kErrorTexts) {
    const QRegularExpressionMatch match = PatternOf(FirstLine(text.Message)).match(first);
    if (!match.hasMatch()) continue;
    const QString wording = QCoreApplication::translate("EditorErrors", text.Wording);
    // Filled in at once, so a name that holds "%2" stays as it is.
    switch (match.lastCapturedIndex()) {
      case 0:
        return wording + rest;
      case 1:
        return wording.arg(match.captured(1)) + rest;
      default:
        return wording.arg(match.captured(1), match.captured(2)) + rest;
    }
  }
  return QString::fromStdString(shown);
}

QString DocumentName(const std::string& path) {
  if (path == hex::TCustomHexEditor::kUntitled)
    return QCoreApplication::translate("EditorTexts", "Untitled");
  return QString::fromStdString(platform::BaseNameOf(path));
}

}  // namespace kestrave::app
