// Any offset format either parses or raises one of its messages; a refused one leaves the format,
// the gutter and every rendered offset exactly as they were.
#include <cstdlib>
#include <string>
#include <vector>

#include "FuzzInput.h"
#include "hexeditor/HexEditorError.h"
#include "hexeditor/HexEditorEx.h"
#include "hexeditor/document/HexMemoryStream.h"
#include "platform/MessageQueue.h"

namespace {

bool IsOneOfTheMessages(const std::string& message) {
  for (const char* start : {"Invalid bytes per unit value ",
                            "Missing char in offset format: ", "Invalid radix in offset format ("})
    if (message.rfind(start, 0) == 0) return true;
  return false;
}

std::vector<std::string> Offsets(kestrave::hex::THexEditorEx& editor) {
  std::vector<std::string> texts;
  for (const std::uint32_t offset : {0u, 1u, 16u, 255u, 4096u, 0xFFFFFFFFu})
    texts.push_back(editor.GetOffsetText(offset));
  texts.push_back(std::to_string(editor.ColWidth(0)));
  return texts;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static kestrave::platform::ManualMessageQueue queue;
  kestrave::fuzz::FuzzInput input(data, size);
  kestrave::hex::THexEditorEx editor;
  editor.SetMessageQueue(queue);
  editor.Loaded();
  kestrave::hex::THexMemoryStream bytes;
  bytes.SetSize(input.Byte() * 97);
  editor.LoadFromStream(bytes);
  editor.SetBytesPerRow(1 + input.Byte());
  editor.SetHexLowerCase(input.Byte() & 1);
  std::size_t split = input.Remaining() / 2;
  const std::string first(reinterpret_cast<const char*>(input.Take(split)), split);
  const std::string second(reinterpret_cast<const char*>(input.Rest()), input.Remaining());
  for (const std::string& format : {first, second}) {
    const std::string before = editor.OffsetFormat();
    const auto rendered = Offsets(editor);
    try {
      editor.SetOffsetFormat(format);
      if (editor.OffsetFormat() != format) std::abort();
    } catch (const kestrave::hex::EHexEditor& e) {
      if (!IsOneOfTheMessages(e.Message())) std::abort();
      if (editor.OffsetFormat() != before || Offsets(editor) != rendered) std::abort();
    }
  }
  queue.Pump();
  return 0;
}
