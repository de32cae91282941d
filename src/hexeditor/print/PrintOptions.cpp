#include "hexeditor/print/PrintOptions.h"

namespace kestrave::hex {

void THexPrintOptions::Assign(const platform::TPersistent* source) {
  const auto* options = dynamic_cast<const THexPrintOptions*>(source);
  if (!options) platform::ThrowAssignError(source, *this);
  margins_ = options->margins_;
  texts_ = options->texts_;
  flags_ = options->flags_;
}

}  // namespace kestrave::hex
