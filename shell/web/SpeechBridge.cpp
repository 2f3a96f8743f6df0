#include "shell/web/SpeechBridge.h"

namespace qn {

void SpeechBridge::didReceive(const std::string&) {
  // Dictation is not available yet; messages are accepted and dropped.
}

}  // namespace qn
