#pragma once

#include <sys/types.h>

#include <cstdint>
#include <functional>
#include <limits>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include <nlohmann/json.hpp>

#include "companion/Job.h"
#include "companion/Options.h"
#include "companion/views/AskView.h"
#include "companion/views/DrawerView.h"
#include "companion/views/ListView.h"
#include "companion/views/TabView.h"
#include "companion/worker/MirrorView.h"
#include "companion/worker/ShieldView.h"
#include "platform/Accessibility.h"
#include "platform/Controls.h"
#include "platform/InputTiming.h"
#include "platform/KeyPoster.h"
#include "platform/MainLoop.h"
#include "platform/Panels.h"
#include "platform/Screens.h"
#include "platform/Sound.h"
#include "platform/WindowCapture.h"
#include "platform/WindowList.h"
#include "platform/Workspace.h"

namespace qn {

// What the companion reaches outside its own state.
struct CompanionPorts {
  MainLoop& loop;
  Panels& panels;
  Screens& screens;
  WindowList& windowList;
  Workspace& workspace;
  Accessibility& accessibility;
  InputTiming& inputTiming;
  KeyPoster& keyPoster;
  WindowCapture& windowCapture;
  Sound& sound;
  // Writes one whole line to the parent; the text ends with a line feed.
  std::function<void(std::string_view)> writeLine;
  // Ends the process at once.
  std::function<void()> terminate;
};

// The last picture of a job and the size of its source.
struct Still {
  ImageRef image;
  Size size;
};

// The companion's one controller. Everything here runs on the main thread.
class App : public std::enable_shared_from_this<App> {
 public:
  App(CompanionPorts ports, CompanionOptions options);
  ~App();
  App(const App&) = delete;
  App& operator=(const App&) = delete;

  // Start-up and line protocol.
  void applicationDidFinishLaunching();
  void handle(const nlohmann::json& command);
  void send(nlohmann::json event, std::optional<std::string> id = std::nullopt);
  void emit(const nlohmann::json& event);
  void orphan();
  std::string T(std::string_view zh, std::string_view en) const;

  // Job list.
  void board(const nlohmann::json& command);
  const Job* cur() const;
  std::string cst() const;
  bool ended() const;
  bool parked() const;

  // Screens and the tab's place.
  std::optional<Screen> panelScreen();
  std::optional<Screen> home();
  std::optional<Screen> here();
  void layout();
  void drag(Point point, bool ended);

  // Bubble and shown state.
  void bubbleShow(bool open);
  void pin(double seconds);
  void closeSoon();
  void setShown(bool v);

  // A standard companion window for the content rectangle.
  std::unique_ptr<Panel> mk(Rect rect);

  // Drawer and menu.
  void buildDrawer();
  void menu(Point at);
  void pick(const std::string& id);
  void segC();
  void yesC();
  void noC();
  void tog();
  void tog2();
  void pauseC();
  void stopC();
  void openC();
  void item(const std::string& key);
  bool unlOn(const char* key) const;
  std::string unlText(const char* key) const;
  void unlC();

  // Ask dialog.
  void buildAsk();
  void askShow(const nlohmann::json& command);
  void askPlace();
  void answer(const std::string& v);
  void askYes();
  void askNo();

  // The worker application and window.
  std::shared_ptr<RunningApplication> chrome();
  bool axOK(bool prompt);
  void axCheck();
  AXRef axWin();
  std::vector<AXRef> axWins();
  std::string axTitle(const AXRef& el);
  Size axSize(const AXRef& el);
  void axSet(const AXRef& el, Rect r);
  bool axFrame(Rect r);
  std::optional<Screen> mouseScreen();
  void peek(const std::string& caption);
  void unpeek();
  void show(const std::string& reason);
  void verifyShown(const std::string& reason, bool last);
  void hideNow();
  void place(const std::optional<std::string>& id, bool mouse);
  void centerOnPanel();
  void capture();
  void emit2toggle();
  void mirror(bool on);
  void layMirror();
  void keepStill(const std::string& id, ImageRef image, Size size);
  void useStill(const std::string& id);
  void frameCommand(const nlohmann::json& command);
  void stillCommand(const nlohmann::json& command);
  void curCommand(const nlohmann::json& command);
  int64_t postKeys(const std::string& text);
  bool postKey(const std::string& name);
  void focusInput();
  void watch();
  void guardTick();
  void leaked(const std::string& kind);
  void slowTick();
  void follow();
  void playAlert();

  const CompanionOptions& options() const { return options_; }

  // Fields, in the controller's declaration order.
  std::unique_ptr<Panel> mir;
  std::unique_ptr<MirrorView> mv;
  bool mirrorOn = false;
  bool mirMoved = false;
  static constexpr double W = 34;
  static constexpr double H = 94;
  std::unique_ptr<Panel> panel;
  std::unique_ptr<TabView> view;
  std::unique_ptr<Panel> bubble;
  std::unique_ptr<DrawerView> dv;
  bool inDrawer = false;
  double pinUntil = -std::numeric_limits<double>::infinity();
  bool askFast = false;
  // The controls belong to their panel; these point at them.
  Label* lTitle = nullptr;
  Label* lDetail = nullptr;
  Label* lNote = nullptr;
  Label* lWarn = nullptr;
  SegmentedControl* seg = nullptr;
  Box* bar = nullptr;
  Box* barIn = nullptr;
  Button* bView = nullptr;
  Button* bPause = nullptr;
  Button* bStop = nullptr;
  Button* bOpen = nullptr;
  Button* bYes = nullptr;
  Button* bNo = nullptr;
  std::string speed;
  std::string note;
  std::string result;
  int32_t pid = 0;
  std::string title;
  std::string detail;
  bool shown = false;
  bool ready = false;
  std::shared_ptr<RunningApplication> lastFront;
  bool userActive = false;
  double pulseT = 0;
  bool edgeLeft = false;
  double relY = 0.5;
  uint32_t screenID = 0;
  bool dragging = false;
  bool pendingShow = false;
  bool seenVisible = false;
  std::string lastState;
  bool quitting = false;
  uint32_t panelDid = 0;
  int followN = 0;
  bool nativeApp = false;
  bool peeking = false;
  std::unique_ptr<Panel> shield;
  std::unique_ptr<ShieldView> sv;
  Timer axTimer;
  Timer capTimer;
  bool capBusy = false;
  std::optional<ShareableWindow> capWin;
  std::vector<Job> jobs;
  std::string sel;
  int64_t fseq = -1;
  std::string mirrorId;
  std::map<std::string, Still> stills;
  int64_t nRun = 0;
  int64_t nQueue = 0;
  int64_t nHeld = 0;
  bool low = false;
  std::unique_ptr<ListView> lv;
  // The drawer's control that shows lv.
  DrawnView* lvView = nullptr;
  Label* lTip = nullptr;
  std::map<std::string, std::string> was;
  std::optional<nlohmann::json> unl;
  Label* lUnl = nullptr;
  Button* bUnl = nullptr;
  bool unlSeen = false;
  std::unique_ptr<Panel> ask;
  std::unique_ptr<AskView> av;
  Label* aTitle = nullptr;
  Label* aBody = nullptr;
  Label* aTips = nullptr;
  Button* aYes = nullptr;
  Button* aNo = nullptr;
  std::string askId;
  int64_t askVer = 0;

  // When the worker named by init started; a process with its pid and another start is not it.
  std::optional<unsigned long long> workerStart;

 private:
  // Runs fn on the controller when it still exists.
  std::function<void()> weakly(std::function<void(App&)> fn);
  void init(const nlohmann::json& command);
  void stateCommand(const nlohmann::json& command);
  void mirrorCommand(const nlohmann::json& command);
  void drawerCommand(const nlohmann::json& command);
  bool mirrorsCommand(const nlohmann::json& command) const;
  std::string mirrorCaption() const;
  // The live picture's caption ("Live view"), with a detail after it when there is one.
  std::string liveViewCaption(const std::string& detail) const;
  void redrawTab();
  std::vector<Job> listRows() const;
  std::string countsLine(bool listShown) const;
  std::vector<Button*> buttonRow();
  std::string fastWarning() const;
  void placeBubble(double W, double h);
  // The height of the first screen: window-list and accessibility y run down from its top.
  double h0();
  void animationTick();
  void orphanTick();
  void ensureAnimation();
  void catchUpPulse();

  CompanionPorts ports_;
  CompanionOptions options_;
  Timer animation_;
  bool animationRunning_ = false;
  double launchedAt_ = 0;
  Timer slow_;
  Timer orphanTimer_;
  Timer guardTimer_;
  // Each peek has its own number; a capture answered after its peek ended is dropped.
  uint64_t peekNumber_ = 0;
  std::shared_ptr<RunningApplication> orphanWorker_;
  int orphanTicks_ = 0;
};

}  // namespace qn
