#include "app/core/ConverterWorkflow.h"

#include <algorithm>
#include <charconv>
#include <cstring>

#include "app/core/ConverterTexts.h"
#include "hexeditor/Messages.h"
#include "platform/Exception.h"
#include "platform/FileReplacement.h"
#include "platform/FileSystem.h"
#include "platform/Format.h"
#include "platform/Pieces.h"
#include "platform/SystemError.h"
#include "platform/UserInterface.h"
#include "platform/ole/Clipboard.h"

namespace kestrave::app {

ConverterWorkflow::ConverterWorkflow() : statusText_(text::kTitle) {
  Configure(HexEditorEx1);
  Configure(HexEditorEx2);
}

void ConverterWorkflow::Configure(hex::THexEditorEx& editor) {
  editor.SetBytesPerRow(16);
  editor.SetTranslation(hex::tkAsIs);
  editor.SetOffsetFormat("-!10:0x|");
  editor.SetBackupExtension(".bak");
  editor.SetFont({"Courier New", 15});
  // The records reach the disk together when the export ends, not one by one.
  editor.SetSyncOnSave(false);
  editor.Loaded();
}

void ConverterWorkflow::OpenContainer(const std::string& path) {
  ListBox1.Clear();
  ListBox2.Clear();
  containerIdentity_.reset();
  HexEditorEx1.LoadFromFile(path);
  containerIdentity_ = platform::IdentityOf(path);
  Action1Execute();
}

void ConverterWorkflow::Action1Execute() {
  // Both scans from one pass over the data; each then takes its steps as it always has.
  const auto starts = FindAllStarts({text::kAmrMagic, text::kAmrMarker});
  ScanMagic(starts ? &(*starts)[0] : nullptr);
  ScanMarkers(starts ? &(*starts)[1] : nullptr);
  if (ListBox1.Count() > 0) {
    statusText_ = text::kFoundPrefix + std::to_string(ListBox1.Count()) + text::kFoundSuffix;
    saveEnabled_ = true;
  } else {
    statusText_ = text::kNoRecords;
    saveEnabled_ = false;
  }
}

std::optional<std::vector<std::vector<int>>> ConverterWorkflow::FindAllStarts(
    const std::vector<std::string>& texts) {
  std::vector<std::string> patterns;
  for (const std::string& text : texts)
    patterns.push_back(HexEditorEx1.BuildFindPattern(text, true, false));
  return HexEditorEx1.FindAllBytes(patterns, true);
}

// Each hit is selected and listed; the next search starts on the hit's last byte, where the
// cursor now stands. Neither pattern begins with its own last byte, so no hit is found twice.
void ConverterWorkflow::ScanFor(const std::string& text, TStringList& list,
                                const std::vector<int>* starts) {
  const std::string pattern = HexEditorEx1.BuildFindPattern(text, true, false);
  const int length = static_cast<int>(pattern.size());
  if (starts) list.Reserve(list.Count() + static_cast<int>(starts->size()));
  // The known starts are passed in order: each search starts after the last hit, so the next
  // one is found by stepping on, not by searching all of them again.
  auto next = starts ? starts->begin() : std::vector<int>::const_iterator();
  int previous = 0;
  for (;;) {
    const int start = std::max(0, HexEditorEx1.CursorPosition());
    int hit = -1;
    if (starts) {
      if (start < previous) next = starts->begin();
      while (next != starts->end() && *next < start)
        ++next;
      if (next != starts->end()) hit = *next;
      previous = start;
    } else {
      hit = HexEditorEx1.FindBytes(reinterpret_cast<const std::uint8_t*>(pattern.data()), length,
                                   start, HexEditorEx1.DataSize() - 1, true);
    }
    if (hit == -1) return;
    HexEditorEx1.SetSelectionStart(hit + length - 1);
    HexEditorEx1.SetSelectionEnd(hit);
    list.Add(std::to_string(hit));
  }
}

void ConverterWorkflow::ScanMagic(const std::vector<int>* starts) {
  ScanFor(text::kAmrMagic, ListBox1, starts);
  HexEditorEx1.SetSelectionStart(0);
  HexEditorEx1.SetSelectionEnd(1);
}

void ConverterWorkflow::ScanMarkers(const std::vector<int>* starts) {
  ScanFor(text::kAmrMarker, ListBox2, starts);
}

void ConverterWorkflow::Button2Click() {
  const auto starts = FindAllStarts({text::kAmrMagic});
  ScanMagic(starts ? &(*starts)[0] : nullptr);
}

void ConverterWorkflow::Button3Click() {
  const auto starts = FindAllStarts({text::kAmrMarker});
  ScanMarkers(starts ? &(*starts)[0] : nullptr);
}

namespace {

// A list line as the decimal integer it holds.
int LineValue(const std::string& line) {
  int value = 0;
  const char* end = line.data() + line.size();
  const auto [ptr, error] = std::from_chars(line.data(), end, value);
  if (line.empty() || error != std::errc() || ptr != end)
    throw platform::Exception(platform::FormatMessage(text::kNotAnInteger, {line}));
  return value;
}

}  // namespace

std::vector<std::string> ConverterWorkflow::ExportRecords(const std::string& base,
                                                          const RecordWritten& recordWritten) {
  std::vector<std::string> written;
  const int count = ListBox2.Count();
  // Record n needs magic line n and, but for the last, line n + 1: with more markers than magics
  // the export stops at the first record whose line is missing, so only the records before it
  // can be written and only their names are checked (a million markers make no million names).
  const int magics = ListBox1.Count();
  RefuseRecordNames(base, count <= magics ? count : std::max(magics - 1, 0));
  for (int i = 0; i < count; ++i) {
    const int start = LineValue(ListBox1.Strings(i));
    const int end =
        i == count - 1 ? HexEditorEx1.DataSize() - 1 : LineValue(ListBox1.Strings(i + 1)) - 1;
    std::string fileName = RecordFileName(base, i + 1);
    ExportRecord(i, start, end, fileName, recordWritten);
    written.push_back(std::move(fileName));
  }
  // One wait for all the records, before the export reports success.
  if (const auto failure = platform::SyncToDisk(written))
    throw platform::EFCreateError(platform::FormatMessage(
        hex::msg::kCannotCreateFile, {failure->Path, platform::SystemErrorText(failure->Error)}));
  return written;
}

std::string ConverterWorkflow::RecordFileName(const std::string& base, int number) {
  return base + "_" + std::to_string(number) + ".amr";
}

bool ConverterWorkflow::BaseHasName(const std::string& base) {
  const std::string name = platform::BaseNameOf(base);
  return !name.empty() && name != "." && name != "..";
}

// The names of the record files are refused before anything is written when they cannot be
// right: a base without a name would write "_1.amr" wherever the process happens to be, and a
// record written over the container itself (by its name, a link or another hard link) destroys
// it.
void ConverterWorkflow::RefuseRecordNames(const std::string& base, int count) const {
  if (!BaseHasName(base)) throw platform::Exception(text::kNoRecordBase);
  RefuseContainerAsTarget(count, [&](int number) { return RecordFileName(base, number); });
}

void ConverterWorkflow::RefuseContainerAsTarget(
    int count, const std::function<std::string(int number)>& fileNameOf) const {
  if (count <= 0) return;
  std::vector<platform::FileIdentity> container;
  for (const auto identity : {platform::IdentityOf(HexEditorEx1.FileName()), containerIdentity_})
    if (identity) container.push_back(*identity);
  for (int number = 1; number <= count; ++number) {
    const std::string fileName = fileNameOf(number);
    const std::optional<platform::FileIdentity> target = platform::IdentityOf(fileName);
    if (target && std::find(container.begin(), container.end(), *target) != container.end())
      throw platform::Exception(platform::FormatMessage(text::kRecordOverContainer, {fileName}));
  }
}

// One record: select it, empty the scratch buffer, copy, paste, check, save, empty the clipboard.
// A record may be hundreds of megabytes: the windows get to draw themselves between the steps,
// though not while the record waits on the clipboard, where another program could take it over.
void ConverterWorkflow::ExportRecord(int index, int start, int end, const std::string& fileName,
                                     const RecordWritten& recordWritten) {
  HexEditorEx1.SetSelectionStart(start);
  HexEditorEx1.SetSelectionEnd(end);
  HexEditorEx2.SelectAll();
  // The scratch buffer's history is cleared below: a record of the cut would copy the whole
  // previous record for nothing.
  HexEditorEx2.WithoutUndo([this] { HexEditorEx2.CutToClipboard(); });
  platform::KeepResponsive();
  HexEditorEx1.CopyToClipboard();
  HexEditorEx2.CreateEmptyFile(text::kScratchName);
  HexEditorEx2.PasteFromClipboard();
  platform::KeepResponsive();
  // Another program may have replaced the clipboard meanwhile, or the paste may have found
  // nothing: a record file must hold the record or not be written at all.
  if (!ScratchHoldsRecord(start, end))
    throw platform::Exception(
        platform::FormatMessage(text::kRecordNotTransferred, {std::int64_t{index + 1}}));
  HexEditorEx2.SaveToFile(fileName, true);
  if (recordWritten) recordWritten(fileName);
  platform::KeepResponsive();
  if (!platform::ole::CurrentClipboard().EmptyClipboard())
    throw platform::Exception(text::kCannotOpenClipboard);
  // Otherwise the record's copy would live on in its editor while the next record is cut.
  HexEditorEx1.ReleaseClipboardCopy();
  HexEditorEx2.ReleaseClipboardCopy();
}

bool ConverterWorkflow::ScratchHoldsRecord(int start, int end) const {
  const std::int64_t length = std::int64_t{end} - start + 1;
  if (HexEditorEx2.DataSize() != std::max<std::int64_t>(length, 0)) return false;
  constexpr int kPiece = 1 << 16;
  std::vector<std::uint8_t> expected(kPiece);
  std::vector<std::uint8_t> actual(kPiece);
  // A record may be as long as a buffer can be: the pieces are counted in 64 bits.
  return platform::ForEachPiece(
      0, HexEditorEx2.DataSize(), kPiece, [&](std::int64_t at, std::int64_t count) {
        // Every piece lies inside both buffers, whose positions fit an int.
        const auto offset = static_cast<int>(at);
        const auto length = static_cast<int>(count);
        HexEditorEx1.ReadBlock(expected.data(), start + offset, length);
        HexEditorEx2.ReadBlock(actual.data(), offset, length);
        platform::KeepResponsive();
        return std::memcmp(expected.data(), actual.data(), static_cast<std::size_t>(length)) == 0;
      });
}

}  // namespace kestrave::app
