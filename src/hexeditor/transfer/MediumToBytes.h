#pragma once

#include <cstdint>
#include <vector>

#include "platform/ole/OleTypes.h"

namespace kestrave::hex {

// The bytes a pasted or dropped format stands for. Pointer and Size are the locked block of a
// global or metafile-picture medium (else nullptr and 0); Handle is the medium's handle; with
// BigEndian the units of Unicode text are byte-swapped. Empty when the medium holds nothing
// usable for the format.
std::vector<std::uint8_t> MediumToBytes(platform::ole::TClipFormat format,
                                        const std::uint8_t* pointer, std::uintptr_t handle,
                                        std::size_t size, bool bigEndian);

}  // namespace kestrave::hex
