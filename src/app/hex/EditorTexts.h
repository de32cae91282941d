#pragma once

#include <QString>
#include <string>
#include <string_view>

namespace kestrave::app {

// Texts the layers below the window give in English, in the user's language. Texts without a
// translation (a step the window named itself) stay as they are.

// An undo step's description (hex::TCustomHexEditor::UndoDescription), for "Undo ...".
QString TranslatedUndoStep(const std::string& description);
// A character translation's name (hex::kTranslationNames), for View > Translation.
QString TranslatedCharacterSetName(std::string_view name);
// The report of unreadable or damaged view settings (LoadViewSettings); the reason in it stays
// as the system or the editor gave it.
QString TranslatedSettingsMessage(const std::string& message);
// An error message of the hex-editor component ("Cannot open %s.\r\n(%s.)" filled in) as the
// window shows it: its first line in the user's language where a translation exists, the names
// and numbers in it as they were, and the detail lines after it (the system's reason) kept.
// Any other text comes back as it is.
QString TranslatedErrorText(const std::string& shown);
// A file's name as titles and headers show it: the last part of its path, and a new buffer's
// name ("Untitled", which the component keeps in English) in the user's language.
QString DocumentName(const std::string& path);

}  // namespace kestrave::app
