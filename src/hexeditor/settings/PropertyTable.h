#pragma once

#include <cstdint>
#include <functional>
#include <span>
#include <string>
#include <string_view>
#include <vector>

// Published properties described once, as data: a class is a list of properties in declaration
// order; a property is a value with a text form, or an object of another described class.
// Objects are passed untyped: each class's accessors know the type they were made for.
namespace kestrave::hex {

enum class TPropertyKind { Boolean, Integer, Char, String, Enumeration, Set, Class };

struct TPublishedClass;

struct TPublishedProperty {
  std::string_view Name;
  TPropertyKind Kind = TPropertyKind::Integer;
  // Whether the settings text carries it (before the application's say).
  bool Public = true;
  // Identifiers of an enumeration's values or a set's members.
  std::span<const std::string_view> Identifiers;
  // Value properties: the value as text, and a text given to the property's own setter.
  std::function<std::string(const void* object)> Get;
  std::function<void(void* object, std::string_view text)> Set;
  // Class properties: the class and the object the property refers to (may be null).
  const TPublishedClass* Class = nullptr;
  std::function<void*(void* object)> Object;
};

struct TPublishedClass {
  std::string_view Name;
  std::vector<TPublishedProperty> Properties;

  // The property of this name in any letter case, or null.
  const TPublishedProperty* Find(std::string_view name) const;
};

// Every value property reachable from an object, depth first in declaration order, with its
// dotted name; class properties whose object is missing are passed over.
void ForEachValueProperty(const TPublishedClass& type, void* object,
                          const std::function<void(const std::string& name,
                                                   const TPublishedProperty&, void* owner)>& visit);

// The dotted names of the public value properties, in declaration order.
std::vector<std::string> PublicPropertyNames(const TPublishedClass& type);

// Follows a dotted name from an object to a value property and the object that owns it; false
// when a part is not found, is of the wrong kind, or an object on the way is missing.
bool ResolveValueProperty(const TPublishedClass& type, void* object, std::string_view name,
                          const TPublishedProperty*& property, void*& owner);

}  // namespace kestrave::hex
