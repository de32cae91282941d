#pragma once

#include <QCoreApplication>
#include <QDockWidget>
#include <functional>
#include <memory>
#include <vector>

#include "app/core/RecordFiles.h"
#include "app/hex/AudioOutput.h"
#include "app/hex/HexDialogs.h"
#include "app/hex/RecordScan.h"
#include "hexeditor/HexEditorEx.h"

class QLabel;
class QPushButton;
class QSlider;
class QTableView;
class QTimer;

namespace kestrave::app {

class RecordTableModel;

// A dock under the view that lists the AMR records of the data as `kestrave-cli scan --records`
// reports them. Picking rows selects their bytes in the view; the picked records can be written
// as "Сохранить AMR" writes them, as trimmed AMR or as WAV, and one can be played.
class RecordsDock : public QDockWidget {
  Q_DECLARE_TR_FUNCTIONS(kestrave::app::RecordsDock)

 public:
  // Run carries out a step the way the window does (errors shown, status refreshed).
  RecordsDock(hex::THexEditorEx& editor, IHexDialogs& dialogs,
              std::function<void(const std::function<void()>&)> run, QWidget* parent);
  ~RecordsDock() override;

  // Finds the records of the data now; the window calls it after a load.
  void Rescan();
  // The data changed: the rows follow shortly while the panel shows, or when it shows.
  void DataChanged();
  const RecordReport& Records() const { return scan_; }
  // Told when the rows change, so the view draws the records' tint again.
  std::function<void()> OnRecordsChanged;

  QTableView& Table() { return *table_; }
  QString Summary() const;
  QString AudioNotice() const;
  // The rows picked, in order, as indices of Records().
  std::vector<int> SelectedRows() const;
  void SelectRows(const std::vector<int>& indices);
  // Asks for a base name and writes the picked records in Form.
  void Export(RecordForm form);
  // Plays the first picked record, or stops what plays.
  void PlayOrStop();
  bool Playing() const { return playing_; }
  // The output the panel plays on; the desktop's unless replaced.
  void SetAudioOutput(std::unique_ptr<IAudioOutput> output);

  // A record's warning in the user's language (English: the report's words).
  static QString WarningText(const RecordRow& row);

 protected:
  // A hidden panel is not kept up to date: it catches up when it shows.
  void showEvent(QShowEvent* event) override;

 private:
  IAudioOutput& Output();
  std::span<const std::uint8_t> Data() const;
  void ScanNow();
  void ShowRows(const std::vector<int>& keep);
  void SelectInView();
  // The suggested base: the container's name without ".drf".
  std::string SuggestedBase() const;
  std::optional<std::string> AskBase(RecordForm form);
  void WriteSelected(const std::vector<int>& rows, const std::string& base, RecordForm form);
  void StartPlaying(const RecordRow& row);
  void StopPlaying();
  void FollowPlaying();
  void SeekTo(int milliseconds);
  void RefreshAudioNotice();

  hex::THexEditorEx& editor_;
  IHexDialogs& dialogs_;
  std::function<void(const std::function<void()>&)> run_;
  RecordReport scan_;
  RecordTableModel* model_;
  QTableView* table_;
  QLabel* summary_;
  QPushButton* exportWindow_;
  QPushButton* exportTrimmed_;
  QPushButton* exportWav_;
  QPushButton* play_;
  QSlider* position_;
  QLabel* audioNotice_;
  QTimer* rescan_;
  QTimer* follow_;
  // Changes of the data counted, and the count the rows were found at.
  std::uint64_t version_ = 0;
  std::uint64_t scannedVersion_ = ~std::uint64_t{0};
  bool scanning_ = false;
  bool showingRows_ = false;
  std::unique_ptr<IAudioOutput> output_;
  std::vector<std::int16_t> sound_;
  int rate_ = 0;
  bool playing_ = false;
};

}  // namespace kestrave::app
