#pragma once

#include <QDialog>
#include <vector>

#include "hexeditor/transfer/FormatChoice.h"

class QCheckBox;
class QListWidget;
class QPushButton;

namespace kestrave::view {

// "Select Data Format": the offered formats by name, most preferred first, with a "Hex Text"
// box that applies to 8-bit text. A quarter of the screen in each direction.
class TFormatSelDialog : public QDialog {
 public:
  TFormatSelDialog(const std::vector<hex::TClipFormat>& formats, bool hexText,
                   QWidget* owner = nullptr);

  // Runs the dialog; on OK writes the choice (and the box, for 8-bit text) and remembers it.
  bool Execute(hex::TClipFormat& chosen, bool& hexText);

  QPushButton* OKButton;
  QPushButton* CancelButton;
  QCheckBox* HexTextCheck;
  QListWidget* FormatList;

 private:
  void Fill(const std::vector<hex::TClipFormat>& formats);
  void ApplyBoxRule();
  hex::TClipFormat SelectedFormat() const;
};

// The dialog as the editors' format chooser.
class QtFormatChooser : public hex::IFormatChooser {
 public:
  bool Choose(const std::vector<hex::TClipFormat>& formats, hex::TClipFormat& chosen,
              bool& hexText) override;
};

}  // namespace kestrave::view
