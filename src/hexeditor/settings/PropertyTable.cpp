#include "hexeditor/settings/PropertyTable.h"

#include "hexeditor/settings/PropertyText.h"

namespace kestrave::hex {

const TPublishedProperty* TPublishedClass::Find(std::string_view name) const {
  for (const TPublishedProperty& property : Properties)
    if (SameNameIgnoringCase(property.Name, name)) return &property;
  return nullptr;
}

namespace {

void Walk(const TPublishedClass& type, void* object, const std::string& prefix,
          const std::function<void(const std::string&, const TPublishedProperty&, void*)>& visit) {
  for (const TPublishedProperty& property : type.Properties) {
    std::string name = prefix;
    name += property.Name;
    if (property.Kind != TPropertyKind::Class) {
      visit(name, property, object);
    } else if (void* nested = property.Object(object)) {
      Walk(*property.Class, nested, name + ".", visit);
    }
  }
}

}  // namespace

void ForEachValueProperty(
    const TPublishedClass& type, void* object,
    const std::function<void(const std::string&, const TPublishedProperty&, void*)>& visit) {
  Walk(type, object, "", visit);
}

std::vector<std::string> PublicPropertyNames(const TPublishedClass& type) {
  std::vector<std::string> names;
  const std::function<void(const TPublishedClass&, const std::string&)> walk =
      [&](const TPublishedClass& current, const std::string& prefix) {
        for (const TPublishedProperty& property : current.Properties) {
          const std::string name = prefix + std::string(property.Name);
          if (property.Kind == TPropertyKind::Class)
            walk(*property.Class, name + ".");
          else if (property.Public)
            names.push_back(name);
        }
      };
  walk(type, "");
  return names;
}

bool ResolveValueProperty(const TPublishedClass& type, void* object, std::string_view name,
                          const TPublishedProperty*& property, void*& owner) {
  const TPublishedClass* current = &type;
  for (;;) {
    const std::size_t dot = name.find('.');
    const TPublishedProperty* found = current->Find(name.substr(0, dot));
    if (!found) return false;
    if (dot == std::string_view::npos) {
      if (found->Kind == TPropertyKind::Class) return false;
      property = found;
      owner = object;
      return true;
    }
    if (found->Kind != TPropertyKind::Class) return false;
    object = found->Object(object);
    if (!object) return false;
    current = found->Class;
    name.remove_prefix(dot + 1);
  }
}

}  // namespace kestrave::hex
