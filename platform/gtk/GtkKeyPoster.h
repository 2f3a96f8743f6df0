#pragma once

#include <map>
#include <optional>
#include <string>
#include <vector>

#include "platform/KeyPoster.h"
#include "platform/gtk/GtkAccessibility.h"

namespace qn {

// Keys for another process's window without activating it: text goes in at the caret of the
// focused element when its toolkit offers editable text (GTK); otherwise, and for named keys,
// key events are sent to the process's window (Chromium takes them).
class GtkKeyPoster : public KeyPoster {
 public:
  explicit GtkKeyPoster(GtkAccessibility& accessibility) : accessibility_(accessibility) {}
  bool post(pid_t pid, const KeyEvent& event) override;
  void pause(double seconds) override;

 private:
  // The element typed into last, kept while the typing goes on.
  struct Target {
    pid_t pid = 0;
    AXRef element;
    double lastUse = 0;
  };

  bool insertText(pid_t pid, char32_t character);
  bool editText(pid_t pid, TextKey key);
  // The focused editable element, looked up again after a pause in the typing.
  AXRef editableTarget(pid_t pid);
  bool sendKey(pid_t pid, unsigned long keysym, bool down);
  // A key code that makes the keysym, with the modifiers it needs; a spare key code is given
  // the keysym when no key has it.
  std::optional<std::pair<unsigned, unsigned>> keyFor(unsigned long keysym);

  GtkAccessibility& accessibility_;
  std::optional<char16_t> highSurrogate_;
  // Whether the last key down went in as text, so its key up has nothing left to do.
  bool insertedLast_ = false;
  Target target_;
  std::vector<unsigned> spareCodes_;
  bool spareCodesRead_ = false;
  std::map<unsigned long, unsigned> spareCodeOf_;
  size_t nextSpare_ = 0;
};

}  // namespace qn
