#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <string_view>

namespace kestrave::app {

// Builds one JSON text: values are appended in order, and commas and nesting follow from the
// calls. Strings are UTF-8; control characters, quotes and backslashes are escaped.
class JsonWriter {
 public:
  JsonWriter() = default;
  // A writer that hands its text on to Drain in long pieces as it goes, keeping only what
  // follows: Text() is then the rest, not yet handed on. A document of a million records is
  // never whole in memory.
  explicit JsonWriter(std::function<void(const std::string& piece)> drain)
      : drain_(std::move(drain)) {}

  JsonWriter& BeginObject();
  JsonWriter& EndObject();
  JsonWriter& BeginArray();
  JsonWriter& EndArray();
  // The name of the next value in an object.
  JsonWriter& Key(std::string_view name);
  JsonWriter& String(std::string_view value);
  JsonWriter& Number(std::int64_t value);
  JsonWriter& Bool(bool value);
  JsonWriter& Null();
  // A complete value another writer built, as the next value of this one.
  JsonWriter& Embed(const JsonWriter& value);
  // A string, or null when it is empty.
  JsonWriter& StringOrNull(std::string_view value);

  const std::string& Text() const { return text_; }

 private:
  void BeforeValue();
  std::function<void(const std::string& piece)> drain_;
  std::string text_;
  // Whether the value being written is the first of its object or array.
  bool first_ = true;
  bool afterKey_ = false;
};

}  // namespace kestrave::app
