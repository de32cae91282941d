#pragma once

#include <QCoreApplication>
#include <functional>
#include <optional>
#include <string>

#include "app/hex/HexDialogs.h"
#include "platform/FileStamp.h"
#include "platform/FileWatch.h"

class QObject;
class QSocketNotifier;
class QTimer;

namespace kestrave::app {

// The file an editor's data was read from or saved to, as the disk held it then; watched, so
// that a change another program makes (a rewrite, a file renamed over it, a removal) is told
// to the user once, who may reload it or keep the editor's data.
class FileOnDisk {
  Q_DECLARE_TR_FUNCTIONS(kestrave::app::HexWindow)

 public:
  struct Hooks {
    // Whether the editor's data has changed since it was read or saved.
    std::function<bool()> Modified;
    // Whether the user looks at this file now: a question waits until then.
    std::function<bool()> Shown;
    // Whether other work or a dialog runs, which a question would come inside of.
    std::function<bool()> Busy;
    // Reads the file again (the user said so).
    std::function<void()> Reload;
  };
  // Timers and the watch's notifier are children of Owner.
  FileOnDisk(IHexDialogs& dialogs, Hooks hooks, QObject& owner);
  ~FileOnDisk();
  FileOnDisk(const FileOnDisk&) = delete;
  FileOnDisk& operator=(const FileOnDisk&) = delete;

  // The file, empty while the data was read from no file; watched.
  const std::string& Path() const { return path_; }
  const std::optional<platform::FileStamp>& Stamp() const { return stamp_; }
  void Note(const std::string& path, std::optional<platform::FileStamp> stamp);
  void Forget();
  // Looks whether another program changed, replaced or removed the file since it was read or
  // saved, and if so tells the user once. Runs when the file's folder reports a change, when
  // the window is activated and when the file's tab comes to the front; inside other work it
  // waits for the work's end.
  void Check();
  // Soon, once the events under way are handled.
  void CheckSoon();

 private:
  IHexDialogs& dialogs_;
  Hooks hooks_;
  std::string path_;
  std::optional<platform::FileStamp> stamp_;
  // The change the user was last told of, so it is told once; a default stamp for a removal.
  std::optional<platform::FileStamp> noticed_;
  bool asking_ = false;
  platform::FileWatch watch_;
  QSocketNotifier* notifier_ = nullptr;
  QTimer* check_ = nullptr;
};

}  // namespace kestrave::app
