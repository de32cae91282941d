#include <gtest/gtest.h>

#include <cstring>

#include "platform/Exception.h"
#include "platform/ole/Clipboard.h"
#include "platform/ole/ClipboardFormats.h"
#include "platform/ole/FormatEtcEnumerator.h"
#include "platform/ole/GdiObjects.h"
#include "platform/ole/GlobalMemory.h"
#include "platform/ole/Medium.h"
#include "platform/ole/OleError.h"
#include "platform/ole/StaticDataObject.h"

namespace kestrave::platform::ole {
namespace {

std::vector<std::uint8_t> Bytes(std::string_view text) {
  return {text.begin(), text.end()};
}

TEST(GlobalMemory, BlocksAreCheckedHandlesWithSizeAndLocks) {
  const std::size_t before = GlobalBlockCount();
  const HGLOBAL block = GlobalAlloc(GMEM_MOVEABLE | GMEM_ZEROINIT, 5);
  ASSERT_NE(block, 0u);
  EXPECT_EQ(GlobalSize(block), 5u);
  std::uint8_t* bytes = GlobalLock(block);
  ASSERT_NE(bytes, nullptr);
  EXPECT_EQ(bytes[4], 0) << "zero-filled";
  EXPECT_TRUE(GlobalLock(block));
  EXPECT_TRUE(GlobalUnlock(block)) << "still locked once";
  EXPECT_FALSE(GlobalUnlock(block));
  EXPECT_EQ(GlobalFree(block), 0u);
  EXPECT_EQ(GlobalLock(block), nullptr) << "a freed handle is refused, not followed";
  EXPECT_EQ(GlobalSize(block), 0u);
  EXPECT_EQ(GlobalFree(block), block);
  EXPECT_EQ(GlobalBlockCount(), before);
}

TEST(ClipboardFormats, NamesGetStableIdsFrom0xC000IgnoringCase) {
  const TClipFormat first = RegisterClipboardFormatA("Kestrave Test Format");
  EXPECT_GE(first, 0xC000);
  EXPECT_EQ(RegisterClipboardFormatA("KESTRAVE test format"), first);
  EXPECT_NE(RegisterClipboardFormatA("Another Test Format"), first);
  EXPECT_EQ(RegisterClipboardFormatA(""), 0);
  char name[8];
  EXPECT_EQ(GetClipboardFormatNameA(first, name, sizeof name), 7);
  EXPECT_STREQ(name, "Kestrav") << "cut to the buffer";
  EXPECT_EQ(GetClipboardFormatNameA(0xBFFF, name, sizeof name), 0);
  EXPECT_EQ(ClipboardFormatName(first), "Kestrave Test Format");
}

TEST(DropFiles, ListsRoundTripAndAreReadByIndex) {
  const HGLOBAL drop = MakeDropFiles({"/tmp/a.drf", "/home/u/b c.bin"});
  EXPECT_EQ(DragQueryFileA(drop, 0xFFFFFFFFu, nullptr, 0), 2u);
  EXPECT_EQ(DragQueryFileA(drop, 1, nullptr, 0), 15u) << "the length it needs";
  char name[261];
  EXPECT_EQ(DragQueryFileA(drop, 0, name, sizeof name), 10u);
  EXPECT_STREQ(name, "/tmp/a.drf");
  char tiny[5];
  EXPECT_EQ(DragQueryFileA(drop, 1, tiny, sizeof tiny), 4u);
  EXPECT_STREQ(tiny, "/hom");
  EXPECT_EQ(DragQueryFileA(drop, 2, name, sizeof name), 0u);
  GlobalFree(drop);
}

TEST(DropFiles, WideListsAndMalformedBlocks) {
  std::vector<std::uint8_t> block(20, 0);
  block[0] = 20;
  block[16] = 1;  // wide
  for (const char c : std::string("/x\0/yz\0\0", 8)) {
    block.push_back(static_cast<std::uint8_t>(c));
    block.push_back(0);
  }
  EXPECT_EQ(DropFileNames(block.data(), block.size()), (std::vector<std::string>{"/x", "/yz"}));
  EXPECT_TRUE(DropFileNames(block.data(), 10).empty()) << "shorter than the header";
  block[0] = 0xFF;
  EXPECT_TRUE(DropFileNames(block.data(), block.size()).empty()) << "names past the end";
  std::vector<std::uint8_t> unterminated(20, 0);
  unterminated[0] = 20;
  unterminated.push_back('a');
  EXPECT_TRUE(DropFileNames(unterminated.data(), unterminated.size()).empty());
}

TEST(GdiObjects, BitmapsPalettesAndMetafilesByHandle) {
  const HBITMAP bitmap = CreateBitmap32(2, 1, {0x00FF0000, 0x000000FF});
  const HBITMAP copy = CopyImage(bitmap);
  ASSERT_NE(copy, 0u);
  const auto image = BitmapFileImage(copy);
  ASSERT_EQ(image.size(), 14u + 40 + 8);
  EXPECT_EQ(image[0], 'B');
  EXPECT_EQ(image[1], 'M');
  EXPECT_EQ(image[2], image.size()) << "file size in the header";
  EXPECT_EQ(image[10], 54) << "pixels after both headers";
  EXPECT_EQ(image[28], 32) << "32 bits per pixel";
  EXPECT_EQ(image[56], 0xFF) << "first pixel's red byte";
  EXPECT_EQ(CreateBitmap32(2, 2, {1}), 0u) << "pixel count must match";
  const HPALETTE palette = CreatePalette({0x010203, 0x040506, 0x070809});
  EXPECT_EQ(PaletteEntryCount(palette), 3);
  std::uint32_t entries[4] = {};
  EXPECT_EQ(GetPaletteEntries(palette, 1, 4, entries), 2);
  EXPECT_EQ(entries[0], 0x040506u);
  const HENHMETAFILE emf = SetEnhMetaFileBits(Bytes("EMF!"));
  const HENHMETAFILE emfCopy = CopyEnhMetaFile(emf);
  EXPECT_EQ(GetEnhMetaFileBits(emfCopy), Bytes("EMF!"));
  const HMETAFILE wmf = SetMetaFileBitsEx(Bytes("WMF"));
  EXPECT_EQ(GetMetaFileBitsEx(wmf), Bytes("WMF"));
  for (const std::uintptr_t handle : {bitmap, copy, palette, emf, emfCopy, wmf})
    EXPECT_TRUE(DeleteObject(handle));
  EXPECT_FALSE(DeleteObject(bitmap));
  EXPECT_EQ(PaletteEntryCount(palette), 0);
  EXPECT_TRUE(BitmapFileImage(bitmap).empty());
}

TEST(FormatEtcEnumerator, NextSkipResetAndClone) {
  FORMATETC a, b, c;
  a.cfFormat = 1;
  b.cfFormat = 2;
  c.cfFormat = 3;
  ComPtr<IEnumFORMATETC> formats(new TFormatEtcEnumerator({a, b, c}));
  FORMATETC got[4];
  std::uint32_t fetched = 0;
  EXPECT_EQ(formats->Next(1, got, &fetched), S_OK);
  EXPECT_EQ(got[0].cfFormat, 1);
  IEnumFORMATETC* raw = nullptr;
  ASSERT_EQ(formats->Clone(&raw), S_OK);
  ComPtr<IEnumFORMATETC> clone(raw);
  raw->Release();
  EXPECT_EQ(formats->Skip(3), S_FALSE) << "only two remain";
  EXPECT_EQ(formats->Skip(2), S_OK);
  EXPECT_EQ(formats->Next(1, got, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 0u);
  EXPECT_EQ(clone->Next(4, got, &fetched), S_FALSE);
  EXPECT_EQ(fetched, 2u) << "the clone goes on from where the original was";
  EXPECT_EQ(got[0].cfFormat, 2);
  EXPECT_EQ(formats->Reset(), S_OK);
  EXPECT_EQ(formats->Next(3, got, nullptr), S_OK);
}

TEST(InProcessClipboard, HoldsOneObjectAndCanBeHeldOpenElsewhere) {
  InProcessClipboard clipboard;
  ComPtr<IDataObject> text(new TStaticDataObject);
  static_cast<TStaticDataObject*>(text.Get())
      ->AddBytes(CF_TEXT, Bytes(std::string_view("hi\0", 3)));
  EXPECT_EQ(clipboard.SetClipboard(text.Get()), S_OK);
  EXPECT_EQ(clipboard.IsCurrentClipboard(text.Get()), S_OK);
  clipboard.SetHeldOpenElsewhere(true);
  EXPECT_FALSE(clipboard.EmptyClipboard());
  EXPECT_EQ(clipboard.SetClipboard(nullptr), CLIPBRD_E_CANT_OPEN);
  clipboard.SetHeldOpenElsewhere(false);
  EXPECT_EQ(clipboard.FlushClipboard(), S_OK);
  EXPECT_EQ(clipboard.IsCurrentClipboard(text.Get()), S_FALSE) << "flushed into its own copy";
  ComPtr<IDataObject> now;
  ASSERT_EQ(clipboard.GetClipboard(now), S_OK);
  FORMATETC format;
  format.cfFormat = CF_TEXT;
  STGMEDIUM medium;
  ASSERT_EQ(now->GetData(format, medium), S_OK);
  EXPECT_EQ(GlobalSize(medium.handle), 3u);
  ReleaseStgMedium(medium);
  EXPECT_EQ(medium.handle, 0u);
  EXPECT_TRUE(clipboard.EmptyClipboard());
  ASSERT_EQ(clipboard.GetClipboard(now), S_OK);
  EXPECT_EQ(now->QueryGetData(format), DV_E_FORMATETC) << "an empty clipboard offers nothing";
}

TEST(OleError, KnownTextsOrTheCodeInHex) {
  EXPECT_EQ(OleErrorMessage(static_cast<HResult>(0x80041234)), "OLE error 80041234");
  EXPECT_EQ(OleErrorMessage(CLIPBRD_E_CANT_OPEN), "OpenClipboard Failed");
  EXPECT_NO_THROW(OleCheck(S_FALSE));
  EXPECT_THROW(OleCheck(E_FAIL), EOleError);
}

}  // namespace
}  // namespace kestrave::platform::ole
