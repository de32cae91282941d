#include "app/cli/Json.h"

#include "platform/Utf8.h"

namespace kestrave::app {

void JsonWriter::BeforeValue() {
  // Everything before a value is complete text.
  constexpr std::size_t kPiece = 1 << 16;
  if (drain_ && text_.size() >= kPiece) {
    drain_(text_);
    text_.clear();
  }
  if (!afterKey_ && !first_) text_ += ',';
  afterKey_ = false;
  first_ = false;
}

JsonWriter& JsonWriter::BeginObject() {
  BeforeValue();
  text_ += '{';
  first_ = true;
  return *this;
}

JsonWriter& JsonWriter::EndObject() {
  text_ += '}';
  first_ = false;
  return *this;
}

JsonWriter& JsonWriter::BeginArray() {
  BeforeValue();
  text_ += '[';
  first_ = true;
  return *this;
}

JsonWriter& JsonWriter::EndArray() {
  text_ += ']';
  first_ = false;
  return *this;
}

JsonWriter& JsonWriter::Key(std::string_view name) {
  String(name);
  text_ += ':';
  afterKey_ = true;
  return *this;
}

JsonWriter& JsonWriter::String(std::string_view value) {
  BeforeValue();
  text_ += '"';
  for (std::size_t at = 0; at < value.size();) {
    // Printable ASCII, most of what is written, goes in whole runs.
    std::size_t run = at;
    while (run < value.size() && value[run] >= 0x20 && value[run] < 0x7F && value[run] != '"' &&
           value[run] != '\\')
      ++run;
    if (run > at) {
      text_.append(value.substr(at, run - at));
      at = run;
      continue;
    }
    const auto character = platform::DecodeUtf8Char(value.substr(at));
    const std::size_t length = character ? static_cast<std::size_t>(character->Length) : 0;
    // A name that is not UTF-8 (a file name may be any bytes) still gives valid JSON.
    if (length == 0) {
      text_ += "\\ufffd";
      ++at;
      continue;
    }
    if (length > 1) {
      text_.append(value.substr(at, length));
      at += length;
      continue;
    }
    const char c = value[at++];
    const auto byte = static_cast<unsigned char>(c);
    if (c == '"' || c == '\\') {
      text_ += '\\';
      text_ += c;
    } else if (c == '\n') {
      text_ += "\\n";
    } else if (c == '\r') {
      text_ += "\\r";
    } else if (c == '\t') {
      text_ += "\\t";
    } else if (byte < 0x20 || byte == 0x7F) {
      static constexpr char kHex[] = "0123456789abcdef";
      text_ += "\\u00";
      text_ += kHex[byte >> 4];
      text_ += kHex[byte & 0x0F];
    } else {
      text_ += c;
    }
  }
  text_ += '"';
  return *this;
}

JsonWriter& JsonWriter::Number(std::int64_t value) {
  BeforeValue();
  text_ += std::to_string(value);
  return *this;
}

JsonWriter& JsonWriter::Bool(bool value) {
  BeforeValue();
  text_ += value ? "true" : "false";
  return *this;
}

JsonWriter& JsonWriter::Null() {
  BeforeValue();
  text_ += "null";
  return *this;
}

JsonWriter& JsonWriter::Embed(const JsonWriter& value) {
  BeforeValue();
  text_ += value.Text();
  return *this;
}

JsonWriter& JsonWriter::StringOrNull(std::string_view value) {
  return value.empty() ? Null() : String(value);
}

}  // namespace kestrave::app
