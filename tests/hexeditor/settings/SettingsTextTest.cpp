#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "hexeditor/HexEditorError.h"
#include "hexeditor/HexEditorEx.h"
#include "hexeditor/settings/EditorProperties.h"
#include "hexeditor/settings/PropertyText.h"
#include "platform/Exception.h"

namespace kestrave::hex {
namespace {

std::vector<std::string> Lines(const std::string& text) {
  std::vector<std::string> lines;
  std::size_t start = 0;
  while (start < text.size()) {
    const std::size_t end = text.find("\r\n", start);
    EXPECT_NE(end, std::string::npos) << "every line ends with CR LF";
    if (end == std::string::npos) break;
    lines.push_back(text.substr(start, end - start));
    start = end + 2;
  }
  return lines;
}

bool HasLine(const std::string& text, const std::string& line) {
  for (const std::string& l : Lines(text))
    if (l == line) return true;
  return false;
}

class Settings : public ::testing::Test {
 protected:
  Settings() {
    editor.Loaded();
    other.Loaded();
  }
  THexEditorEx editor;
  THexEditorEx other;
};

// --- Print settings ---------------------------------------------------------------------------

TEST_F(Settings, PrintSettingsStartAsDocumentedAndCopyAllSevenValues) {
  const THexPrintOptions& options = editor.PrintOptions();
  EXPECT_EQ(options.MarginLeft(), 20);
  EXPECT_EQ(options.MarginTop(), 15);
  EXPECT_EQ(options.MarginRight(), 25);
  EXPECT_EQ(options.MarginBottom(), 25);
  EXPECT_EQ(options.Margin(THexPrintOptions::kTop), 15);
  EXPECT_EQ(options.PageHeader(), "");
  EXPECT_EQ(options.PageFooter(), "");
  EXPECT_EQ(options.Flags(), 6);
  EXPECT_EQ(editor.PrintFont(), editor.Font());
  EXPECT_TRUE(editor.UseEditorFontForPrinting());

  THexPrintOptions& changed = other.PrintOptions();
  changed.SetMargin(THexPrintOptions::kLeft, 1);
  changed.SetMarginTop(2);
  changed.SetMarginRight(-3);
  changed.SetMarginBottom(4);
  changed.SetText(THexPrintOptions::kHeader, "head");
  changed.SetPageFooter("foot");
  changed.SetFlags(PrintFlagBit(pfIncludeRuler));
  editor.SetPrintOptions(changed);
  EXPECT_EQ(editor.PrintOptions(), changed);
  EXPECT_NE(&editor.PrintOptions(), &changed) << "the editor keeps its own object";
}

TEST_F(Settings, PrintOptionsRefuseOtherSourcesAndNoneWithoutChange) {
  class Other : public platform::TPersistent {
   public:
    std::string_view ClassName() const override { return "TFont"; }
  } font;
  THexPrintOptions& options = editor.PrintOptions();
  options.SetMarginLeft(7);
  try {
    options.Assign(&font);
    FAIL() << "no error";
  } catch (const platform::EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a TFont to a THexPrintOptions");
  }
  try {
    options.Assign(nullptr);
    FAIL() << "no error";
  } catch (const platform::EConvertError& e) {
    EXPECT_EQ(e.Message(), "Cannot assign a nil to a THexPrintOptions");
  }
  EXPECT_EQ(options.MarginLeft(), 7);
}

TEST_F(Settings, AssigningAPrintFontStopsUsingTheViewFont) {
  platform::FontDescription font{"Mono", 20};
  editor.SetPrintFont(font);
  EXPECT_FALSE(editor.UseEditorFontForPrinting());
  editor.SetUseEditorFontForPrinting(true);
  EXPECT_EQ(editor.PrintFont(), font) << "switching back keeps the assigned font";
  // Changing the print font's own properties leaves the choice alone.
  editor.SetSettingsText("PrintFont.Name=Other\r\n");
  EXPECT_TRUE(editor.UseEditorFontForPrinting());
  EXPECT_EQ(editor.PrintFont().Name, "Other");
}

// --- Text forms -------------------------------------------------------------------------------

TEST(PropertyText, ValuesReadBackAsWrittenAndBadTextIsRefused) {
  static constexpr std::string_view kIds[] = {"fsBold", "fsItalic", "fsUnderline"};
  EXPECT_EQ(SetText(0b101, kIds), "[fsBold,fsUnderline]");
  EXPECT_EQ(ParseSet("[FSBOLD, fsUnderline]", kIds), 0b101u);
  EXPECT_EQ(ParseSet("[]", kIds), 0u);
  EXPECT_THROW(ParseSet("[fsBold,]", kIds), platform::EConvertError);
  EXPECT_THROW(ParseSet("[fsHeavy]", kIds), platform::EConvertError);
  EXPECT_TRUE(ParseBoolean("true"));
  EXPECT_THROW(ParseBoolean("1"), platform::EConvertError);

  EXPECT_EQ(ParseInteger(" -12 ", -100, 100), -12);
  EXPECT_EQ(ParseInteger("$FF", 0, 255), 255);
  try {
    ParseInteger("12x", 0, 100);
    FAIL();
  } catch (const platform::EConvertError& e) {
    EXPECT_EQ(e.Message(), "'12x' is not a valid integer value");
  }
  EXPECT_THROW(ParseInteger("256", 0, 255), platform::EConvertError);
  EXPECT_THROW(ParseInteger("99999999999999999999", 0, 255), platform::EConvertError);

  for (int c = 0; c < 256; ++c)
    EXPECT_EQ(ParseChar(CharText(static_cast<std::uint8_t>(c))), c) << c;
  EXPECT_EQ(CharText('#'), "#35");
  EXPECT_EQ(ParseChar("#"), '#');
  EXPECT_THROW(ParseChar(""), platform::EConvertError);
  EXPECT_THROW(ParseChar("#256"), platform::EConvertError);
  EXPECT_THROW(ParseChar("ab"), platform::EConvertError);

  for (const std::string& s :
       {std::string("plain text"), std::string("two\r\nlines"), std::string("'quoted'"),
        std::string("#1 page"), std::string("it's"), std::string("\t", 1), std::string()})
    EXPECT_EQ(ParseString(StringText(s)), s) << s;
  EXPECT_EQ(StringText("plain text"), "plain text");
  EXPECT_EQ(StringText("a\r\nb"), "'a'#13#10'b'");
  EXPECT_EQ(ParseString("#1 page"), "#1 page") << "hand-written text that only looks quoted";
}

// --- Settings text ----------------------------------------------------------------------------

TEST_F(Settings, TheListHasItsSixtySevenNamesInAnyCase) {
  const std::vector<std::string> names = PublicPropertyNames(EditorPublishedClass());
  ASSERT_EQ(names.size(), 67u);
  for (const std::string name : {"ShowRuler", "Colors.OffsetBackGround", "PrintFont.Style",
                                 "PrintOptions.Flags", "Font.Size", "RulerNumberBase"})
    EXPECT_TRUE(editor.IsPublicProperty(name)) << name;
  EXPECT_TRUE(editor.IsPublicProperty("bytesperrow"));
  EXPECT_TRUE(editor.IsPublicProperty("COLORS.GRID"));
  for (const std::string name : {"Font.Height", "BookmarkBitmap", "WantTabs", "Colors", "Font", "",
                                 "BytesPerRow.", "Colors.Grid.X"})
    EXPECT_FALSE(editor.IsPublicProperty(name)) << name;
  EXPECT_EQ(Lines(editor.GetSettingsText()).size(), 67u);
}

TEST_F(Settings, ADefaultViewWritesItsDefaults) {
  const std::string text = editor.GetSettingsText();
  EXPECT_TRUE(HasLine(text, "BytesPerRow=16"));
  EXPECT_TRUE(HasLine(text, "OffsetFormat=-!10:0x|"));
  EXPECT_TRUE(HasLine(text, "Translation=tkAsIs"));
  EXPECT_TRUE(HasLine(text, "ShowRuler=False"));
  EXPECT_TRUE(HasLine(text, "MaskChar=."));
  EXPECT_TRUE(HasLine(text, "PrintOptions.Flags=[pfSelectionBold,pfMonochrome]"));
  EXPECT_TRUE(HasLine(text, "Colors.Background=4278190085"));
  EXPECT_TRUE(HasLine(text, "Font.Size=11"));
  EXPECT_EQ(text.find("Font.Height"), std::string::npos);
  EXPECT_EQ(text.find("BookmarkBitmap"), std::string::npos);
}

TEST_F(Settings, EverySettingChangedSurvivesTheRoundTrip) {
  // Unicode mode needs data of even size.
  const std::uint8_t bytes[] = {1, 2, 3, 4};
  editor.AppendBuffer(bytes, 4, "", false);
  other.AppendBuffer(bytes, 4, "", false);
  editor.SetShowRuler(true);
  editor.SetDrawGutter3D(false);
  editor.SetCreateBackup(false);
  editor.SetBackupExtension(".old");
  editor.SetOleDragDrop(true);
  editor.SetClipboardAsHexText(true);
  editor.SetFlushClipboardAtShutDown(true);
  editor.SetSupportsOtherClipFormats(false);
  editor.SetZoomOnWheel(false);
  editor.SetBytesPerRow(8);
  editor.SetBytesPerColumn(4);
  editor.SetTranslation(tkMac);
  editor.SetOffsetFormat("8!10:|");
  editor.SetCaretKind(ckBottom);
  editor.SetFocusFrame(false);
  editor.SetSwapNibbles(true);
  editor.SetMaskChar(0);
  editor.SetAllowInsertMode(true);
  editor.SetDrawGridLines(true);
  editor.SetHideSelection(true);
  editor.SetGraySelectionIfNotFocused(true);
  editor.SetGutterWidth(90);
  editor.SetMaxUndo(4096);
  editor.SetInsertMode(true);
  editor.SetHexLowerCase(true);
  for (int i = 0; i < THexColors::kCount; ++i)
    editor.Colors().Set(static_cast<THexColors::Index>(i), static_cast<TColor>(0x010203 * i));
  editor.Colors().Set(THexColors::Grid, 0xFF000010);
  platform::FontDescription font{
      "DejaVu Sans Mono", 20, 204, 0x0000FF,
      platform::FontStyleBit(platform::fsBold) | platform::FontStyleBit(platform::fsStrikeOut)};
  editor.SetFont(font);
  font.Name = "Printer Mono";
  font.Style = platform::FontStyleBit(platform::fsItalic);
  editor.SetPrintFont(font);
  editor.PrintOptions().SetMarginLeft(1);
  editor.PrintOptions().SetMarginTop(2);
  editor.PrintOptions().SetMarginRight(3);
  editor.PrintOptions().SetMarginBottom(4);
  editor.PrintOptions().SetPageHeader("Page 'one'\r\n=");
  editor.PrintOptions().SetPageFooter("#footer");
  editor.PrintOptions().SetFlags(0b111111);
  editor.SetBytesPerUnit(2);
  editor.SetRulerBytesPerUnit(4);
  editor.SetShowPositionIfNotFocused(true);
  editor.SetUnicodeChars(true);
  editor.SetUnicodeBigEndian(true);
  editor.SetBytesPerBlock(4);
  editor.SetSeparateBlocksInCharField(false);
  editor.SetFindProgress(true);
  editor.SetRulerNumberBase(8);

  const std::string text = editor.GetSettingsText();
  const std::string defaults = THexEditorEx().GetSettingsText();
  const std::vector<std::string> changed = Lines(text), original = Lines(defaults);
  ASSERT_EQ(changed.size(), original.size());
  // Unicode mode shows bytes as they are, and insert mode needs a changeable size: the second
  // round trip below changes those settings.
  const std::vector<std::string> exclusive = {
      "Translation=", "NoSizeChange=", "AllowInsertMode=", "ReadOnlyView="};
  for (std::size_t i = 0; i < changed.size(); ++i) {
    bool excluded = false;
    for (const std::string& prefix : exclusive)
      excluded |= changed[i].rfind(prefix, 0) == 0;
    if (!excluded) {
      EXPECT_NE(changed[i], original[i]) << "this test leaves a setting at its default";
    }
  }

  other.SetSettingsText(text);
  EXPECT_EQ(other.GetSettingsText(), text);
  EXPECT_EQ(other.Font(), editor.Font());
  EXPECT_EQ(other.PrintFont(), editor.PrintFont());
  EXPECT_EQ(other.PrintOptions(), editor.PrintOptions());
  EXPECT_FALSE(other.UseEditorFontForPrinting());
  EXPECT_FALSE(other.PaintLocked());

  THexEditorEx fixed, copy;
  fixed.SetTranslation(tkMac);
  fixed.SetNoSizeChange(true);
  fixed.SetAllowInsertMode(false);
  fixed.SetReadOnlyView(true);
  copy.SetSettingsText(fixed.GetSettingsText());
  EXPECT_EQ(copy.GetSettingsText(), fixed.GetSettingsText());
  EXPECT_EQ(copy.Translation(), tkMac);
  EXPECT_TRUE(copy.ReadOnlyView());
}

TEST_F(Settings, ReadingMatchesNamesInAnyCaseAndTheFirstLineOfANameWins) {
  editor.SetSettingsText("bytesperrow=8\n");
  EXPECT_EQ(editor.BytesPerRow(), 8);
  editor.SetSettingsText("BytesPerRow=4\r\nHexLowerCase=True\r\nBYTESPERROW=32\r\n");
  EXPECT_EQ(editor.BytesPerRow(), 4) << "the second line applies the first line's value again";
  EXPECT_TRUE(editor.HexLowerCase());
  // Lines that are no settings are passed over.
  editor.SetSettingsText("\r\nno equals sign\r\nFont.Height=40\r\nWantTabs=False\r\nX=1\r\n");
  EXPECT_EQ(editor.Font().Height, 15);
  EXPECT_TRUE(editor.WantTabs());
}

TEST_F(Settings, TheApplicationMayTakeNamesOut) {
  std::vector<std::string> asked;
  editor.OnQueryPublicProperty = [&](TCustomHexEditor&, std::string name, bool& isPublic) {
    asked.push_back(name);
    if (name == "Colors.Grid") isPublic = false;
  };
  const std::string text = editor.GetSettingsText();
  EXPECT_EQ(text.find("Colors.Grid="), std::string::npos);
  EXPECT_EQ(Lines(text).size(), 66u);
  EXPECT_EQ(asked.size(), 67u) << "asked for listed names only";
  editor.SetSettingsText("Colors.Grid=255\r\nNotListed=1\r\n");
  EXPECT_EQ(editor.Colors().Get(THexColors::Grid), 0xFF00000Fu);
  EXPECT_EQ(asked.back(), "Colors.Grid") << "not asked for a name outside the list";
}

TEST_F(Settings, ExtremeGutterWidthsKeepTheLayoutInRange) {
  editor.SetSettingsText("GutterWidth=2147483647\r\n");
  EXPECT_EQ(editor.GutterWidth(), 2147483647) << "the property keeps what it was given";
  EXPECT_EQ(editor.ColWidth(0), 1 << 16);
  editor.SetSettingsText("GutterWidth=-5\r\n");
  EXPECT_EQ(editor.ColWidth(0), 0);
  EXPECT_TRUE(HasLine(editor.GetSettingsText(), "GutterWidth=-5"));
}

TEST_F(Settings, TheFirstRefusedValueStopsTheReadingAndKeepsWhatCameBefore) {
  const std::uint8_t odd[] = {1, 2, 3};
  editor.AppendBuffer(odd, 3, "", false);
  try {
    editor.SetSettingsText("BytesPerRow=8\r\nUnicodeChars=True\r\nHexLowerCase=True\r\n");
    FAIL() << "no error";
  } catch (const EHexEditor& e) {
    EXPECT_EQ(e.Message(), "Cannot use unicode mode with odd-sized files");
  }
  EXPECT_EQ(editor.BytesPerRow(), 8);
  EXPECT_FALSE(editor.UnicodeChars());
  EXPECT_FALSE(editor.HexLowerCase()) << "the rest is not read";
  EXPECT_FALSE(editor.PaintLocked());

  EXPECT_THROW(editor.SetSettingsText("BytesPerRow=0\r\n"), EHexEditor);
  EXPECT_EQ(editor.BytesPerRow(), 8);
  EXPECT_THROW(editor.SetSettingsText("Translation=tkKlingon\r\n"), platform::EConvertError);
  EXPECT_THROW(editor.SetSettingsText("Font.Size=0\r\n"), platform::EConvertError);
  EXPECT_THROW(editor.SetSettingsText("RulerNumberBase=300\r\n"), platform::EConvertError);
  EXPECT_EQ(editor.Font().Height, 15);
  EXPECT_FALSE(editor.PaintLocked());
}

}  // namespace
}  // namespace kestrave::hex
