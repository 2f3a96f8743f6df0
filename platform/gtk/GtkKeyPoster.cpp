// GtkKeyPoster: key events for another process on X11, never through XTEST (which types into
// whatever has the focus: the user's application).
//   [x] text into a focused element with editable text (GTK): AT-SPI insert-text at the caret,
//       the caret moved behind it; Backspace, Delete, Left, Right, Home, End as text edits and
//       caret moves, Return as the element's activate action; no window is activated
//   [x] text otherwise (Chromium), and named keys: KeyPress/KeyRelease sent with XSendEvent to
//       the process's active window, else its first; characters no key makes get a spare key
//       code for the moment. A window without the keyboard focus is told it has it (a sent
//       FocusIn) for the key press and told otherwise after the release, since Chromium drops
//       keys while it believes itself unfocused; the real focus never moves
//   [x] surrogate pairs: the first unit is kept until the second arrives, then the character
//       goes out once
//   [x] macOS key codes of the named keys (Return, Tab, Escape, Backspace, forward Delete,
//       Space, arrows, Home, End, Page Up, Page Down)
//   [ ] toolkits that ignore sent key events get only what editable text can do: GTK ignores
//       them, so Tab, Escape, Up, Down, Page Up and Page Down do not reach a GTK worker

#include "platform/gtk/GtkKeyPoster.h"

#include <X11/XKBlib.h>
#include <X11/Xlib.h>
#include <X11/keysym.h>
#include <gdk/gdkx.h>
#include <gtk/gtk.h>
#include <unistd.h>

#include "platform/gtk/X11ClientCache.h"
#include "platform/gtk/X11Clients.h"

namespace qn {

namespace {

// A typing pause longer than this looks the focused element up again.
constexpr double kTargetSeconds = 0.5;
constexpr size_t kMaxSpareCodes = 8;
// Clients learn of a new key mapping from an event and then read the mapping again; a key sent
// before that makes nothing. Only a spare code's first use for a character waits.
constexpr useconds_t kMappingSettleMicros = 50'000;

Display* display() {
  GdkDisplay* gdk = gdk_display_get_default();
  return gdk != nullptr && GDK_IS_X11_DISPLAY(gdk) ? GDK_DISPLAY_XDISPLAY(gdk) : nullptr;
}

double now() {
  return double(g_get_monotonic_time()) / 1e6;
}

std::optional<unsigned long> namedKeysym(uint16_t virtualKey) {
  switch (virtualKey) {
    case 36:
      return XK_Return;
    case 48:
      return XK_Tab;
    case 53:
      return XK_Escape;
    case 51:
      return XK_BackSpace;
    case 117:
      return XK_Delete;
    case 49:
      return XK_space;
    case 123:
      return XK_Left;
    case 124:
      return XK_Right;
    case 125:
      return XK_Down;
    case 126:
      return XK_Up;
    case 115:
      return XK_Home;
    case 119:
      return XK_End;
    case 116:
      return XK_Page_Up;
    case 121:
      return XK_Page_Down;
    default:
      return std::nullopt;
  }
}

std::optional<TextKey> textKey(uint16_t virtualKey) {
  switch (virtualKey) {
    case 51:
      return TextKey::Backspace;
    case 117:
      return TextKey::Delete;
    case 123:
      return TextKey::Left;
    case 124:
      return TextKey::Right;
    case 115:
      return TextKey::Home;
    case 119:
      return TextKey::End;
    case 36:
      return TextKey::Return;
    default:
      return std::nullopt;
  }
}

unsigned long characterKeysym(char32_t c) {
  if (c == '\n' || c == '\r') return XK_Return;
  if (c == '\t') return XK_Tab;
  if (c == '\b') return XK_BackSpace;
  // Latin-1 keysyms are the characters themselves; the rest of Unicode sits above 0x1000000.
  if ((c >= 0x20 && c <= 0x7e) || (c >= 0xa0 && c <= 0xff)) return c;
  return 0x1000000UL | c;
}

std::string utf8(char32_t c) {
  char buffer[8] = {};
  const int length = g_unichar_to_utf8(gunichar(c), buffer);
  return std::string(buffer, size_t(length));
}

// The window keys for the process go to: its active window, else its first.
std::optional<unsigned long> keyWindowOf(pid_t pid) {
  const auto* cache = x11::ClientCache::instance();
  if (cache == nullptr) return std::nullopt;
  const auto windows = cache->windowsOf(pid);
  if (windows.empty()) return std::nullopt;
  const unsigned long active = cache->activeWindow();
  return std::find(windows.begin(), windows.end(), active) != windows.end() ? active
                                                                            : windows.front();
}

void sendFocus(Display* d, unsigned long window, int type) {
  XEvent event{};
  event.xfocus.type = type;
  event.xfocus.display = d;
  event.xfocus.window = window;
  event.xfocus.mode = NotifyNormal;
  event.xfocus.detail = NotifyNonlinear;
  XSendEvent(d, window, False, FocusChangeMask, &event);
}

}  // namespace

bool GtkKeyPoster::post(pid_t pid, const KeyEvent& event) {
  if (pid <= 0 || display() == nullptr) return false;
  if (!event.unit) {
    const auto keysym = namedKeysym(event.virtualKey);
    if (!keysym) return false;
    if (const auto key = textKey(event.virtualKey)) {
      if (event.down) insertedLast_ = editText(pid, *key);
      if (insertedLast_) return true;
    }
    return sendKey(pid, *keysym, event.down);
  }
  const char16_t unit = *event.unit;
  if (unit >= 0xd800 && unit <= 0xdbff) {
    if (event.down) highSurrogate_ = unit;
    return true;
  }
  char32_t character = unit;
  if (unit >= 0xdc00 && unit <= 0xdfff) {
    if (!highSurrogate_) return false;
    character = 0x10000 + ((char32_t(*highSurrogate_) - 0xd800) << 10) + (unit - 0xdc00);
    if (!event.down) highSurrogate_.reset();
  }
  if (event.down) {
    insertedLast_ = insertText(pid, character);
    if (insertedLast_) return true;
  } else if (insertedLast_) {
    return true;
  }
  return sendKey(pid, characterKeysym(character), event.down);
}

AXRef GtkKeyPoster::editableTarget(pid_t pid) {
  if (target_.pid != pid || now() - target_.lastUse > kTargetSeconds)
    target_ = {pid, accessibility_.focusedEditableElement(pid), 0};
  target_.lastUse = now();
  return target_.element;
}

bool GtkKeyPoster::insertText(pid_t pid, char32_t character) {
  if (character < 0x20) return false;
  const AXRef target = editableTarget(pid);
  if (target && accessibility_.insertAtCaret(target, utf8(character))) return true;
  target_.element = nullptr;
  return false;
}

bool GtkKeyPoster::editText(pid_t pid, TextKey key) {
  const AXRef target = editableTarget(pid);
  return target && accessibility_.applyTextKey(target, key);
}

bool GtkKeyPoster::sendKey(pid_t pid, unsigned long keysym, bool down) {
  const auto window = keyWindowOf(pid);
  const auto key = keyFor(keysym);
  if (!window || !key) return false;
  Display* d = display();
  XEvent event{};
  event.xkey.type = down ? KeyPress : KeyRelease;
  event.xkey.display = d;
  event.xkey.window = *window;
  event.xkey.root = DefaultRootWindow(d);
  event.xkey.subwindow = 0;
  event.xkey.time = CurrentTime;
  event.xkey.x = event.xkey.y = event.xkey.x_root = event.xkey.y_root = 1;
  event.xkey.keycode = key->first;
  event.xkey.state = key->second;
  event.xkey.same_screen = True;
  const auto* cache = x11::ClientCache::instance();
  const bool unfocused = cache->activeWindow() != *window;
  gdk_x11_display_error_trap_push(gdk_display_get_default());
  if (unfocused && down) sendFocus(d, *window, FocusIn);
  const Status sent = XSendEvent(d, *window, True, down ? KeyPressMask : KeyReleaseMask, &event);
  if (unfocused && !down) sendFocus(d, *window, FocusOut);
  XFlush(d);
  const bool ok = gdk_x11_display_error_trap_pop(gdk_display_get_default()) == 0 && sent != 0;
  return ok;
}

std::optional<std::pair<unsigned, unsigned>> GtkKeyPoster::keyFor(unsigned long keysym) {
  Display* d = display();
  const KeyCode code = XKeysymToKeycode(d, keysym);
  if (code != 0) {
    if (XkbKeycodeToKeysym(d, code, 0, 0) == keysym) return std::pair{unsigned(code), 0u};
    if (XkbKeycodeToKeysym(d, code, 0, 1) == keysym)
      return std::pair{unsigned(code), unsigned(ShiftMask)};
  }
  if (const auto known = spareCodeOf_.find(keysym); known != spareCodeOf_.end())
    return std::pair{known->second, 0u};
  if (!spareCodesRead_) {
    spareCodesRead_ = true;
    int low = 0, high = 0, perCode = 0;
    XDisplayKeycodes(d, &low, &high);
    KeySym* map = XGetKeyboardMapping(d, KeyCode(low), high - low + 1, &perCode);
    for (int c = high; map != nullptr && c >= low && spareCodes_.size() < kMaxSpareCodes; --c) {
      bool empty = true;
      for (int level = 0; level < perCode; ++level)
        empty = empty && map[(c - low) * perCode + level] == NoSymbol;
      if (empty) spareCodes_.push_back(unsigned(c));
    }
    if (map != nullptr) XFree(map);
  }
  if (spareCodes_.empty()) return std::nullopt;
  // The spare codes are reused in turn; a character typed again soon keeps its code.
  const unsigned spare = spareCodes_[nextSpare_++ % spareCodes_.size()];
  std::erase_if(spareCodeOf_, [&](const auto& entry) { return entry.second == spare; });
  KeySym symbols[2] = {KeySym(keysym), KeySym(keysym)};
  XChangeKeyboardMapping(d, int(spare), 2, symbols, 1);
  XSync(d, False);
  ::usleep(kMappingSettleMicros);
  spareCodeOf_[keysym] = spare;
  return std::pair{spare, 0u};
}

void GtkKeyPoster::pause(double seconds) {
  if (seconds > 0) ::usleep(useconds_t(seconds * 1e6));
}

}  // namespace qn
