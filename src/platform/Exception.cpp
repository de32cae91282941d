#include "platform/Exception.h"

#include <new>
#include <stdexcept>

namespace kestrave::platform {

std::string CurrentErrorText() {
  try {
    throw;
  } catch (const Exception& e) {
    return e.Detail().empty() ? e.Message() : e.Message() + "\r\n" + e.Detail();
  } catch (const std::bad_alloc&) {
    return kOutOfMemoryText;
  } catch (const std::length_error&) {
    // A container asked for more than it can ever hold: to the user that is memory running out.
    return kOutOfMemoryText;
  } catch (const std::exception& e) {
    return e.what();
  } catch (...) {
    return "Unknown error";
  }
}

}  // namespace kestrave::platform
