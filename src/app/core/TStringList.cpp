#include "app/core/TStringList.h"

#include "platform/Exception.h"
#include "platform/Format.h"

namespace kestrave::app {

const std::string& TStringList::Strings(int index) const {
  if (index < 0 || index >= Count())
    throw platform::EListError(
        platform::FormatMessage("List index out of bounds (%d)", {std::int64_t{index}}));
  return lines_[static_cast<std::size_t>(index)];
}

}  // namespace kestrave::app
