#include "tests/e2e/companion/WorkerApps.h"

#include <gio/gio.h>
#include <signal.h>
#include <stdlib.h>

#include <deque>
#include <filesystem>

#include "platform/gtk/X11ClientCache.h"
#include "tests/e2e/companion/DesktopTestSupport.h"
#include "tests/e2e/support/Accessibility.h"

namespace qn {

namespace {

std::unique_ptr<test::AccessibilityBus>& bus() {
  static std::unique_ptr<test::AccessibilityBus> instance;
  return instance;
}

std::string percentEncoded(const std::string& text) {
  static const char* hex = "0123456789ABCDEF";
  std::string out;
  for (unsigned char c : text) {
    if (std::isalnum(c) || std::string_view("-_.!~*'()").find(char(c)) != std::string::npos) {
      out += char(c);
    } else {
      out += '%';
      out += hex[c >> 4];
      out += hex[c & 15];
    }
  }
  return out;
}

std::string page(bool focusTextInput) {
  return std::string(R"(<!doctype html><html><head><title>qn-page</title>
<style>body { background: rgb(20, 160, 60); margin: 0 }</style></head><body>
<input id="text" aria-label="text" type="text")") +
         (focusTextInput ? " autofocus" : "") + R"(>
<input id="secret" aria-label="secret" type="password">
<input id="find" aria-label="find" type="search">
<script>
const text = document.getElementById('text');
text.addEventListener('input', () => fetch('/got?' + encodeURIComponent(text.value)));
text.addEventListener('keydown', e => { if (e.key === 'Enter') fetch('/enter'); });
document.addEventListener('mousedown', () => fetch('/clicked'));
</script></body></html>)";
}

}  // namespace

bool accessibilityBusUp() {
  if (!bus()) bus() = std::make_unique<test::AccessibilityBus>();
  return bus()->ready();
}

void stopAccessibilityBus() {
  bus().reset();
}

void setAccessibilityEnabled(bool enabled) {
  GDBusConnection* session = g_bus_get_sync(G_BUS_TYPE_SESSION, nullptr, nullptr);
  GVariant* reply = g_dbus_connection_call_sync(
      session, "org.a11y.Bus", "/org/a11y/bus", "org.freedesktop.DBus.Properties", "Set",
      g_variant_new("(ssv)", "org.a11y.Status", "IsEnabled", g_variant_new_boolean(enabled)),
      nullptr, G_DBUS_CALL_FLAGS_NONE, 2000, nullptr, nullptr);
  if (reply != nullptr) g_variant_unref(reply);
  g_object_unref(session);
}

ChromiumWorker::ChromiumWorker(bool focusTextInput) {
  backend();
  accessibilityBusUp();
  server.serve("/", page(focusTextInput));
  char folder[] = "/tmp/qn-chromium.XXXXXX";
  profile_ = ::mkdtemp(folder) != nullptr ? folder : "";
  SpawnOptions options;
  options.executable = "/usr/bin/chromium";
  options.arguments = {"--no-sandbox",
                       "--user-data-dir=" + profile_,
                       "--no-first-run",
                       "--no-default-browser-check",
                       "--force-renderer-accessibility",
                       "--disable-gpu",
                       "--window-size=900,600",
                       server.url("/")};
  std::vector<std::string> environment;
  for (char** e = environ; *e != nullptr; ++e) environment.emplace_back(*e);
  environment.emplace_back("ACCESSIBILITY_ENABLED=1");
  options.environment = environment;
  options.standardError = ChildOutput::null();
  child_ = ChildProcess::spawn(options, nullptr);
  if (!child_) return;
  ready_ = spinUntil(
      [&] {
        const auto* cache = x11::ClientCache::instance();
        return cache != nullptr && !cache->windowsOf(child_->pid()).empty() &&
               !server.requests().empty();
      },
      30);
}

ChromiumWorker::~ChromiumWorker() {
  if (child_) {
    child_->sendSignal(SIGTERM);
    if (!child_->waitForExit(5)) child_->sendSignal(SIGKILL);
    child_->waitForExit(5);
  }
  std::error_code ignored;
  if (!profile_.empty()) std::filesystem::remove_all(profile_, ignored);
}

pid_t ChromiumWorker::pid() const {
  return child_ ? child_->pid() : 0;
}

bool ChromiumWorker::reported(const std::string& value) const {
  const auto requests = server.requests();
  return std::find(requests.begin(), requests.end(), "/got?" + percentEncoded(value)) !=
         requests.end();
}

bool ChromiumWorker::holds(const std::string& value) const {
  const auto requests = server.requests();
  const auto last = std::find_if(requests.rbegin(), requests.rend(),
                                 [](const std::string& r) { return r.rfind("/got?", 0) == 0; });
  return last != requests.rend() && *last == "/got?" + percentEncoded(value);
}

bool ChromiumWorker::enterReported() const {
  return requested("/enter");
}

bool ChromiumWorker::clickReported() const {
  return requested("/clicked");
}

bool ChromiumWorker::requested(const std::string& path) const {
  const auto requests = server.requests();
  return std::find(requests.begin(), requests.end(), path) != requests.end();
}

GtkWorker::GtkWorker(std::vector<std::string> options) {
  backend();
  SpawnOptions spawn;
  spawn.executable = QN_TEST_WINDOW;
  spawn.arguments = std::move(options);
  child = ChildProcess::spawn(spawn, nullptr);
  if (!child) return;
  spinUntil([&] {
    const auto windows = x11::ClientCache::instance()->windowsOf(child->pid());
    window_ = windows.empty() ? 0 : windows.front();
    return window_ != 0;
  });
}

GtkWorker::~GtkWorker() {
  kill();
}

void GtkWorker::kill() {
  if (!child) return;
  child->sendSignal(SIGKILL);
  child->waitForExit(5);
}

pid_t GtkWorker::pid() const {
  return child ? child->pid() : 0;
}

std::string textOfFirst(pid_t pid, const std::string& role) {
  AtspiAccessible* app = test::applicationOf(pid);
  if (app == nullptr) return {};
  std::deque<AtspiAccessible*> queue{app};
  std::string text;
  bool found = false;
  while (!queue.empty()) {
    AtspiAccessible* object = queue.front();
    queue.pop_front();
    gchar* roleName = found ? nullptr : atspi_accessible_get_role_name(object, nullptr);
    if (roleName != nullptr && role == roleName) {
      found = true;
      atspi_accessible_clear_cache(object);
      AtspiText* iface = atspi_accessible_get_text_iface(object);
      gchar* value = iface ? atspi_text_get_text(iface, 0, -1, nullptr) : nullptr;
      text = value != nullptr ? value : "";
      g_free(value);
      if (iface != nullptr) g_object_unref(iface);
    }
    g_free(roleName);
    if (!found)
      for (AtspiAccessible* child : test::childrenOf(object)) queue.push_back(child);
    g_object_unref(object);
  }
  return text;
}

}  // namespace qn
