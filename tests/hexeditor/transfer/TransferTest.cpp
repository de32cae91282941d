#include <gtest/gtest.h>

#include "hexeditor/document/HexMemoryStream.h"
#include "hexeditor/transfer/FormatChoice.h"
#include "hexeditor/transfer/FormatEnum.h"
#include "hexeditor/transfer/HexDataObject.h"
#include "hexeditor/transfer/MediumToBytes.h"
#include "hexeditor/transfer/PrivateBlock.h"
#include "hexeditor/transfer/TransferFormats.h"
#include "hexeditor/undo/UndoRecord.h"
#include "platform/ole/ClipboardFormats.h"
#include "platform/ole/GdiObjects.h"
#include "platform/ole/GlobalMemory.h"
#include "platform/ole/Medium.h"

namespace kestrave::hex {
namespace {

namespace ole = platform::ole;
using Bytes = std::vector<std::uint8_t>;

Bytes Of(std::string_view text) {
  return {text.begin(), text.end()};
}

ole::ComPtr<THexDataObject> ObjectOver(const Bytes& bytes, const std::string& name,
                                       bool hex = false, bool swap = false) {
  THexMemoryStream store;
  store.Write(bytes.data(), static_cast<std::int64_t>(bytes.size()));
  return ole::ComPtr<THexDataObject>(
      new THexDataObject(&store, 0, static_cast<std::int64_t>(bytes.size()), name, hex, swap));
}

// The block a data object renders for a format.
Bytes Rendered(THexDataObject& object, TClipFormat format, std::int32_t index = -1) {
  FORMATETC descriptor;
  descriptor.cfFormat = format;
  descriptor.lindex = index;
  ole::STGMEDIUM medium;
  EXPECT_EQ(object.GetData(descriptor, medium), ole::S_OK);
  const std::uint8_t* block = ole::GlobalLock(medium.handle);
  Bytes bytes(block, block + ole::GlobalSize(medium.handle));
  ole::GlobalUnlock(medium.handle);
  ole::ReleaseStgMedium(medium);
  return bytes;
}

Bytes Converted(TClipFormat format, const Bytes& block, bool bigEndian = false) {
  return MediumToBytes(format, block.data(), 0, block.size(), bigEndian);
}

TEST(HexDataObject, TextStopsAtTheFirstZeroOrIsHexDigits) {
  const Bytes data = {0x41, 0x00, 0x42};
  EXPECT_EQ(Rendered(*ObjectOver(data, "a").Get(), ole::CF_TEXT), (Bytes{0x41, 0x00}));
  EXPECT_EQ(Rendered(*ObjectOver(data, "a", true).Get(), ole::CF_TEXT),
            Of(std::string_view("410042\0", 7)));
  EXPECT_EQ(Rendered(*ObjectOver(data, "a", true, true).Get(), ole::CF_TEXT),
            Of(std::string_view("140024\0", 7)));
}

TEST(HexDataObject, AMediumOutlivesItsObjectAndShowsTheBytesOfTheCopy) {
  const Bytes data = {0x41, 0x42, 0x00, 0x43};
  auto object = ObjectOver(data, "a");
  FORMATETC descriptor;
  ole::STGMEDIUM media[3];
  const TClipFormat formats[3] = {TransferFormats().Private, TransferFormats().FileContents,
                                  ole::CF_TEXT};
  for (int i = 0; i < 3; ++i) {
    descriptor.cfFormat = formats[i];
    ASSERT_EQ(object->GetData(descriptor, media[i]), ole::S_OK);
  }
  object = nullptr;  // the clipboard let go of it; the media still hold its bytes
  const auto blockOf = [](ole::STGMEDIUM& medium) {
    const std::uint8_t* block = ole::GlobalLock(medium.handle);
    Bytes bytes(block, block + ole::GlobalSize(medium.handle));
    ole::GlobalUnlock(medium.handle);
    return bytes;
  };
  EXPECT_EQ(PrivateBlockBytes(blockOf(media[0]).data(), blockOf(media[0]).size()).has_value(),
            true);
  EXPECT_EQ(ReadPrivateBlock(blockOf(media[0]).data(), blockOf(media[0]).size()), data);
  EXPECT_EQ(blockOf(media[1]), data);
  EXPECT_EQ(blockOf(media[2]), (Bytes{0x41, 0x42, 0x00}));
  for (auto& medium : media)
    ole::ReleaseStgMedium(medium);
}

TEST(HexDataObject, ThePrivateBlockRoundTripsAndOnlyItsOwnVersionIsRead) {
  const auto object = ObjectOver({0x01, 0x02}, "a");
  const Bytes block = Rendered(*object.Get(), TransferFormats().Private);
  EXPECT_EQ(block, (Bytes{0x48, 0x58, 0x45, 0x44, 0x01, 0x00, 0x01, 0x00, 0x02, 0x00, 0x00, 0x00,
                          0x01, 0x02}));
  EXPECT_EQ(Converted(TransferFormats().Private, block), (Bytes{0x01, 0x02}));
  Bytes other = block;
  other[4] = 0x02;
  EXPECT_TRUE(Converted(TransferFormats().Private, other).empty());
}

TEST(HexDataObject, LengthFieldsThatDoNotFitTheBlockYieldNothing) {
  Bytes block(14, 0);
  WritePrivateBlock(block.data(), Of("ab").data(), 2);
  WriteLe32(block.data() + 8, 3);
  EXPECT_EQ(ReadPrivateBlock(block.data(), block.size()), std::nullopt) << "one byte too long";
  WriteLe32(block.data() + 8, 0xFFFFFFFF);
  EXPECT_EQ(ReadPrivateBlock(block.data(), block.size()), std::nullopt) << "negative";
  WriteLe32(block.data() + 8, 0x7FFFFFFF);
  EXPECT_EQ(ReadPrivateBlock(block.data(), block.size()), std::nullopt);
  EXPECT_EQ(ReadPrivateBlock(block.data(), 11), std::nullopt);
  const Bytes regEdit = {2, 0, 0, 0, 'h', 'i'};
  EXPECT_EQ(Converted(TransferFormats().RegEditHexData, regEdit), Of("hi"));
  Bytes tooLong = regEdit;
  tooLong[0] = 3;
  EXPECT_TRUE(Converted(TransferFormats().RegEditHexData, tooLong).empty());
  tooLong[3] = 0x80;
  EXPECT_TRUE(Converted(TransferFormats().RegEditHexData, tooLong).empty());
}

TEST(HexDataObject, OffersAVirtualFileNamedAfterTheBuffer) {
  const auto object = ObjectOver(Of("12345"), "/data/song.drf");
  EXPECT_EQ(object->DumpName(), "Dump of song.bin");
  const Bytes descriptor = Rendered(*object.Get(), TransferFormats().FileGroupDescriptor);
  ASSERT_EQ(descriptor.size(), 336u);
  EXPECT_EQ(ReadLe32(descriptor.data()), 1u);
  EXPECT_EQ(ReadLe32(descriptor.data() + 4), 0x60u);
  EXPECT_EQ(ReadLe32(descriptor.data() + 72), 5u);
  EXPECT_GT(ReadLe32(descriptor.data() + 64), 0x01D00000u) << "a write time after 2000";
  EXPECT_EQ(std::string(reinterpret_cast<const char*>(descriptor.data() + 76)), "Dump of song.bin");
  EXPECT_EQ(Rendered(*object.Get(), TransferFormats().FileContents, 3), Of("12345"));
  EXPECT_EQ(DumpNameFor("Untitled"), "Dump of Untitled.bin");
  EXPECT_EQ(DumpNameFor(std::string(300, 'x')).size(), 255u);
}

TEST(HexDataObject, AnswersQueriesWithTheRightCodes) {
  const auto object = ObjectOver(Of("x"), "a");
  FORMATETC query;
  query.cfFormat = ole::CF_TEXT;
  query.tymed = ole::TYMED_ISTREAM;
  EXPECT_EQ(object->QueryGetData(query), ole::DV_E_TYMED);
  query.tymed = ole::TYMED_HGLOBAL;
  query.dwAspect = 4;
  EXPECT_EQ(object->QueryGetData(query), ole::DV_E_DVASPECT);
  query.dwAspect = ole::DVASPECT_CONTENT;
  query.lindex = 3;
  EXPECT_EQ(object->QueryGetData(query), ole::DV_E_LINDEX);
  query.cfFormat = TransferFormats().FileContents;
  EXPECT_EQ(object->QueryGetData(query), ole::S_OK);
  query.cfFormat = ole::CF_UNICODETEXT;
  query.lindex = -1;
  EXPECT_EQ(object->QueryGetData(query), ole::DV_E_FORMATETC);
  ole::STGMEDIUM medium;
  EXPECT_EQ(object->GetData(query, medium), ole::DV_E_FORMATETC);
  EXPECT_EQ(medium.handle, 0u);
  EXPECT_EQ(object->GetDataHere(query, medium), ole::DV_E_FORMATETC);
  FORMATETC out;
  EXPECT_EQ(object->GetCanonicalFormatEtc(query, out), ole::DATA_S_SAMEFORMATETC);
  std::uint32_t connection = 0;
  EXPECT_EQ(object->DAdvise(query, 0, nullptr, &connection), ole::OLE_E_ADVISENOTSUPPORTED);
  ole::IEnumFORMATETC* none = reinterpret_cast<ole::IEnumFORMATETC*>(1);
  EXPECT_EQ(object->EnumFormatEtc(ole::DATADIR_SET, &none), ole::E_NOTIMPL);
  EXPECT_EQ(none, nullptr);
}

TEST(HexDataObject, EnumeratesItsFourFormatsInOrder) {
  const auto object = ObjectOver(Of("x"), "a");
  const TFormatEnum offered(*object.Get());
  ASSERT_EQ(offered.Formats().size(), 4u);
  EXPECT_EQ(offered.Formats()[0].cfFormat, TransferFormats().Private);
  EXPECT_EQ(offered.Formats()[1].cfFormat, ole::CF_TEXT);
  EXPECT_EQ(offered.Formats()[2].cfFormat, TransferFormats().FileGroupDescriptor);
  EXPECT_EQ(offered.Formats()[3].cfFormat, TransferFormats().FileContents);
  EXPECT_EQ(offered.GetFormatEtc(ole::CF_DIB).cfFormat, 0xFFFF) << "not offered";
  ole::STGMEDIUM medium;
  EXPECT_EQ(GetDataOfFormat(*object.Get(), ole::CF_DIB, medium), ole::E_FAIL);
  THexEnumFormatETC enumerator;
  EXPECT_EQ(enumerator.Skip(4), ole::S_OK);
  enumerator.Reset();
  EXPECT_EQ(enumerator.Skip(5), ole::S_FALSE);
}

TEST(MediumToBytes, EachFormatBecomesItsBytes) {
  EXPECT_EQ(Converted(ole::CF_TEXT, Of(std::string_view("ab\0cd", 5))), Of("ab"));
  EXPECT_EQ(Converted(TransferFormats().Html, Of(std::string_view("<b>\0", 4))), Of("<b>"));
  const Bytes unicode = {0x41, 0x00, 0x42, 0x00, 0x00, 0x00, 0x43, 0x00};
  EXPECT_EQ(Converted(ole::CF_UNICODETEXT, unicode), (Bytes{0x41, 0x00, 0x42, 0x00}));
  EXPECT_EQ(Converted(ole::CF_UNICODETEXT, unicode, true), (Bytes{0x00, 0x41, 0x00, 0x42}));
  EXPECT_EQ(Converted(ole::CF_LOCALE, {0x19, 0x04, 0, 0}), (Bytes{0x19, 0x04}));
  EXPECT_TRUE(Converted(ole::CF_LOCALE, {0x19}).empty());
  const Bytes dib = Converted(ole::CF_DIB, Of("pixels"));
  ASSERT_EQ(dib.size(), 6u + 14);
  EXPECT_EQ(dib[0], 'B');
  EXPECT_EQ(dib[1], 'M');
  EXPECT_EQ(std::count(dib.begin() + 2, dib.begin() + 14, 0), 12);
  EXPECT_EQ(Converted(ole::CF_WAVE, Of("RIFFdata")), Of("RIFFdata"));
  EXPECT_TRUE(MediumToBytes(ole::CF_TEXT, nullptr, 0, 0, false).empty()) << "no block";
}

TEST(MediumToBytes, HandleFormatsAreWrittenOutAsFiles) {
  const ole::HBITMAP bitmap = ole::CreateBitmap32(1, 1, {0x00112233});
  const Bytes bmp = MediumToBytes(ole::CF_BITMAP, nullptr, bitmap, 0, false);
  EXPECT_EQ(bmp, ole::BitmapFileImage(bitmap));
  const ole::HPALETTE palette = ole::CreatePalette({0x00AABBCC, 0x00112233});
  const Bytes entries = MediumToBytes(ole::CF_PALETTE, nullptr, palette, 0, false);
  EXPECT_EQ(entries,
            (Bytes{0x00, 0x03, 0x02, 0x00, 0xCC, 0xBB, 0xAA, 0x00, 0x33, 0x22, 0x11, 0x00}));
  const ole::HENHMETAFILE emf = ole::SetEnhMetaFileBits(Of(" EMF"));
  EXPECT_EQ(MediumToBytes(ole::CF_ENHMETAFILE, nullptr, emf, 0, false), Of(" EMF"));
  const ole::HMETAFILE wmf = ole::SetMetaFileBitsEx(Of("wmf bits"));
  Bytes picture(16, 0);
  WriteLe32(picture.data() + 12, static_cast<std::uint32_t>(wmf));
  EXPECT_EQ(Converted(ole::CF_METAFILEPICT, picture), Of("wmf bits"));
  const ole::HMETAFILE empty = ole::SetMetaFileBitsEx({});
  WriteLe32(picture.data() + 12, static_cast<std::uint32_t>(empty));
  EXPECT_TRUE(Converted(ole::CF_METAFILEPICT, picture).empty());
  const std::size_t objects = ole::GdiObjectCount();
  for (const std::uintptr_t handle : {bitmap, palette, emf, wmf, empty})
    ole::DeleteObject(handle);
  EXPECT_EQ(ole::GdiObjectCount(), objects - 5) << "no copies left behind";
}

TEST(FormatChoice, NamesAndThePreselection) {
  EXPECT_EQ(FormatDisplayName(ole::CF_TEXT), "Text");
  EXPECT_EQ(FormatDisplayName(ole::CF_LOCALE), "Text Locale");
  EXPECT_EQ(FormatDisplayName(ole::CF_PALETTE), "Color Palete");
  EXPECT_EQ(FormatDisplayName(TransferFormats().Html), "HTML Format");
  const TClipFormat padded = ole::RegisterClipboardFormatA("  Padded Name  ");
  EXPECT_EQ(FormatDisplayName(padded), "Padded Name");
  const TClipFormat blank = ole::RegisterClipboardFormatA("   ");
  EXPECT_EQ(FormatDisplayName(blank), "(" + std::to_string(blank) + ")");
  EXPECT_EQ(FormatDisplayName(0xBFF0), "(49136)");
  SetLastChosenFormat(-1);
  PreselectingChooser chooser;
  TClipFormat chosen = 0;
  bool hexText = false;
  const std::vector<TClipFormat> texts = {ole::CF_TEXT, ole::CF_UNICODETEXT, ole::CF_OEMTEXT};
  ASSERT_TRUE(chooser.Choose(texts, chosen, hexText));
  EXPECT_EQ(chosen, ole::CF_TEXT);
  SetLastChosenFormat(ole::CF_OEMTEXT);
  EXPECT_EQ(PreselectedIndex(texts), 2u);
  EXPECT_EQ(PreselectedIndex({ole::CF_DIB}), 0u);
  SetLastChosenFormat(-1);
}

}  // namespace
}  // namespace kestrave::hex
