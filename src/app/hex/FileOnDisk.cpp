#include "app/hex/FileOnDisk.h"

#include <QSocketNotifier>
#include <QTimer>
#include <cerrno>

namespace kestrave::app {
namespace {

// While other work or a dialog keeps the window from asking about its file, it looks again
// this often.
constexpr int kRetryMs = 250;

}  // namespace

FileOnDisk::FileOnDisk(IHexDialogs& dialogs, Hooks hooks, QObject& owner)
    : dialogs_(dialogs), hooks_(std::move(hooks)), check_(new QTimer(&owner)) {
  check_->setSingleShot(true);
  QObject::connect(check_, &QTimer::timeout, &owner, [this] { Check(); });
  if (watch_.Fd() >= 0) {
    notifier_ = new QSocketNotifier(watch_.Fd(), QSocketNotifier::Read, &owner);
    QObject::connect(notifier_, &QSocketNotifier::activated, &owner, [this] {
      if (watch_.Drain()) CheckSoon();
    });
  }
}

FileOnDisk::~FileOnDisk() {
  delete notifier_;  // before the watch's descriptor closes
  delete check_;
}

void FileOnDisk::Note(const std::string& path, std::optional<platform::FileStamp> stamp) {
  if (path != path_)
    watch_.Watch(path);
  else
    watch_.Drain();  // the window's own reading and writing
  path_ = path;
  stamp_ = stamp;
  noticed_.reset();
}

void FileOnDisk::Forget() {
  watch_.Watch({});
  path_.clear();
  stamp_.reset();
  noticed_.reset();
}

void FileOnDisk::CheckSoon() {
  if (!path_.empty()) check_->start(0);
}

void FileOnDisk::Check() {
  if (path_.empty() || !stamp_ || !hooks_.Shown()) return;
  // Not inside other work or a dialog (its own question included): a reload there would take
  // the data from under them.
  if (asking_ || hooks_.Busy()) {
    check_->start(kRetryMs);
    return;
  }
  errno = 0;
  const std::optional<platform::FileStamp> now = platform::StampOf(path_);
  if (!now && errno != ENOENT && errno != ENOTDIR) return;  // cannot be told (no permission)
  if (now == stamp_) {
    noticed_.reset();  // changed back: a new change is told again
    return;
  }
  const platform::FileStamp seen = now.value_or(platform::FileStamp{});
  if (noticed_ == seen) return;
  noticed_ = seen;
  asking_ = true;
  const QString name = QString::fromStdString(path_);
  if (!now) {
    dialogs_.ShowMessage(tr("The file %1 has been removed by another program. The window keeps "
                            "its data; saving writes the file again.")
                             .arg(name)
                             .toStdString());
  } else {
    QString text = tr("The file %1 has been changed by another program.").arg(name);
    if (hooks_.Modified())
      text += QLatin1Char('\n') + tr("Reloading it discards the changes made in this window.");
    if (dialogs_.Confirm({text.toStdString(), tr("&Reload").toStdString(),
                          tr("&Keep This Version").toStdString()}))
      hooks_.Reload();
  }
  asking_ = false;
}

}  // namespace kestrave::app
