#include "hexeditor/settings/EditorProperties.h"

#include <functional>
#include <limits>
#include <type_traits>

#include "hexeditor/HexEditorEx.h"
#include "hexeditor/settings/PropertyText.h"

namespace kestrave::hex {
namespace {

constexpr std::string_view kTranslationIdentifiers[] = {"tkAsIs", "tkDos8", "tkASCII",
                                                        "tkMac",  "tkBCD",  "tkCustom"};
constexpr std::string_view kCaretKindIdentifiers[] = {"ckFull", "ckLeft", "ckBottom", "ckAuto"};
constexpr std::string_view kFontStyleIdentifiers[] = {"fsBold", "fsItalic", "fsUnderline",
                                                      "fsStrikeOut"};
constexpr std::string_view kPrintFlagIdentifiers[] = {"pfSelectionOnly",   "pfSelectionBold",
                                                      "pfMonochrome",      "pfUseBackgroundColor",
                                                      "pfCurrentViewOnly", "pfIncludeRuler"};
static_assert(std::size(kTranslationIdentifiers) == kTranslationKindCount);
static_assert(std::size(kPrintFlagIdentifiers) == kPrintFlagCount);

// Font sizes a view can lay out: a larger one would overflow the grid's pixel arithmetic.
constexpr int kLargestFontPoints = TCustomHexEditor::kLargestFontPoints;
constexpr int kLargestFontPixels = TCustomHexEditor::kLargestFontHeight;

// Value properties of objects of type Object, from a getter and a setter that take and give
// the property's own type (member functions or lambdas).
template <class Object>
struct Describe {
  template <class Getter>
  using ValueOf = std::remove_cvref_t<std::invoke_result_t<Getter, const Object&>>;

  template <class Getter, class Setter>
  static TPublishedProperty Value(std::string_view name, TPropertyKind kind, Getter get, Setter set,
                                  std::function<std::string(ValueOf<Getter>)> toText,
                                  std::function<ValueOf<Getter>(std::string_view)> fromText) {
    TPublishedProperty property;
    property.Name = name;
    property.Kind = kind;
    property.Get = [get, toText](const void* object) {
      return toText(std::invoke(get, *static_cast<const Object*>(object)));
    };
    // The text is converted completely before the setter sees anything.
    property.Set = [set, fromText](void* object, std::string_view text) {
      std::invoke(set, *static_cast<Object*>(object), fromText(text));
    };
    return property;
  }

  template <class Getter, class Setter>
  static TPublishedProperty Boolean(std::string_view name, Getter get, Setter set) {
    return Value(name, TPropertyKind::Boolean, get, set, BooleanText, ParseBoolean);
  }

  // Any value of the getter's type, or of min..max when given.
  template <class Getter, class Setter>
  static TPublishedProperty Integer(
      std::string_view name, Getter get, Setter set,
      std::int64_t min = std::numeric_limits<ValueOf<Getter>>::min(),
      std::int64_t max = std::numeric_limits<ValueOf<Getter>>::max()) {
    using T = ValueOf<Getter>;
    return Value(
        name, TPropertyKind::Integer, get, set, [](T value) { return IntegerText(value); },
        [min, max](std::string_view text) { return static_cast<T>(ParseInteger(text, min, max)); });
  }

  // A colour in decimal; reading also takes the signed form of the same 32 bits.
  template <class Getter, class Setter>
  static TPublishedProperty Color(std::string_view name, Getter get, Setter set) {
    return Value(
        name, TPropertyKind::Integer, get, set, [](TColor value) { return IntegerText(value); },
        [](std::string_view text) {
          return static_cast<TColor>(ParseInteger(text, std::numeric_limits<std::int32_t>::min(),
                                                  std::numeric_limits<std::uint32_t>::max()));
        });
  }

  template <class Getter, class Setter>
  static TPublishedProperty Char(std::string_view name, Getter get, Setter set) {
    return Value(name, TPropertyKind::Char, get, set, CharText, ParseChar);
  }

  template <class Getter, class Setter>
  static TPublishedProperty String(std::string_view name, Getter get, Setter set) {
    return Value(
        name, TPropertyKind::String, get, set,
        [](const std::string& value) { return StringText(value); }, ParseString);
  }

  template <class Getter, class Setter>
  static TPublishedProperty Enumeration(std::string_view name, Getter get, Setter set,
                                        std::span<const std::string_view> identifiers) {
    using T = ValueOf<Getter>;
    TPublishedProperty property = Value(
        name, TPropertyKind::Enumeration, get, set,
        [identifiers](T value) { return IdentifierText(value, identifiers); },
        [identifiers](std::string_view text) {
          return static_cast<T>(ParseIdentifier(text, identifiers));
        });
    property.Identifiers = identifiers;
    return property;
  }

  template <class Getter, class Setter>
  static TPublishedProperty Set(std::string_view name, Getter get, Setter set,
                                std::span<const std::string_view> identifiers) {
    using T = ValueOf<Getter>;
    TPublishedProperty property = Value(
        name, TPropertyKind::Set, get, set,
        [identifiers](T value) { return SetText(value, identifiers); },
        [identifiers](std::string_view text) {
          return static_cast<T>(ParseSet(text, identifiers));
        });
    property.Identifiers = identifiers;
    return property;
  }
};

TPublishedProperty ClassProperty(std::string_view name, const TPublishedClass& type,
                                 std::function<void*(void*)> object) {
  TPublishedProperty property;
  property.Name = name;
  property.Kind = TPropertyKind::Class;
  property.Class = &type;
  property.Object = std::move(object);
  return property;
}

TPublishedProperty Hidden(TPublishedProperty property) {
  property.Public = false;
  return property;
}

using E = THexEditorEx;
using platform::FontDescription;

TPublishedClass ColorsClass() {
  using D = Describe<THexColors>;
  const auto color = [](std::string_view name, THexColors::Index index) {
    return D::Color(
        name, [index](const THexColors& c) { return c.Get(index); },
        [index](THexColors& c, TColor value) { c.Set(index, value); });
  };
  return {"THexColors",
          {color("Background", THexColors::Background),
           color("ChangedBackground", THexColors::ChangedBackground),
           color("ChangedText", THexColors::ChangedText),
           color("CursorFrame", THexColors::CursorFrame), color("Offset", THexColors::Offset),
           color("OddColumn", THexColors::OddColumn), color("EvenColumn", THexColors::EvenColumn),
           color("CurrentOffsetBackground", THexColors::CurrentOffsetBackground),
           color("OffsetBackGround", THexColors::OffsetBackGround),
           color("CurrentOffset", THexColors::CurrentOffset), color("Grid", THexColors::Grid),
           color("NonFocusCursorFrame", THexColors::NonFocusCursorFrame),
           color("ActiveFieldBackground", THexColors::ActiveFieldBackground)}};
}

// A font of the editor, whose object is the editor itself: `font` reads it, `change` applies
// a change to one of its properties the way that font takes changes.
TPublishedClass FontClass(
    const FontDescription& (E::*font)() const,
    std::function<void(E&, const std::function<void(FontDescription&)>&)> change) {
  using D = Describe<E>;
  const auto field = [change](auto member) {
    return [change, member](E& e, auto value) {
      change(e, [&](FontDescription& f) { std::invoke(member, f) = value; });
    };
  };
  return {
      "TFont",
      {D::Integer(
           "Charset", [font](const E& e) { return (e.*font)().Charset; },
           field(&FontDescription::Charset)),
       D::Color(
           "Color", [font](const E& e) { return TColor{(e.*font)().Color}; },
           field(&FontDescription::Color)),
       Hidden(D::Integer(
           "Height", [font](const E& e) { return (e.*font)().Height; },
           field(&FontDescription::Height), 1, kLargestFontPixels)),
       D::String(
           "Name", [font](const E& e) { return (e.*font)().Name; }, field(&FontDescription::Name)),
       D::Integer(
           "Size", [font](const E& e) { return (e.*font)().Size(); },
           [change](E& e, int points) {
             change(e, [&](FontDescription& f) { f.SetSize(points); });
           },
           1, kLargestFontPoints),
       D::Set(
           "Style", [font](const E& e) { return (e.*font)().Style; },
           field(&FontDescription::Style), kFontStyleIdentifiers)}};
}

TPublishedClass PrintOptionsClass() {
  using D = Describe<THexPrintOptions>;
  using P = THexPrintOptions;
  return {"THexPrintOptions",
          {D::Integer("MarginLeft", &P::MarginLeft, &P::SetMarginLeft),
           D::Integer("MarginTop", &P::MarginTop, &P::SetMarginTop),
           D::Integer("MarginRight", &P::MarginRight, &P::SetMarginRight),
           D::Integer("MarginBottom", &P::MarginBottom, &P::SetMarginBottom),
           D::String("PageHeader", &P::PageHeader, &P::SetPageHeader),
           D::String("PageFooter", &P::PageFooter, &P::SetPageFooter),
           D::Set("Flags", &P::Flags, &P::SetFlags, kPrintFlagIdentifiers)}};
}

TPublishedClass BuildEditorClass() {
  using D = Describe<E>;
  static const TPublishedClass colors = ColorsClass();
  static const TPublishedClass printOptions = PrintOptionsClass();
  // The view font takes changes as a whole, so the layout follows them.
  static const TPublishedClass font = FontClass(&E::Font, [](E& e, const auto& change) {
    FontDescription changed = e.Font();
    change(changed);
    e.SetFont(changed);
  });
  // The print font changes in place: its own properties do not touch the choice of font.
  static const TPublishedClass printFont =
      FontClass(&E::PrintFont, [](E& e, const auto& change) { change(e.EditPrintFont()); });
  const auto self = [](void* object) { return object; };
  return {
      "THexEditorEx",
      {D::Boolean("ShowRuler", &E::ShowRuler, &E::SetShowRuler),
       D::Boolean("DrawGutter3D", &E::DrawGutter3D, &E::SetDrawGutter3D),
       D::Boolean("CreateBackup", &E::CreateBackup, &E::SetCreateBackup),
       D::String("BackupExtension", &E::BackupExtension, &E::SetBackupExtension),
       D::Boolean("OleDragDrop", &E::OleDragDrop, &E::SetOleDragDrop),
       D::Boolean("ClipboardAsHexText", &E::ClipboardAsHexText, &E::SetClipboardAsHexText),
       D::Boolean("FlushClipboardAtShutDown", &E::FlushClipboardAtShutDown,
                  &E::SetFlushClipboardAtShutDown),
       D::Boolean("SupportsOtherClipFormats", &E::SupportsOtherClipFormats,
                  &E::SetSupportsOtherClipFormats),
       D::Boolean("UseEditorFontForPrinting", &E::UseEditorFontForPrinting,
                  &E::SetUseEditorFontForPrinting),
       D::Boolean("ZoomOnWheel", &E::ZoomOnWheel, &E::SetZoomOnWheel),
       D::Integer("BytesPerRow", &E::BytesPerRow, &E::SetBytesPerRow),
       D::Integer("BytesPerColumn", &E::BytesPerColumn, &E::SetBytesPerColumn),
       D::Enumeration("Translation", &E::Translation, &E::SetTranslation, kTranslationIdentifiers),
       D::String("OffsetFormat", &E::OffsetFormat, &E::SetOffsetFormat),
       D::Enumeration("CaretKind", &E::CaretKind, &E::SetCaretKind, kCaretKindIdentifiers),
       D::Boolean("FocusFrame", &E::FocusFrame, &E::SetFocusFrame),
       D::Boolean("SwapNibbles", &E::SwapNibbles, &E::SetSwapNibbles),
       D::Char("MaskChar", &E::MaskChar, &E::SetMaskChar),
       D::Boolean("NoSizeChange", &E::NoSizeChange, &E::SetNoSizeChange),
       D::Boolean("AllowInsertMode", &E::AllowInsertMode, &E::SetAllowInsertMode),
       D::Boolean("DrawGridLines", &E::DrawGridLines, &E::SetDrawGridLines),
       D::Boolean("ReadOnlyView", &E::ReadOnlyView, &E::SetReadOnlyView),
       D::Boolean("HideSelection", &E::HideSelection, &E::SetHideSelection),
       D::Boolean("GraySelectionIfNotFocused", &E::GraySelectionIfNotFocused,
                  &E::SetGraySelectionIfNotFocused),
       D::Integer("GutterWidth", &E::GutterWidth, &E::SetGutterWidth),
       D::Integer("MaxUndo", &E::MaxUndo, &E::SetMaxUndo),
       D::Boolean("InsertMode", &E::InsertMode, &E::SetInsertMode),
       D::Boolean("HexLowerCase", &E::HexLowerCase, &E::SetHexLowerCase),
       ClassProperty("Colors", colors,
                     [](void* e) -> void* { return &static_cast<E*>(e)->Colors(); }),
       ClassProperty("PrintFont", printFont, self),
       ClassProperty("PrintOptions", printOptions,
                     [](void* e) -> void* { return &static_cast<E*>(e)->PrintOptions(); }),
       ClassProperty("Font", font, self),
       D::Integer("BytesPerUnit", &E::BytesPerUnit, &E::SetBytesPerUnit),
       D::Integer("RulerBytesPerUnit", &E::RulerBytesPerUnit, &E::SetRulerBytesPerUnit),
       D::Boolean("ShowPositionIfNotFocused", &E::ShowPositionIfNotFocused,
                  &E::SetShowPositionIfNotFocused),
       D::Boolean("UnicodeChars", &E::UnicodeChars, &E::SetUnicodeChars),
       D::Boolean("UnicodeBigEndian", &E::UnicodeBigEndian, &E::SetUnicodeBigEndian),
       D::Integer("BytesPerBlock", &E::BytesPerBlock, &E::SetBytesPerBlock),
       D::Boolean("SeparateBlocksInCharField", &E::SeparateBlocksInCharField,
                  &E::SetSeparateBlocksInCharField),
       D::Boolean("FindProgress", &E::FindProgress, &E::SetFindProgress),
       D::Integer("RulerNumberBase", &E::RulerNumberBase, &E::SetRulerNumberBase),
       Hidden(D::Boolean("WantTabs", &E::WantTabs, &E::SetWantTabs))}};
}

}  // namespace

const TPublishedClass& EditorPublishedClass() {
  static const TPublishedClass editor = BuildEditorClass();
  return editor;
}

}  // namespace kestrave::hex
