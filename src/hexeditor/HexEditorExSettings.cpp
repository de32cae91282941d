// Print settings and the settings text of the extended view.
#include <unordered_map>

#include "hexeditor/HexEditorEx.h"
#include "hexeditor/settings/EditorProperties.h"
#include "hexeditor/settings/PropertyText.h"

namespace kestrave::hex {
namespace {

std::string Lowered(std::string_view text) {
  std::string lowered(text);
  for (char& c : lowered)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c + 32);
  return lowered;
}

bool InPublicList(const std::string& name) {
  static const auto names = [] {
    std::vector<std::string> lowered;
    for (const std::string& n : PublicPropertyNames(EditorPublishedClass()))
      lowered.push_back(Lowered(n));
    return lowered;
  }();
  const std::string wanted = Lowered(name);
  for (const std::string& n : names)
    if (n == wanted) return true;
  return false;
}

struct SettingsLine {
  std::string_view Name;
  std::string_view Value;
};

// "Name=value" lines, ended by LF or CR LF; lines without "=" carry no setting.
std::vector<SettingsLine> SplitSettings(std::string_view text) {
  std::vector<SettingsLine> lines;
  while (!text.empty()) {
    const std::size_t end = text.find('\n');
    std::string_view line = text.substr(0, end);
    text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
    if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
    const std::size_t equals = line.find('=');
    if (equals != std::string_view::npos)
      lines.push_back({line.substr(0, equals), line.substr(equals + 1)});
  }
  return lines;
}

}  // namespace

void THexEditorEx::SetPrintFont(const platform::FontDescription& font) {
  printFont_ = font;
  useEditorFontForPrinting_ = false;
}

bool THexEditorEx::IsPublicProperty(const std::string& name) {
  if (!InPublicList(name)) return false;
  bool isPublic = true;
  if (OnQueryPublicProperty) OnQueryPublicProperty(*this, name, isPublic);
  return isPublic;
}

std::string THexEditorEx::GetSettingsText() {
  std::string text;
  ForEachValueProperty(
      EditorPublishedClass(), this,
      [&](const std::string& name, const TPublishedProperty& property, void* owner) {
        if (!IsPublicProperty(name)) return;
        text += name;
        text += '=';
        text += property.Get(owner);
        text += "\r\n";
      });
  return text;
}

void THexEditorEx::SetSettingsText(const std::string& text) {
  const PaintLockScope lock(*this);
  std::unordered_map<std::string, std::string_view> firstValues;
  for (const SettingsLine& line : SplitSettings(text)) {
    const std::string name(line.Name);
    if (!IsPublicProperty(name)) continue;
    const std::string_view value = firstValues.try_emplace(Lowered(name), line.Value).first->second;
    const TPublishedProperty* property = nullptr;
    void* owner = nullptr;
    if (ResolveValueProperty(EditorPublishedClass(), this, name, property, owner))
      property->Set(owner, value);
  }
}

}  // namespace kestrave::hex
