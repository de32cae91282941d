#pragma once

#include <string_view>

namespace kestrave::platform {

// An object whose state can be copied from another object by Assign, and that names its class
// for the error a wrong source raises.
class TPersistent {
 public:
  virtual ~TPersistent() = default;
  virtual std::string_view ClassName() const = 0;
};

// "Cannot assign a <source's class, or nil> to a <target's class>".
[[noreturn]] void ThrowAssignError(const TPersistent* source, const TPersistent& target);

}  // namespace kestrave::platform
