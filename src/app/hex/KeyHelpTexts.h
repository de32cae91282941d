#pragma once

#include <QString>
#include <string>

namespace kestrave::app {

// What a key does, as the editor's key help says it in English (hex::KeyHelp), in the user's
// language. Texts without a translation stay as they are.
QString TranslatedKeyEffect(const std::string& effect);

}  // namespace kestrave::app
