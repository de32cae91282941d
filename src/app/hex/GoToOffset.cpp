#include "app/hex/GoToOffset.h"

#include <QCoreApplication>
#include <QString>

#include "app/hex/OffsetInput.h"

namespace kestrave::app {
namespace {

// The window's parts share its translation context.
struct Texts {
  Q_DECLARE_TR_FUNCTIONS(kestrave::app::HexWindow)
};

QString OffsetProblemText(OffsetProblem problem, const std::string& typed, int size) {
  const QString text = QString::fromStdString(typed).trimmed();
  switch (problem) {
    case OffsetProblem::NoData:
      return Texts::tr("There is no data to go to.");
    case OffsetProblem::Empty:
      return Texts::tr("Type an offset: 1234, 0x4D2, +16, -0x10 or 50%.");
    case OffsetProblem::NotAPercentage:
      return Texts::tr("\"%1\" is not a share from 0% to 100%.").arg(text);
    case OffsetProblem::NotAnOffset:
      return Texts::tr("\"%1\" is not an offset: type 1234, 0x4D2, +16, -0x10 or 50%.").arg(text);
    case OffsetProblem::OutsideTheData:
      return Texts::tr("Offset %1 lies outside the data, which runs from 0 to %2 (0x%3).")
          .arg(text)
          .arg(size - 1)
          .arg(QString::number(size - 1, 16).toUpper());
    case OffsetProblem::None:
      break;
  }
  return {};
}

}  // namespace

void GoToOffset(hex::THexEditorEx& editor, IHexDialogs& dialogs, std::string& lastTyped,
                const std::function<void(const std::function<void()>&)>& run) {
  const std::optional<std::string> typed = dialogs.AskOffset(lastTyped);
  if (!typed) return;
  lastTyped = *typed;
  const OffsetTarget target = ParseOffsetTarget(*typed, editor.CursorPosition(), editor.DataSize());
  if (!target.Valid()) {
    dialogs.ShowError(OffsetProblemText(target.Problem, *typed, editor.DataSize()).toStdString());
    return;
  }
  run([&] { editor.SetSelectionStart(static_cast<int>(target.Offset)); });
}

}  // namespace kestrave::app
