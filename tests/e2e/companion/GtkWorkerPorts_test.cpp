// The worker window's GTK ports driven directly against real workers on a private desktop:
// Chromium on a local page, and the GTK test window. Accessibility runs on the private
// accessibility bus; the tests run in order, the trust test first.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <string>

#include "platform/gtk/X11ClientCache.h"
#include "platform/gtk/X11Clients.h"
#include "tests/e2e/companion/DesktopTestSupport.h"
#include "tests/e2e/companion/WorkerApps.h"

namespace qn {
namespace {

Accessibility& ax() {
  return backend().accessibility();
}

// Posts the text one UTF-16 unit at a time, as the companion does, with its pacing.
int typeText(pid_t pid, const std::u16string& text) {
  int posted = 0;
  for (char16_t unit : text) {
    auto& keys = backend().keyPoster();
    const bool down = keys.post(pid, KeyEvent{0, unit, true});
    const bool up = keys.post(pid, KeyEvent{0, unit, false});
    posted += down && up ? 1 : 0;
    keys.pause(0.006);
  }
  return posted;
}

bool pressKey(pid_t pid, uint16_t virtualKey) {
  auto& keys = backend().keyPoster();
  return keys.post(pid, KeyEvent{virtualKey, std::nullopt, true}) &&
         keys.post(pid, KeyEvent{virtualKey, std::nullopt, false});
}

constexpr uint16_t kReturn = 36, kBackspace = 51;

// The first element, breadth first from the element, whose role (and subrole) is the one given.
AXRef findRole(const AXRef& from, const std::string& role, const std::string& subrole = "") {
  std::vector<AXRef> queue{from};
  for (size_t i = 0; i < queue.size() && i < 3000; ++i) {
    const AXRef& element = queue[i];
    if (ax().stringAttribute(element, "AXRole") == role &&
        ax().stringAttribute(element, "AXSubrole").value_or("") == subrole)
      return element;
    for (const auto& child : ax().elementsAttribute(element, "AXChildren").value_or(std::vector<AXRef>{}))
      queue.push_back(child);
  }
  return nullptr;
}

TEST(GtkWorkerPorts, TrustFollowsTheAccessibilityFlagAndThePromptSetsIt) {
  backend();
  EXPECT_FALSE(ax().isProcessTrusted(false)) << "no accessibility bus yet";
  ASSERT_TRUE(accessibilityBusUp());
  setAccessibilityEnabled(false);
  EXPECT_FALSE(ax().isProcessTrusted(false));
  EXPECT_EQ(ax().applicationElement(getpid()), nullptr);
  EXPECT_FALSE(ax().isProcessTrusted(true)) << "the answer is the state before the prompt";
  // The companion polls once a second.
  EXPECT_TRUE(spinUntil([] { return ax().isProcessTrusted(false); }, 1.0));
}

TEST(GtkWorkerPorts, GtkWorkerWindowsGeometryAndRoles) {
  ASSERT_TRUE(ax().isProcessTrusted(false));
  GtkWorker worker({"--entries"});
  ASSERT_NE(worker.window(), 0u);
  AXRef app;
  ASSERT_TRUE(spinUntil([&] { return (app = ax().applicationElement(worker.pid())) != nullptr; }));
  EXPECT_EQ(ax().applicationElement(0), nullptr);
  const auto windows = ax().elementsAttribute(app, "AXWindows");
  ASSERT_TRUE(windows);
  ASSERT_EQ(windows->size(), 1u);
  const AXRef main = ax().elementAttribute(app, "AXMainWindow");
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(ax().equal(main, windows->front()));
  EXPECT_FALSE(ax().equal(main, app));
  EXPECT_EQ(ax().stringAttribute(main, "AXTitle"), "qn-worker");
  EXPECT_EQ(ax().stringAttribute(main, "AXRole"), "AXWindow");

  // Size and position are the frame's, in screen coordinates, as the window manager has it.
  const auto outer = x11::outerBounds(worker.window());
  ASSERT_TRUE(outer);
  const auto size = ax().sizeAttribute(main, "AXSize");
  const auto position = ax().pointAttribute(main, "AXPosition");
  ASSERT_TRUE(size && position);
  EXPECT_EQ(size->width, outer->size.width);
  EXPECT_EQ(size->height, outer->size.height);
  EXPECT_EQ(position->x, outer->origin.x);
  EXPECT_EQ(position->y, outer->origin.y);
  EXPECT_FALSE(ax().sizeAttribute(main, "AXPosition"));

  // Moved and sized through the window manager, then raised without taking the focus.
  FocusedWindow user(QN_TEST_WINDOW);
  EXPECT_TRUE(ax().setSizeAttribute(main, "AXSize", Size{700, 450}));
  EXPECT_TRUE(ax().setPointAttribute(main, "AXPosition", Point{321, 123}));
  EXPECT_TRUE(spinUntil([&] {
    const auto now = x11::outerBounds(worker.window());
    return now && now->origin.x == 321 && now->origin.y == 123 && now->size.width == 700 &&
           now->size.height == 450;
  })) << "outer frame " << x11::outerBounds(worker.window())->origin.x << ","
      << x11::outerBounds(worker.window())->origin.y << " "
      << x11::outerBounds(worker.window())->size.width << "x"
      << x11::outerBounds(worker.window())->size.height;
  EXPECT_TRUE(spinUntil([&] {
    const auto p = ax().pointAttribute(main, "AXPosition");
    return p && p->x == 321 && p->y == 123;
  }));
  EXPECT_TRUE(ax().performAction(main, "AXRaise"));
  EXPECT_TRUE(spinUntil([&] {
    const auto stack = x11::clientsBottomToTop();
    return !stack.empty() && stack.back() == worker.window();
  }));
  EXPECT_TRUE(user.hasInputFocus());
  EXPECT_FALSE(ax().performAction(main, "AXPress"));

  // An inactive GTK window reports no focused element; the password entry is a secure text
  // field, the other one a plain text field.
  EXPECT_EQ(ax().elementAttribute(app, "AXFocusedUIElement"), nullptr);
  const AXRef password = findRole(main, "AXTextField", "AXSecureTextField");
  const AXRef entry = findRole(main, "AXTextField");
  ASSERT_NE(password, nullptr);
  ASSERT_NE(entry, nullptr);
  EXPECT_FALSE(ax().equal(password, entry));

  // Focus moves inside the worker; the user's window keeps the keyboard focus, and the element
  // stands as the focused one.
  EXPECT_TRUE(ax().setBoolAttribute(password, "AXFocused", true));
  EXPECT_TRUE(spinUntil([&] { return user.hasInputFocus(); }, 0.3));
  EXPECT_TRUE(ax().equal(ax().elementAttribute(app, "AXFocusedUIElement"), password));
  EXPECT_FALSE(ax().setBoolAttribute(main, "AXFocused", true)) << "a window cannot be focused";
  EXPECT_TRUE(ax().setBoolAttribute(entry, "AXFocused", true));
  spinFor(0.5);
  EXPECT_TRUE(user.hasInputFocus());
  const AXRef focused = ax().elementAttribute(app, "AXFocusedUIElement");
  EXPECT_TRUE(ax().equal(focused, entry));
  EXPECT_EQ(ax().stringAttribute(focused, "AXSubrole"), std::nullopt);

  // Text goes in at the caret of the focused entry, accents and emoji included.
  EXPECT_EQ(typeText(worker.pid(), u"héllo wörld"), 11);
  EXPECT_EQ(typeText(worker.pid(), u"😀"), 2);
  EXPECT_TRUE(spinUntil([&] { return textOfFirst(worker.pid(), "text") == "héllo wörld😀"; }))
      << textOfFirst(worker.pid(), "text");
  EXPECT_EQ(textOfFirst(worker.pid(), "password text"), "");
  spinFor(0.3);
  EXPECT_TRUE(user.hasInputFocus());
}

TEST(GtkWorkerPorts, GtkWorkerTakesNamedKeysWithoutFocus) {
  GtkWorker worker({"--entries"});
  FocusedWindow user(QN_TEST_WINDOW);
  AXRef app;
  ASSERT_TRUE(spinUntil([&] { return (app = ax().applicationElement(worker.pid())) != nullptr; }));
  const AXRef entry = findRole(ax().elementAttribute(app, "AXMainWindow"), "AXTextField");
  ASSERT_NE(entry, nullptr);
  EXPECT_TRUE(ax().setBoolAttribute(entry, "AXFocused", true));
  EXPECT_EQ(typeText(worker.pid(), u"abc"), 3);
  EXPECT_TRUE(pressKey(worker.pid(), kBackspace));
  EXPECT_TRUE(spinUntil([&] { return textOfFirst(worker.pid(), "text") == "ab"; }, 3))
      << "\"" << textOfFirst(worker.pid(), "text") << "\"";
  EXPECT_FALSE(pressKey(worker.pid(), 999)) << "not a named key";
  EXPECT_TRUE(user.hasInputFocus());
}

class ChromiumPorts : public ::testing::Test {
 protected:
  static void SetUpTestSuite() {
    ASSERT_TRUE(ax().isProcessTrusted(false));
    chromium = new ChromiumWorker;
  }
  static void TearDownTestSuite() {
    delete chromium;
    chromium = nullptr;
  }
  static AXRef app() {
    AXRef found;
    spinUntil([&] { return (found = ax().applicationElement(chromium->pid())) != nullptr; }, 10);
    return found;
  }
  static ChromiumWorker* chromium;
};

ChromiumWorker* ChromiumPorts::chromium = nullptr;

TEST_F(ChromiumPorts, WindowsRolesFocusAndKeys) {
  ASSERT_TRUE(chromium->ready());
  const AXRef application = app();
  ASSERT_NE(application, nullptr);
  // Its popup frames are not managed windows.
  const auto windows = ax().elementsAttribute(application, "AXWindows");
  ASSERT_TRUE(windows);
  EXPECT_EQ(windows->size(), 1u);
  const AXRef main = ax().elementAttribute(application, "AXMainWindow");
  ASSERT_NE(main, nullptr);
  EXPECT_TRUE(spinUntil([&] {
    return ax().stringAttribute(main, "AXTitle").value_or("").find("qn-page") == 0;
  })) << ax().stringAttribute(main, "AXTitle").value_or("?");
  const auto client = x11::ClientCache::instance()->windowsOf(chromium->pid());
  ASSERT_EQ(client.size(), 1u);
  const auto size = ax().sizeAttribute(main, "AXSize");
  ASSERT_TRUE(size);
  EXPECT_EQ(size->width, x11::outerBounds(client.front())->size.width);

  AXRef web, text, secret, search;
  ASSERT_TRUE(spinUntil([&] {
    web = findRole(main, "AXWebArea");
    text = web ? findRole(web, "AXTextField") : nullptr;
    secret = web ? findRole(web, "AXTextField", "AXSecureTextField") : nullptr;
    search = web ? findRole(web, "AXSearchField") : nullptr;
    return text && secret && search;
  }));
  EXPECT_EQ(ax().stringAttribute(text, "AXTitle"), "text");
  EXPECT_EQ(ax().stringAttribute(secret, "AXTitle"), "secret");
  EXPECT_EQ(ax().stringAttribute(search, "AXTitle"), "find");

  // Chromium activates its window when an input grabs the focus; the user's window gets the
  // keyboard focus back.
  FocusedWindow user(QN_TEST_WINDOW);
  EXPECT_TRUE(ax().setBoolAttribute(text, "AXFocused", true));
  EXPECT_TRUE(user.hasInputFocus());
  spinFor(1.0);
  EXPECT_TRUE(user.hasInputFocus());
  EXPECT_NE(x11::ClientCache::instance()->activePid(), chromium->pid());

  EXPECT_EQ(typeText(chromium->pid(), u"héllo wörld"), 11);
  EXPECT_TRUE(spinUntil([&] { return chromium->reported("héllo wörld"); }, 5));
  EXPECT_TRUE(pressKey(chromium->pid(), kBackspace));
  EXPECT_TRUE(spinUntil([&] { return chromium->reported("héllo wörl"); }, 5));
  EXPECT_TRUE(pressKey(chromium->pid(), kReturn));
  EXPECT_TRUE(spinUntil([&] { return chromium->enterReported(); }, 5));
  EXPECT_EQ(typeText(chromium->pid(), u"😀"), 2);
  EXPECT_TRUE(spinUntil([&] { return chromium->reported("héllo wörl😀"); }, 5));
  EXPECT_TRUE(user.hasInputFocus());
}

}  // namespace
}  // namespace qn
