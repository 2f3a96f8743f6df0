#include "shell/AppDelegate.h"

namespace qn {

void AppDelegate::handleAutoUpdateTrigger() {
  // Installing a staged update is not supported yet: the service's exit is only logged.
}

}  // namespace qn
