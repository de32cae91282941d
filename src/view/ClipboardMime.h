#pragma once

#include <QString>

#include "platform/ole/OleTypes.h"

namespace kestrave::view {

// How clipboard formats appear as MIME types between programs: 8-bit text as text/plain, the
// private block under a type of ours, every other registered name as a type of ours that
// carries the name; standard formats without a MIME counterpart as "application/x-kestrave-cf-N".
QString MimeTypeOf(platform::ole::TClipFormat format);
// The format a MIME type of ours stands for; 0 for any other type.
platform::ole::TClipFormat FormatOfMimeType(const QString& mimeType);

}  // namespace kestrave::view
