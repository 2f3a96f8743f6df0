#include "companion/App.h"

namespace qn {

// Posting needs the accessibility check, which comes with the worker-window control; until it
// passes nothing is posted and the parent is told so.
int64_t App::postKeys(const std::string&) {
  return -1;
}

bool App::postKey(const std::string&) {
  return false;
}

}  // namespace qn
