// The worker window's GTK ports driven directly against real workers on a private desktop:
// Chromium on a local page, and the GTK test window. Accessibility runs on the private
// accessibility bus; the tests run in order, the trust test first.
#include <gtest/gtest.h>
#include <signal.h>

#include <chrono>
#include <iostream>
#include <string>

#include <X11/extensions/XTest.h>

#include "platform/gtk/X11ClientCache.h"
#include "platform/gtk/X11Clients.h"
#include "tests/e2e/companion/DesktopTestSupport.h"
#include "tests/e2e/companion/WorkerApps.h"

namespace qn {
namespace {

Accessibility& ax() {
  return backend().accessibility();
}

// Accessibility on, for tests that run alone.
void enableAccessibility() {
  ASSERT_TRUE(accessibilityBusUp());
  setAccessibilityEnabled(true);
  ASSERT_TRUE(spinUntil([] { return ax().isProcessTrusted(false); }, 2));
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
    for (const auto& child :
         ax().elementsAttribute(element, "AXChildren").value_or(std::vector<AXRef>{}))
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
  })) << "outer frame "
      << x11::outerBounds(worker.window())->origin.x << ","
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
    enableAccessibility();
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

  // Hidden, as the companion keeps it: focusing and typing leave it hidden and the user's
  // window focused.
  auto browser = backend().workspace().runningApplication(chromium->pid());
  ASSERT_NE(browser, nullptr);
  EXPECT_TRUE(browser->hide());
  ASSERT_TRUE(spinUntil([&] { return browser->isHidden(); }));
  // What the focusing does to the worker on the way is not the worker coming forward.
  auto cameForward = std::make_shared<int>(0);
  for (auto event : {WorkspaceEvent::DidActivate, WorkspaceEvent::DidUnhide})
    backend().workspace().observe(event, [cameForward, pid = chromium->pid()](auto app) {
      if (app->processIdentifier() == pid) ++*cameForward;
    });
  EXPECT_TRUE(ax().setBoolAttribute(text, "AXFocused", true));
  EXPECT_EQ(typeText(chromium->pid(), u" ok"), 3);
  EXPECT_TRUE(spinUntil([&] { return chromium->reported("héllo wörl😀 ok"); }, 5));
  spinFor(0.5);
  EXPECT_TRUE(browser->isHidden());
  EXPECT_TRUE(user.hasInputFocus());
  EXPECT_EQ(*cameForward, 0);
  EXPECT_TRUE(browser->unhide());
  ASSERT_TRUE(spinUntil([&] { return !browser->isHidden(); }));
  EXPECT_TRUE(spinUntil([&] { return user.hasInputFocus(); }));

  // Chromium draws its own frame: the window manager moves and sizes the client itself.
  EXPECT_TRUE(ax().setSizeAttribute(main, "AXSize", Size{800, 500}));
  EXPECT_TRUE(ax().setPointAttribute(main, "AXPosition", Point{560, 340}));
  EXPECT_TRUE(ax().performAction(main, "AXRaise"));
  EXPECT_TRUE(spinUntil([&] {
    const auto size = ax().sizeAttribute(main, "AXSize");
    const auto position = ax().pointAttribute(main, "AXPosition");
    return size && position && size->width == 800 && size->height == 500 && position->x == 560 &&
           position->y == 340;
  }));
  EXPECT_TRUE(spinUntil([&] {
    const auto stack = x11::clientsBottomToTop();
    return !stack.empty() && stack.back() == client.front();
  }));
  EXPECT_TRUE(user.hasInputFocus());
}

}  // namespace
}  // namespace qn

namespace qn {
namespace {

template <typename T>
T awaitAnswer(const std::function<void(std::function<void(T)>)>& ask) {
  std::optional<T> answer;
  ask([&](T value) { answer = std::move(value); });
  spinUntil([&] { return answer.has_value(); }, 10);
  return answer.value_or(T{});
}

std::optional<std::vector<ShareableWindow>> listed() {
  return awaitAnswer<std::optional<std::vector<ShareableWindow>>>(
      [](auto done) { backend().windowCapture().shareableWindows(std::move(done)); });
}

ImageRef captured(const ShareableWindow& window, int width, int height) {
  return awaitAnswer<ImageRef>([&](auto done) {
    backend().windowCapture().captureWindow(window, width, height, std::move(done));
  });
}

TEST_F(ChromiumPorts, ListsAndCapturesTheCoveredWindowAtFullSize) {
  ASSERT_TRUE(chromium->ready());
  // The browser at the top left, and the user's window over the middle of it.
  const AXRef main = ax().elementAttribute(app(), "AXMainWindow");
  ASSERT_NE(main, nullptr);
  ax().setSizeAttribute(main, "AXSize", Size{900, 600});
  ax().setPointAttribute(main, "AXPosition", Point{0, 0});
  ASSERT_TRUE(spinUntil([&] {
    const auto position = ax().pointAttribute(main, "AXPosition");
    return position && position->x == 0 && position->y == 0;
  }));
  FocusedWindow user(QN_TEST_WINDOW);
  const auto windows = listed();
  ASSERT_TRUE(windows);
  std::optional<ShareableWindow> browser;
  for (const auto& w : *windows)
    if (w.ownerPid == chromium->pid()) browser = w;
  ASSERT_TRUE(browser);
  EXPECT_EQ(browser->layer, 0);
  EXPECT_EQ(browser->title.find("qn-page"), 0u) << browser->title;
  const auto bounds = x11::rootBounds(browser->id);
  ASSERT_TRUE(bounds);
  EXPECT_EQ(browser->frame.origin.x, bounds->origin.x);
  EXPECT_EQ(browser->frame.size.width, bounds->size.width);
  EXPECT_EQ(windows->front().id, user.window) << "front to back";

  const int width = int(browser->frame.size.width), height = int(browser->frame.size.height);
  ImageRef picture;
  // The first picture may come before the page is drawn again off screen.
  const auto pagePixelAt = [&](int x, int y) {
    const uint8_t* p = &picture->pixels[(size_t(y) * size_t(picture->width) + size_t(x)) * 4];
    return p[2] == kPageRed && p[1] == kPageGreen && p[0] == kPageBlue && p[3] == 255;
  };
  // Under the user's window: root (410, 400).
  const int coveredX = 410 - int(browser->frame.origin.x),
            coveredY = 400 - int(browser->frame.origin.y);
  ASSERT_TRUE(spinUntil(
      [&] {
        picture = captured(*browser, width * 2, height * 2);
        return picture && pagePixelAt(coveredX, coveredY);
      },
      10));
  EXPECT_EQ(picture->width, width) << "never enlarged";
  EXPECT_EQ(picture->height, height);
  const ImageRef half = captured(*browser, width / 2, height / 2);
  ASSERT_TRUE(half);
  EXPECT_EQ(half->width, width / 2);
  EXPECT_EQ(half->height, height / 2);
}

TEST(GtkWorkerPortsEdges, VanishedWindowsAndProcessesWithoutWindows) {
  std::optional<ShareableWindow> gone;
  {
    GtkWorker worker({});
    for (const auto& w : listed().value_or(std::vector<ShareableWindow>{}))
      if (w.ownerPid == worker.pid()) gone = w;
    ASSERT_TRUE(gone);
  }
  EXPECT_EQ(captured(*gone, 100, 100), nullptr);
  EXPECT_EQ(captured(ShareableWindow{}, 100, 100), nullptr);

  // A process that is not an X client, and one that is gone.
  SpawnOptions sleeper;
  sleeper.executable = "/bin/sleep";
  sleeper.arguments = {"30"};
  auto child = ChildProcess::spawn(sleeper, nullptr);
  ASSERT_TRUE(child);
  EXPECT_EQ(ax().applicationElement(child->pid()), nullptr);
  EXPECT_FALSE(backend().keyPoster().post(child->pid(), KeyEvent{36, std::nullopt, true}));
  child->sendSignal(SIGKILL);
  child->waitForExit(5);
  EXPECT_EQ(ax().applicationElement(child->pid()), nullptr);
  EXPECT_FALSE(backend().keyPoster().post(child->pid(), KeyEvent{0, u'a', true}));
}

TEST(GtkWorkerPortsEdges, WindowWithoutSize) {
  enableAccessibility();
  GtkWorker worker({"--unsized"});
  AXRef app;
  ASSERT_TRUE(spinUntil([&] { return (app = ax().applicationElement(worker.pid())) != nullptr; }));
  const AXRef main = ax().elementAttribute(app, "AXMainWindow");
  ASSERT_NE(main, nullptr);
  EXPECT_EQ(ax().stringAttribute(main, "AXTitle"), "qn-worker");
  EXPECT_EQ(ax().sizeAttribute(main, "AXSize"), std::nullopt);
  EXPECT_EQ(ax().pointAttribute(main, "AXPosition"), std::nullopt);
  // The window manager still moves it.
  EXPECT_TRUE(ax().setPointAttribute(main, "AXPosition", Point{200, 150}));
  EXPECT_TRUE(spinUntil([&] {
    const auto outer = x11::outerBounds(worker.window());
    return outer && outer->origin.x == 200 && outer->origin.y == 150;
  }));
}

TEST(GtkWorkerPortsEdges, ThreeHundredWindows) {
  enableAccessibility();
  GtkWorker worker({"--windows", "300"});
  ASSERT_TRUE(spinUntil(
      [&] { return x11::ClientCache::instance()->windowsOf(worker.pid()).size() == 301; }, 30));
  AXRef app;
  ASSERT_TRUE(spinUntil([&] { return (app = ax().applicationElement(worker.pid())) != nullptr; }));
  const auto start = std::chrono::steady_clock::now();
  const auto windows = ax().elementsAttribute(app, "AXWindows");
  const double seconds =
      std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
  std::cout << "AXWindows of 301 windows: " << seconds << " s\n";
  ASSERT_TRUE(windows);
  EXPECT_EQ(windows->size(), 301u);
  EXPECT_LT(seconds, 5.0);
  const AXRef main = ax().elementAttribute(app, "AXMainWindow");
  ASSERT_NE(main, nullptr);
  // Same-titled windows are told apart by where they stand.
  EXPECT_TRUE(ax().performAction(windows->back(), "AXRaise"));
  const auto listing = listed();
  ASSERT_TRUE(listing);
  EXPECT_GE(listing->size(), 301u);
}

TEST(GtkWorkerPortsEdges, ObserversSeeActivationUnhideAndEnd) {
  // Observers stay for the life of the process, so what they record does too.
  auto seenEvents = std::make_shared<std::vector<std::pair<WorkspaceEvent, pid_t>>>();
  auto& seen = *seenEvents;
  for (auto event :
       {WorkspaceEvent::DidActivate, WorkspaceEvent::DidUnhide, WorkspaceEvent::DidTerminate})
    backend().workspace().observe(event,
                                  [seenEvents, event](std::shared_ptr<RunningApplication> app) {
                                    seenEvents->emplace_back(event, app->processIdentifier());
                                  });
  const auto saw = [&](WorkspaceEvent event, pid_t pid) {
    return std::find(seen.begin(), seen.end(), std::pair{event, pid}) != seen.end();
  };
  FocusedWindow user(QN_TEST_WINDOW);
  GtkWorker worker({"--raise-after", "1.5"});
  auto app = backend().workspace().runningApplication(worker.pid());
  ASSERT_NE(app, nullptr);
  EXPECT_TRUE(app->hide());
  ASSERT_TRUE(spinUntil([&] { return app->isHidden(); }));
  seen.clear();
  // The worker presents itself: it shows again and takes the focus, which is told as its
  // activation alone.
  EXPECT_TRUE(spinUntil([&] { return saw(WorkspaceEvent::DidActivate, worker.pid()); }, 5));
  spinFor(0.3);
  EXPECT_FALSE(saw(WorkspaceEvent::DidUnhide, worker.pid()));
  EXPECT_TRUE(app->isActive());
  EXPECT_FALSE(app->isHidden());
  EXPECT_FALSE(saw(WorkspaceEvent::DidTerminate, worker.pid()));
  worker.kill();
  EXPECT_TRUE(spinUntil([&] { return saw(WorkspaceEvent::DidTerminate, worker.pid()); }, 5));

  // Shown again it is told once: as shown, or as activated when the window manager gives it
  // the focus on the way.
  GtkWorker again({});
  auto againApp = backend().workspace().runningApplication(again.pid());
  ASSERT_NE(againApp, nullptr);
  EXPECT_TRUE(againApp->hide());
  ASSERT_TRUE(spinUntil([&] { return againApp->isHidden(); }));
  spinFor(0.3);
  seen.clear();
  EXPECT_TRUE(againApp->unhide());
  EXPECT_TRUE(spinUntil([&] {
    return saw(WorkspaceEvent::DidUnhide, again.pid()) ||
           saw(WorkspaceEvent::DidActivate, again.pid());
  }));
  spinFor(0.3);
  EXPECT_FALSE(saw(WorkspaceEvent::DidUnhide, again.pid()) &&
               saw(WorkspaceEvent::DidActivate, again.pid()));

  // A process without windows ends too, once it has been looked up.
  SpawnOptions sleeper;
  sleeper.executable = "/bin/sleep";
  sleeper.arguments = {"30"};
  auto child = ChildProcess::spawn(sleeper, nullptr);
  ASSERT_TRUE(child);
  ASSERT_NE(backend().workspace().runningApplication(child->pid()), nullptr);
  child->sendSignal(SIGTERM);
  EXPECT_TRUE(spinUntil([&] { return saw(WorkspaceEvent::DidTerminate, child->pid()); }, 5));
}

TEST(GtkWorkerPortsEdges, InputTimingFromTheDevices) {
  auto& timing = backend().inputTiming();
  const auto since = [&](InputEventType type) {
    return timing.secondsSinceLastEvent(InputSourceState::HIDSystem, type);
  };
  FocusedWindow user(QN_TEST_WINDOW);
  // xdotool moves the pointer by warping it, which no device reports; a drag is made with the
  // test extension's virtual pointer instead.
  const auto run = [](std::vector<std::string> arguments) {
    return [arguments] { xdotool(arguments); };
  };
  const auto drag = [] {
    XTestFakeButtonEvent(xdisplay(), 1, True, CurrentTime);
    XTestFakeMotionEvent(xdisplay(), -1, 340, 340, CurrentTime);
    XTestFakeMotionEvent(xdisplay(), -1, 360, 350, CurrentTime);
    XTestFakeButtonEvent(xdisplay(), 1, False, CurrentTime);
    XFlush(xdisplay());
  };
  struct Case {
    const char* name;
    std::function<void()> act;
    InputEventType type;
  };
  const Case cases[] = {
      {"left click", run({"mousemove", "300", "300", "click", "1"}), InputEventType::LeftMouseDown},
      {"right click", run({"click", "3"}), InputEventType::RightMouseDown},
      {"key", run({"key", "Escape"}), InputEventType::KeyDown},
      {"scroll", run({"click", "5"}), InputEventType::ScrollWheel},
      {"drag", drag, InputEventType::LeftMouseDragged},
  };
  for (const auto& c : cases) {
    spinFor(0.6);
    EXPECT_GT(since(c.type), 0.5) << c.name;
    c.act();
    EXPECT_TRUE(spinUntil([&] { return since(c.type) < 0.5; }, 2)) << c.name;
    EXPECT_NEAR(timing.secondsSinceLastEvent(InputSourceState::CombinedSession, c.type),
                since(c.type), 0.05);
  }
  // Keys posted to a window are not the user's.
  spinFor(0.6);
  GtkWorker worker({"--entries"});
  backend().keyPoster().post(worker.pid(), KeyEvent{53, std::nullopt, true});
  spinFor(0.2);
  EXPECT_GT(since(InputEventType::KeyDown), 0.5);
}

double secondsFor(const std::function<void()>& work) {
  const auto start = std::chrono::steady_clock::now();
  work();
  return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// Every read and write on the elements of a process, answers ignored.
void touchEverything(const AXRef& app) {
  for (const auto& window :
       ax().elementsAttribute(app, "AXWindows").value_or(std::vector<AXRef>{})) {
    ax().stringAttribute(window, "AXTitle");
    ax().sizeAttribute(window, "AXSize");
    ax().setPointAttribute(window, "AXPosition", Point{10, 10});
    ax().performAction(window, "AXRaise");
  }
  ax().elementAttribute(app, "AXMainWindow");
  ax().elementAttribute(app, "AXFocusedUIElement");
}

TEST(GtkWorkerPortsZ, ProcessEndingUnderItsElements) {
  enableAccessibility();
  GtkWorker worker({"--entries"});
  AXRef app;
  ASSERT_TRUE(spinUntil([&] { return (app = ax().applicationElement(worker.pid())) != nullptr; }));
  const auto windows = ax().elementsAttribute(app, "AXWindows");
  ASSERT_TRUE(windows && !windows->empty());
  const AXRef window = windows->front();
  worker.kill();
  EXPECT_LT(secondsFor([&] { touchEverything(app); }), 2.0);
  EXPECT_EQ(ax().stringAttribute(window, "AXTitle").value_or(""), "");
  EXPECT_EQ(ax().sizeAttribute(window, "AXSize"), std::nullopt);
  EXPECT_FALSE(ax().performAction(window, "AXRaise"));
  EXPECT_EQ(ax().applicationElement(worker.pid()), nullptr);
  EXPECT_FALSE(backend().keyPoster().post(worker.pid(), KeyEvent{0, u'a', true}));
}

// Last: the accessibility bus's launcher stops under a connected backend. The session bus
// starts it again on the next request that allows it, as it would on a real desktop.
TEST(GtkWorkerPortsZ, AccessibilityBusGoingAway) {
  enableAccessibility();
  GtkWorker worker({"--entries"});
  AXRef app;
  ASSERT_TRUE(spinUntil([&] { return (app = ax().applicationElement(worker.pid())) != nullptr; }));
  stopAccessibilityBus();
  EXPECT_LT(secondsFor([&] {
              ax().isProcessTrusted(false);
              ax().applicationElement(worker.pid());
              touchEverything(app);
            }),
            3.0);
}
}  // namespace
}  // namespace qn
