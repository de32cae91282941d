#include "platform/Exception.h"

#include <new>

namespace kestrave::platform {

std::string CurrentErrorText() {
  try {
    throw;
  } catch (const Exception& e) {
    return e.Message();
  } catch (const std::bad_alloc&) {
    return "Out of memory";
  } catch (const std::exception& e) {
    return e.what();
  }
}

}  // namespace kestrave::platform
