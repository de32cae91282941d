// Any settings text applies or raises a message; painting is never left locked, what a view
// writes after a reading that succeeded reads back into a new view as the same text, and a view
// so set lays out and paints some data without overflowing its arithmetic.
#include <cctype>
#include <cstdlib>
#include <string>

#include "FuzzInput.h"
#include "SettingsLines.h"
#include "hexeditor/HexEditorEx.h"
#include "hexeditor/document/HexMemoryStream.h"
#include "hexeditor/paint/PaintModel.h"
#include "platform/Exception.h"
#include "platform/MessageQueue.h"

namespace {

// A canvas that only measures, as a fixed-pitch font would.
class NullCanvas : public kestrave::hex::IHexCanvas {
 public:
  void FillRect(const kestrave::hex::PaintRect&, kestrave::hex::TColor) override {}
  void DrawText(const kestrave::hex::PaintRect&, int, int, std::u16string_view,
                kestrave::hex::TColor, kestrave::hex::TColor) override {}
  void DrawLine(int, int, int, int, kestrave::hex::TColor) override {}
  void DrawFocusRect(const kestrave::hex::PaintRect&) override {}
  void DrawFrame(const kestrave::hex::PaintRect&, kestrave::hex::TColor) override {}
  void DrawImage(int, int, const kestrave::hex::TBookmarkImage&) override {}
  int TextWidth(std::u16string_view text) override { return 8 * static_cast<int>(text.size()); }
};

// Some data, a window, a cursor near the end, and one paint of the whole window.
void LayOutAndPaint(kestrave::hex::THexEditorEx& editor, std::uint8_t shape) {
  kestrave::hex::THexMemoryStream bytes;
  bytes.SetSize(1 + shape * 37);
  editor.LoadFromStream(bytes);
  editor.SetClientSize(200 + shape * 13, 100 + shape * 7);
  editor.SetSelection(editor.DataSize() - 1, editor.DataSize() / 2);
  editor.SetInCharField(shape & 1);
  NullCanvas canvas;
  kestrave::hex::THexPaintModel model(editor);
  model.Paint(canvas, {0, 0, editor.ClientWidth(), editor.ClientHeight()});
  editor.CaretRect();
}

bool UnitFollowsALength(const kestrave::hex::THexEditorEx& editor) {
  const std::string& format = editor.OffsetFormat();
  if (format.size() < 2 || format[1] != '%') return false;
  const char unit = static_cast<char>(std::toupper(static_cast<unsigned char>(format[0])));
  return unit == 'R' || unit == 'C';
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  static kestrave::platform::ManualMessageQueue queue;
  kestrave::fuzz::FuzzInput input(data, size);
  const std::uint8_t flags = input.Byte();
  const std::string text =
      flags & 1 ? kestrave::fuzz::SettingsLines(input)
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
    try {
      copy.SetSettingsText(written);
    } catch (const kestrave::platform::Exception& e) {
      // An offset unit that follows the row or column length keeps a length that is not a
      // unit (the length setters do not check it), and reading the format back checks it.
      // Any other refusal of what a view wrote is a finding.
      if (!UnitFollowsALength(editor) || e.Message().rfind("Invalid bytes per unit value", 0) != 0)
        std::abort();
      return 0;
    }
    if (copy.GetSettingsText() != written) std::abort();
    LayOutAndPaint(editor, flags >> 1);
  }
  queue.Pump();
  return 0;
}
