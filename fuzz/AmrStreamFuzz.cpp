// Any bytes as a record: the stream reader never reads or reports past the record, the header
// and the frames it counts make up exactly its valid bytes, it agrees with a plain walk, and the
// walk in pieces answers exactly what the walk in one go does.
#include <cstdlib>
#include <vector>

#include "audio/AmrStream.h"
#include "audio/AmrStreamPieces.h"
#include "support/AmrReference.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  using namespace kestrave;
  std::vector<std::uint8_t> record(data, data + size);
  // A quarter of the inputs get a storage header in place of their first byte, so the walk over
  // frames is reached often; an input that starts like a header is taken as it is.
  if (size > 0 && data[0] < 0x40 && data[0] != '#') {
    static const char* const kHeaders[] = {"#!AMR\n", "#!AMR-WB\n"};
    const char* header = kHeaders[data[0] & 1];
    record.erase(record.begin());
    record.insert(record.begin(), header, header + std::char_traits<char>::length(header));
  }
  const audio::AmrStreamInfo info = audio::ReadAmrStream(record);
  const auto total = static_cast<std::int64_t>(record.size());
  if (info.ValidBytes < 0 || info.ValidBytes > total) std::abort();
  if (info.ValidBytes + info.TrailingBytes != total) std::abort();
  std::int64_t counted = info.HeaderBytes;
  for (std::int64_t at = info.HeaderBytes, frame = 0; frame < info.Frames; ++frame) {
    const int bytes =
        audio::FrameBytes(info.Codec, (record[static_cast<std::size_t>(at)] >> 3) & 15);
    if (bytes <= 0) std::abort();
    at += bytes;
    counted += bytes;
  }
  if (counted != info.ValidBytes) std::abort();
  const test::ReferenceWalk walk = test::WalkAmrFrames(record);
  if (walk.Codec != static_cast<int>(info.Codec) || walk.Frames != info.Frames ||
      (walk.Codec != 0 && walk.ValidBytes != info.ValidBytes))
    std::abort();
  if (info.End == audio::StreamEnd::EndOfRecord && info.TrailingBytes != 0) std::abort();
  // Walked in pieces of any size, joined: the same answer, field for field.
  const std::size_t pieceBytes = 1 + (size > 0 ? data[size - 1] % 97 : 0);
  const auto inPieces = audio::ReadAmrStreams({record, record}, 1, pieceBytes);
  for (const audio::AmrStreamInfo& other : inPieces)
    if (other.Codec != info.Codec || other.Frames != info.Frames ||
        other.ValidBytes != info.ValidBytes || other.End != info.End ||
        other.HeaderBytes != info.HeaderBytes)
      std::abort();
  return 0;
}
