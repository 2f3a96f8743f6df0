#include <unicode/ubrk.h>
#include <unicode/utext.h>

#include <memory>

#include "base/Text.h"

namespace qn {

std::string firstCharacters(std::string_view text, size_t count) {
  UErrorCode status = U_ZERO_ERROR;
  UText* utext = utext_openUTF8(nullptr, text.data(), static_cast<int64_t>(text.size()), &status);
  std::unique_ptr<UText, decltype(&utext_close)> textGuard(utext, utext_close);
  UBreakIterator* breaks = ubrk_open(UBRK_CHARACTER, "", nullptr, 0, &status);
  std::unique_ptr<UBreakIterator, decltype(&ubrk_close)> breakGuard(breaks, ubrk_close);
  ubrk_setUText(breaks, utext, &status);
  if (U_FAILURE(status)) return std::string(text);
  int32_t boundary = ubrk_first(breaks);
  for (size_t i = 0; i < count && boundary != UBRK_DONE; ++i) {
    const int32_t next = ubrk_next(breaks);
    if (next == UBRK_DONE) return std::string(text);
    boundary = next;
  }
  // With a UTF-8 text the boundaries are byte offsets.
  return std::string(text.substr(0, static_cast<size_t>(boundary)));
}

}  // namespace qn
