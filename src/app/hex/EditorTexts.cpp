#include "app/hex/EditorTexts.h"

#include <QCoreApplication>

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

}  // namespace kestrave::app
