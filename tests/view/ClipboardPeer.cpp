// A program on the desktop clipboard, for the round trip with xclip:
//   clipboard-peer copy TEXT MILLISECONDS   copies TEXT from an editor, says "ready", serves
//                                           the clipboard for the given time
//   clipboard-peer paste                    pastes into an empty editor; prints the formats it
//                                           was offered to choose from, then the bytes in hex
#include <QApplication>
#include <QTimer>
#include <cstdio>
#include <string>

#include "hexeditor/HexEditorEx.h"
#include "hexeditor/text/Conversions.h"
#include "hexeditor/transfer/FormatChoice.h"
#include "platform/ole/Clipboard.h"
#include "view/QtClipboard.h"
#include "view/QtMessageQueue.h"

namespace {

class RecordingChooser : public kestrave::hex::IFormatChooser {
 public:
  bool Choose(const std::vector<kestrave::hex::TClipFormat>& formats,
              kestrave::hex::TClipFormat& chosen, bool&) override {
    for (std::size_t i = 0; i < formats.size(); ++i)
      names += (i ? "," : "") + kestrave::hex::FormatDisplayName(formats[i]);
    chosen = formats.front();
    return true;
  }
  std::string names;
};

}  // namespace

int main(int argc, char** argv) {
  QApplication application(argc, argv);
  kestrave::view::QtMessageQueue queue;
  kestrave::platform::SetDefaultMessageQueue(&queue);
  kestrave::view::QtClipboard clipboard;
  kestrave::platform::ole::SetCurrentClipboard(&clipboard);
  const std::string mode = argc > 1 ? argv[1] : "";
  int result = 2;
  {
    kestrave::hex::THexEditorEx editor;
    editor.Loaded();
    if (mode == "copy" && argc == 4) {
      const std::string text = argv[2];
      editor.AppendBuffer(text.data(), static_cast<int>(text.size()), "", false);
      editor.SelectAll();
      editor.CopyToClipboard();
      std::printf("ready\n");
      std::fflush(stdout);
      QTimer::singleShot(std::stoi(argv[3]), &application, &QApplication::quit);
      result = application.exec();
    } else if (mode == "paste") {
      RecordingChooser chooser;
      editor.SetFormatChooser(&chooser);
      const bool pasted = editor.PasteFromClipboard();
      std::vector<std::uint8_t> bytes(static_cast<std::size_t>(editor.DataSize()));
      editor.ReadBlock(bytes.data(), 0, editor.DataSize());
      std::printf("%s\n%s\n", chooser.names.c_str(),
                  kestrave::hex::BytesToHexText(bytes.data(), editor.DataSize(), false).c_str());
      result = pasted ? 0 : 1;
    }
  }
  kestrave::platform::ole::SetCurrentClipboard(nullptr);
  kestrave::platform::SetDefaultMessageQueue(nullptr);
  return result;
}
