#include "app/hex/RecordsDock.h"

#include <QAbstractTableModel>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QSlider>
#include <QTableView>
#include <QTimer>
#include <QVBoxLayout>
#include <algorithm>
#include <set>

#include "app/core/ConverterWorkflow.h"
#include "app/hex/QtAudioOutput.h"
#include "platform/CodePages.h"
#include "platform/FileSystem.h"
#include "platform/UserInterface.h"
#include "view/QtBusyIndicator.h"
#include "view/StatusLog.h"

namespace kestrave::app {
namespace {

QString Translated(const char* text) {
  return QCoreApplication::translate("RecordsDock", text);
}

// Why a stream ends before its record, or a gap begins, as the report names it.
[[maybe_unused]] constexpr const char* kStreamEnds[] = {
    QT_TRANSLATE_NOOP("RecordsDock", "reserved frame type"),
    QT_TRANSLATE_NOOP("RecordsDock", "bad frame header"),
    QT_TRANSLATE_NOOP("RecordsDock", "truncated frame"),
    QT_TRANSLATE_NOOP("RecordsDock", "filler bytes"),
};

QString CauseText(audio::StreamEnd cause) {
  return Translated(std::string(audio::StreamEndText(cause)).c_str());
}

// Frames the stream reader recovered past damage; it recovers none yet.
// The panel's columns, all in this one table: a new one is a line here.
struct RecordColumn {
  const char* Title;
  bool Numeric;  // right-aligned
  QString (*Text)(const RecordRow& row);
};

const RecordColumn kColumns[] = {
    {QT_TRANSLATE_NOOP("RecordsDock", "#"), true,
     [](const RecordRow& row) { return QString::number(row.Number); }},
    {QT_TRANSLATE_NOOP("RecordsDock", "Start"), true,
     [](const RecordRow& row) { return QString::number(row.Start); }},
    {QT_TRANSLATE_NOOP("RecordsDock", "End"), true,
     [](const RecordRow& row) { return QString::number(row.End); }},
    {QT_TRANSLATE_NOOP("RecordsDock", "Codec"), false,
     [](const RecordRow& row) {
       return row.Stream.Codec == audio::AmrCodec::Unknown
                  ? QStringLiteral("\u2014")
                  : QString::fromLatin1(
                        audio::CodecName(row.Stream.Codec).data(),
                        static_cast<qsizetype>(audio::CodecName(row.Stream.Codec).size()));
     }},
    {QT_TRANSLATE_NOOP("RecordsDock", "Frames"), true,
     [](const RecordRow& row) { return QString::number(row.Stream.Frames); }},
    {QT_TRANSLATE_NOOP("RecordsDock", "Seconds"), true,
     [](const RecordRow& row) {
       return QString::number(static_cast<double>(row.Stream.DurationMilliseconds()) / 1000.0, 'f',
                              3);
     }},
    {QT_TRANSLATE_NOOP("RecordsDock", "Recovered"), true,
     [](const RecordRow& row) { return QString::number(row.Stream.RecoveredFrames); }},
    {QT_TRANSLATE_NOOP("RecordsDock", "Warning"), false,
     [](const RecordRow& row) { return RecordsDock::WarningText(row); }},
};
constexpr int kColumnCount = static_cast<int>(std::size(kColumns));

// From ".drf" in any letter case, as the command line names its files.
std::string WithoutDrf(std::string path) {
  if (path.size() > 4 && platform::AnsiLowerCase(path.substr(path.size() - 4)) == ".drf")
    path.resize(path.size() - 4);
  return path;
}

}  // namespace

// The rows of a scan, each made when the view asks for it: a container may hold millions.
class RecordTableModel : public QAbstractTableModel {
 public:
  RecordTableModel(const RecordReport& scan, QObject* parent)
      : QAbstractTableModel(parent), scan_(scan) {}

  void Reset() {
    beginResetModel();
    endResetModel();
  }

  int rowCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : scan_.Count();
  }
  int columnCount(const QModelIndex& parent) const override {
    return parent.isValid() ? 0 : kColumnCount;
  }

  QVariant data(const QModelIndex& index, int role) const override {
    if (!index.isValid() || index.row() >= scan_.Count()) return {};
    const RecordColumn& column = kColumns[index.column()];
    if (role == Qt::DisplayRole) return column.Text(scan_.Row(index.row()));
    if (role == Qt::TextAlignmentRole)
      return QVariant::fromValue(Qt::AlignVCenter |
                                 (column.Numeric ? Qt::AlignRight : Qt::AlignLeft));
    return {};
  }

  QVariant headerData(int section, Qt::Orientation orientation, int role) const override {
    if (orientation != Qt::Horizontal || role != Qt::DisplayRole || section < 0 ||
        section >= kColumnCount)
      return {};
    return Translated(kColumns[section].Title);
  }

 private:
  const RecordReport& scan_;
};

RecordsDock::RecordsDock(hex::THexEditorEx& editor, IHexDialogs& dialogs,
                         std::function<void(const std::function<void()>&)> run, QWidget* parent)
    : QDockWidget(tr("Records"), parent),
      editor_(editor),
      dialogs_(dialogs),
      run_(std::move(run)),
      model_(new RecordTableModel(scan_, this)),
      table_(new QTableView(this)),
      summary_(new QLabel(this)),
      exportWindow_(new QPushButton(tr("E&xport..."), this)),
      exportTrimmed_(new QPushButton(tr("&Trimmed AMR..."), this)),
      exportWav_(new QPushButton(tr("&WAV..."), this)),
      play_(new QPushButton(tr("&Play"), this)),
      position_(new QSlider(Qt::Horizontal, this)),
      audioNotice_(new QLabel(this)),
      rescan_(new QTimer(this)),
      follow_(new QTimer(this)) {
  setObjectName(QStringLiteral("records"));
  auto* content = new QWidget(this);
  auto* layout = new QVBoxLayout(content);
  layout->setContentsMargins(2, 2, 2, 2);
  table_->setModel(model_);
  table_->setSelectionBehavior(QAbstractItemView::SelectRows);
  table_->setSelectionMode(QAbstractItemView::ExtendedSelection);
  table_->setEditTriggers(QAbstractItemView::NoEditTriggers);
  table_->setTabKeyNavigation(false);  // Tab goes on to the buttons
  table_->verticalHeader()->hide();
  table_->verticalHeader()->setSectionResizeMode(QHeaderView::Fixed);
  table_->horizontalHeader()->setStretchLastSection(true);
  table_->setWordWrap(false);
  table_->setAccessibleName(tr("Records"));
  layout->addWidget(table_);
  layout->addWidget(summary_);
  auto* actions = new QHBoxLayout;
  exportWindow_->setToolTip(tr("Writes the picked records as \"Сохранить AMR\" writes them"));
  exportTrimmed_->setToolTip(tr("Writes the storage header and complete frames of each"));
  exportWav_->setToolTip(tr("Writes the sound of each, decoded, as 16-bit PCM"));
  for (QPushButton* button : {exportWindow_, exportTrimmed_, exportWav_, play_})
    actions->addWidget(button);
  position_->setAccessibleName(tr("Playing position"));
  position_->setEnabled(false);
  actions->addWidget(position_, 1);
  layout->addLayout(actions);
  layout->addWidget(audioNotice_);
  audioNotice_->hide();
  setWidget(content);
  setFocusProxy(table_);
  connect(exportWindow_, &QPushButton::clicked, this, [this] { Export(RecordForm::AsWindow); });
  connect(exportTrimmed_, &QPushButton::clicked, this, [this] { Export(RecordForm::Trimmed); });
  connect(exportWav_, &QPushButton::clicked, this, [this] { Export(RecordForm::Wav); });
  connect(play_, &QPushButton::clicked, this, [this] { PlayOrStop(); });
  connect(table_->selectionModel(), &QItemSelectionModel::selectionChanged, this, [this] {
    if (!showingRows_) SelectInView();
  });
  // A click or key on the slider moves the sound there; a drag, once let go.
  connect(position_, &QSlider::sliderReleased, this, [this] { SeekTo(position_->value()); });
  connect(position_, &QSlider::actionTriggered, this, [this](int action) {
    if (action == QAbstractSlider::SliderMove) return;  // a drag: told when released
    QMetaObject::invokeMethod(
        this, [this] { SeekTo(position_->value()); }, Qt::QueuedConnection);
  });
  rescan_->setSingleShot(true);
  connect(rescan_, &QTimer::timeout, this, [this] {
    if (scannedVersion_ != version_) Rescan();
  });
  follow_->setInterval(50);
  connect(follow_, &QTimer::timeout, this, [this] { FollowPlaying(); });
  summary_->setText(Summary());
}

RecordsDock::~RecordsDock() {
  if (output_) output_->Stop();
  table_->setModel(nullptr);  // the model reads scan_, which goes before the children
}

IAudioOutput& RecordsDock::Output() {
  // Made when first needed: the desktop's audio is not asked about before a record plays.
  if (!output_) output_ = std::make_unique<QtAudioOutput>();
  return *output_;
}

void RecordsDock::SetAudioOutput(std::unique_ptr<IAudioOutput> output) {
  StopPlaying();
  output_ = std::move(output);
  RefreshAudioNotice();
}

std::span<const std::uint8_t> RecordsDock::Data() const {
  return editor_.ViewBytes(0, editor_.DataSize());
}

void RecordsDock::showEvent(QShowEvent* event) {
  QDockWidget::showEvent(event);
  if (scannedVersion_ != version_) Rescan();
  RefreshAudioNotice();
}

void RecordsDock::DataChanged() {
  ++version_;
  // Typing into a large file waits for a pause before its records are found again.
  if (!isHidden()) rescan_->start(editor_.DataSize() < (8 << 20) ? 0 : 300);
}

void RecordsDock::Rescan() {
  // The scan lets the window draw itself meanwhile, and a paint never rescans: no nesting.
  if (scanning_) return;
  scanning_ = true;
  rescan_->stop();
  std::vector<int> keep;
  for (const int row : SelectedRows())
    keep.push_back(row);
  const std::uint64_t version = version_;
  run_([this] { ScanNow(); });
  scannedVersion_ = version;
  scanning_ = false;
  ShowRows(keep);
}

void RecordsDock::ScanNow() {
  view::QtBusyIndicator busy;
  const platform::BusyScope waiting(busy);
  scan_ = ScanRecordsResponsively(Data());
}

// The rows picked before stay picked while they are still there.
void RecordsDock::ShowRows(const std::vector<int>& keep) {
  showingRows_ = true;
  model_->Reset();
  table_->resizeColumnsToContents();
  SelectRows(keep);
  showingRows_ = false;
  summary_->setText(Summary());
  view::ReportShownText("records", Summary());
  if (OnRecordsChanged) OnRecordsChanged();
}

QString RecordsDock::Summary() const {
  if (scan_.Count() == 0) return tr("No AMR records (\"#!AMR\") in the data.");
  QString text = scan_.Count() == 1 ? tr("1 record") : tr("%n records", nullptr, scan_.Count());
  if (scan_.Magics != scan_.Markers) {
    const QString markers = scan_.Markers == 1
                                ? tr("1 record marker (\"audio/amr\")")
                                : tr("%n record markers (\"audio/amr\")", nullptr, scan_.Markers);
    const int writes = scan_.WindowWrites();
    text += QStringLiteral(", ") + markers + QStringLiteral(": ") +
            (writes == 0 ? tr("\"Сохранить AMR\" writes none")
                         : tr("\"Сохранить AMR\" writes records 1 to %1").arg(writes));
  }
  return text;
}

// Each part of the report's warning, said in the user's language; in English word for word.
QString RecordsDock::WarningText(const RecordRow& row) {
  QStringList parts;
  const auto count = [](std::int64_t n) { return static_cast<int>(n); };
  for (const WarningPart& part : row.WarningParts()) {
    switch (part.What) {
      case WarningPart::Multichannel:
        parts << tr("multichannel AMR (\"#!AMR_MC1.0\"), not read");
        break;
      case WarningPart::NoStorageHeader:
        parts << tr("no AMR storage header");
        break;
      case WarningPart::NoCompleteFrame:
        parts << tr("no complete frame");
        break;
      case WarningPart::HeaderRepaired:
        parts << tr("header repaired");
        break;
      case WarningPart::Gaps:
        parts << tr("%1 (%2) skipped, the first at %3 (%4): %5 recovered after it")
                     .arg(part.Count == 1 ? tr("1 gap") : tr("%n gaps", nullptr, count(part.Count)),
                          part.Bytes == 1 ? tr("1 byte")
                                          : tr("%n bytes", nullptr, count(part.Bytes)))
                     .arg(part.At)
                     .arg(CauseText(part.Cause),
                          part.Frames == 1 ? tr("1 frame")
                                           : tr("%n frames", nullptr, count(part.Frames)));
        break;
      case WarningPart::BytesAfterStream:
        parts << (part.Bytes == 1
                      ? tr("1 byte after the stream (%1)")
                      : tr("%n bytes after the stream (%1)", nullptr, count(part.Bytes)))
                     .arg(CauseText(part.Cause));
        break;
      case WarningPart::FramesPastDamage:
        parts << (part.Frames == 1 ? tr("1 decodable frame past the damage left out")
                                   : tr("%n decodable frames past the damage left out", nullptr,
                                        count(part.Frames)));
        break;
      case WarningPart::NotWrittenByWindow:
        parts << tr("not written by the window");
        break;
    }
  }
  return parts.join(QStringLiteral("; "));
}

std::vector<int> RecordsDock::SelectedRows() const {
  std::set<int> rows;
  for (const QModelIndex& index : table_->selectionModel()->selectedRows())
    if (index.row() < scan_.Count()) rows.insert(index.row());
  return {rows.begin(), rows.end()};
}

void RecordsDock::SelectRows(const std::vector<int>& indices) {
  QItemSelection selection;
  for (const int row : indices)
    if (row >= 0 && row < scan_.Count())
      selection.select(model_->index(row, 0), model_->index(row, kColumnCount - 1));
  table_->selectionModel()->select(selection, QItemSelectionModel::ClearAndSelect);
  if (!indices.empty() && indices.front() >= 0 && indices.front() < scan_.Count()) {
    table_->selectionModel()->setCurrentIndex(model_->index(indices.front(), 0),
                                              QItemSelectionModel::NoUpdate);
    table_->scrollTo(model_->index(indices.front(), 0));
  }
}

// From the first picked record's start to the last one's end, the caret on the start, which the
// view scrolls to.
void RecordsDock::SelectInView() {
  const std::vector<int> rows = SelectedRows();
  if (rows.empty() || scannedVersion_ != version_) return;
  const std::int64_t start = scan_.Row(rows.front()).Start;
  const std::int64_t end = scan_.Row(rows.back()).End;
  if (end >= editor_.DataSize()) return;
  run_([&] {
    editor_.SetSelectionStart(static_cast<int>(start));
    editor_.SetSelection(static_cast<int>(end), static_cast<int>(start));
    // The record's first row at the top, where the view can show it there.
    editor_.SetTopRow(
        std::min(static_cast<int>(start / editor_.BytesPerRow()), editor_.MaxTopRow()));
  });
}

std::string RecordsDock::SuggestedBase() const {
  const std::string& file = editor_.FileName();
  if (file.empty() || platform::BaseNameOf(file).empty()) return "records";
  return WithoutDrf(file);
}

// The base the records' numbers are added to. The form's own extension, typed out of habit,
// is not taken for part of it.
std::optional<std::string> RecordsDock::AskBase(RecordForm form) {
  std::optional<std::string> base = dialogs_.ChooseFileToSave(SuggestedBase());
  if (!base || base->empty()) return std::nullopt;
  const std::string extension = form == RecordForm::Wav ? ".wav" : ".amr";
  if (base->size() > extension.size() &&
      platform::AnsiLowerCase(base->substr(base->size() - extension.size())) == extension)
    base->resize(base->size() - extension.size());
  if (!ConverterWorkflow::BaseHasName(*base)) {
    dialogs_.ShowError(
        tr("The record files need a name to add their numbers to; nothing was written.")
            .toStdString());
    return std::nullopt;
  }
  return base;
}

void RecordsDock::Export(RecordForm form) {
  if (scannedVersion_ != version_) Rescan();
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) {
    dialogs_.ShowMessage(tr("Pick the records to export first.").toStdString());
    return;
  }
  const std::optional<std::string> base = AskBase(form);
  if (!base) return;
  std::vector<std::string> names;
  for (const int row : rows)
    names.push_back(RecordFileName(*base, row + 1, form));
  if (const std::optional<std::string> container = NameOfContainer(names, editor_.FileName())) {
    dialogs_.ShowError(tr("%1 is the file this window shows: a record cannot replace it. Nothing "
                          "was written.")
                           .arg(QString::fromStdString(*container))
                           .toStdString());
    return;
  }
  WriteSelected(rows, *base, form);
}

void RecordsDock::WriteSelected(const std::vector<int>& rows, const std::string& base,
                                RecordForm form) {
  WrittenRecords written;
  QStringList skipped;
  RecordWriteEvents events;
  events.KeepGoing = [&](int done, int total) {
    return !dialogs_.ShowProgress(
        tr("Writing record %1 of %2").arg(done + 1).arg(total).toStdString(), done * 100 / total);
  };
  events.Skipped = [&](const RecordRow& row, const std::string&) {
    skipped << QString::number(row.Number);
  };
  run_([&] { written = WriteRecords(Data(), scan_, rows, base, form, events); });
  dialogs_.EndProgress();
  if (written.Files.empty() && skipped.isEmpty() && !written.Stopped) return;  // failed: shown
  QStringList lines;
  lines << (written.Files.size() == 1
                ? tr("1 file written:")
                : tr("%n files written:", nullptr, static_cast<int>(written.Files.size())));
  for (const std::string& file : written.Files)
    lines << QString::fromStdString(file);
  if (!skipped.isEmpty())
    lines << tr("Without an AMR storage header, not written: %1")
                 .arg(skipped.join(QStringLiteral(", ")));
  if (written.Stopped) lines << tr("Stopped: the other records were not written.");
  dialogs_.ShowMessage(lines.join(QLatin1Char('\n')).toStdString());
}

// --- Playing ----------------------------------------------------------------------------------

void RecordsDock::RefreshAudioNotice() {
  if (isHidden() && !output_) return;
  const bool available = Output().Available();
  audioNotice_->setText(
      available ? QString()
                : tr("No audio output was found: records cannot be played here. Everything else "
                     "works."));
  audioNotice_->setVisible(!available);
  play_->setEnabled(available || playing_);
}

QString RecordsDock::AudioNotice() const {
  return audioNotice_->text();
}

void RecordsDock::PlayOrStop() {
  if (playing_) {
    StopPlaying();
    return;
  }
  if (scannedVersion_ != version_) Rescan();
  const std::vector<int> rows = SelectedRows();
  if (rows.empty()) {
    dialogs_.ShowMessage(tr("Pick a record to play first.").toStdString());
    return;
  }
  const RecordRow row = scan_.Row(rows.front());
  if (row.Stream.Codec == audio::AmrCodec::Unknown || row.Stream.Frames == 0) {
    dialogs_.ShowMessage(tr("Record %1 has no sound to play.").arg(row.Number).toStdString());
    return;
  }
  RefreshAudioNotice();
  if (!Output().Available()) return;
  StartPlaying(row);
}

void RecordsDock::StartPlaying(const RecordRow& row) {
  run_([&] {
    sound_ = DecodeRecord(Data(), row, scan_.Recovery());
    rate_ = audio::SampleRate(row.Stream.Codec);
  });
  if (sound_.empty()) return;
  if (!Output().Play(sound_, rate_, 0)) {
    dialogs_.ShowError(
        tr("The audio output refused to play record %1.").arg(row.Number).toStdString());
    return;
  }
  playing_ = true;
  play_->setText(tr("&Stop"));
  position_->setRange(0, static_cast<int>(static_cast<std::int64_t>(sound_.size()) * 1000 / rate_));
  position_->setValue(0);
  position_->setEnabled(true);
  follow_->start();
}

void RecordsDock::StopPlaying() {
  if (output_) output_->Stop();
  follow_->stop();
  playing_ = false;
  play_->setText(tr("&Play"));
  position_->setValue(0);
  position_->setEnabled(false);
}

void RecordsDock::FollowPlaying() {
  if (!Output().Playing()) {
    StopPlaying();
    return;
  }
  if (!position_->isSliderDown())
    position_->setValue(static_cast<int>(Output().Position() * 1000 / rate_));
}

void RecordsDock::SeekTo(int milliseconds) {
  if (!playing_) return;
  const std::int64_t sample = std::int64_t{milliseconds} * rate_ / 1000;
  if (sample >= static_cast<std::int64_t>(sound_.size()) || !Output().Play(sound_, rate_, sample))
    StopPlaying();
}

}  // namespace kestrave::app
