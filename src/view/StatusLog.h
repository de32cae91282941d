#pragma once

#include <QString>

namespace kestrave::view {

// What the windows show in their title and status line, as lines "kind<TAB>text" appended to the
// file named by KESTRAVE_STATUS_LOG. Scripts that drive the programs on a real desktop read what
// a user would read there; without the variable nothing is written.
void ReportShownText(const char* kind, const QString& text);

}  // namespace kestrave::view
