// Any settings text applies or raises a message; painting is never left locked, and what a view
// writes after a reading that succeeded reads back into a new view as the same text.
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "hexeditor/HexEditorEx.h"
#include "hexeditor/settings/EditorProperties.h"
#include "platform/Exception.h"
#include "platform/MessageQueue.h"

namespace {

// Lines of listed names with values cut from the input, so most lines reach a setter.
std::string NamedLines(kestrave::fuzz::FuzzInput& input) {
  static const std::vector<std::string> names =
      kestrave::hex::PublicPropertyNames(kestrave::hex::EditorPublishedClass());
  std::string text;
  while (input.Remaining() > 0) {
    const std::uint8_t pick = input.Byte();
    std::size_t length = input.Byte() % 24;
    const auto* value = reinterpret_cast<const char*>(input.Take(length));
    text += names[pick % names.size()] + "=" + std::string(value, length) + "\r\n";
  }
  return text;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static kestrave::platform::ManualMessageQueue queue;
  kestrave::fuzz::FuzzInput input(data, size);
  const bool named = input.Byte() & 1;
  const std::string text =
      named ? NamedLines(input)
            : std::string(reinterpret_cast<const char*>(input.Rest()), input.Remaining());
  kestrave::hex::THexEditorEx editor;
  editor.SetMessageQueue(queue);
  editor.Loaded();
  bool applied = true;
  try {
    editor.SetSettingsText(text);
  } catch (const kestrave::platform::Exception& e) {
    if (e.Message().empty()) std::abort();
    applied = false;
  }
  if (editor.PaintLocked()) std::abort();
  if (applied) {
    const std::string written = editor.GetSettingsText();
    kestrave::hex::THexEditorEx copy;
    copy.SetMessageQueue(queue);
    copy.Loaded();
    copy.SetSettingsText(written);  // raising here is a finding too
    if (copy.GetSettingsText() != written) std::abort();
  }
  queue.Pump();
  return 0;
}
