#pragma once

// Dialogs for the hex window's benchmarks: they ask nothing of anyone. A search is for the
// pattern given (none: cancelled), a changed file is discarded, and an error ends the run, as a
// benchmark that met one measures nothing.
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <string>

#include "app/hex/HexDialogs.h"

namespace kestrave::bench {

class SilentHexDialogs : public app::IHexDialogs {
 public:
  explicit SilentHexDialogs(std::optional<app::FindRequest> find = {}) : find_(std::move(find)) {}

  std::optional<std::string> ChooseFileToOpen(const std::string&) override { return {}; }
  std::optional<std::string> ChooseFileToSave(const std::string&) override { return {}; }
  std::optional<app::FindRequest> AskWhatToFind(const app::FindRequest&) override { return find_; }
  std::optional<app::ReplaceRequest> AskWhatToReplace(const app::ReplaceRequest&) override {
    return {};
  }
  std::optional<std::string> AskOffset(const std::string&) override { return {}; }
  app::SaveChangesAnswer AskSaveChanges(const std::string&) override {
    return app::SaveChangesAnswer::Discard;
  }
  bool Confirm(const app::Question&) override { return false; }
  bool ShowProgress(const std::string&, int) override { return false; }
  void EndProgress() override {}
  void ShowMessage(const std::string&) override {}
  void ShowHelp(const std::string&, const std::string&) override {}
  void ShowError(const std::string& text) override {
    std::fprintf(stderr, "%s\n", text.c_str());
    std::abort();
  }

 private:
  std::optional<app::FindRequest> find_;
};

}  // namespace kestrave::bench
