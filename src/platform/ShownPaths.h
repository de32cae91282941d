#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace kestrave::platform {

// File names are bytes; desktops show them as UTF-8, each byte that starts no well-formed UTF-8
// character shown as U+FFFD (as Qt decodes them). The name as shown, in UTF-8.
std::string ShownName(std::string_view bytes);

// What a path chosen in a dialog that knows names only as shown stands for on the disk.
struct ShownPathMatch {
  // The path as the disk names it: the one given where it exists or holds no U+FFFD; otherwise
  // each part holding one is taken as the folder's only entry shown that way. A part that
  // matches nothing stays as given (a new file to save) and the parts after it too.
  std::optional<std::string> Path;
  // Set instead of Path when a part is shown alike by several entries (which one was meant
  // cannot be told): the folder, and the part as given.
  std::string AmbiguousIn;
  std::string AmbiguousPart;
};

ShownPathMatch PathShownAs(const std::string& shown);

}  // namespace kestrave::platform
