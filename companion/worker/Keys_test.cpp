#include "companion/worker/WorkerFixture_testing.h"

namespace qn::test {
namespace {

nlohmann::json keysReply(int64_t n, nlohmann::json seq) {
  return {{"ev", "keys"}, {"n", n}, {"seq", seq}};
}

// The text units the events carried, one per key-down.
std::u16string typed(const SimKeyPoster& poster) {
  std::u16string units;
  for (const auto& [pid, event] : poster.posted)
    if (event.down && event.unit) units.push_back(*event.unit);
  return units;
}

TEST(PostKeys, CountsUtf16UnitsAndPostsADownAndAnUpForEach) {
  const struct {
    std::string text;
    int64_t n;
    std::u16string units;
  } cases[] = {
      {"héllo", 5, u"héllo"},
      {"héllo wörld", 11, u"héllo wörld"},
      {"😀", 2, std::u16string{char16_t(0xD83D), char16_t(0xDE00)}},
      {"", 0, u""},
  };
  for (const auto& c : cases) {
    WorkerFixture sim;
    sim.init();
    sim.command(nlohmann::json{{"cmd", "keys"}, {"text", c.text}, {"seq", 7}}.dump());
    EXPECT_EQ(sim.take(), std::vector<nlohmann::json>{keysReply(c.n, 7)}) << c.text;
    EXPECT_EQ(typed(sim.keyPoster), c.units) << c.text;
    ASSERT_EQ(sim.keyPoster.posted.size(), size_t(2 * c.n));
    for (size_t i = 0; i < sim.keyPoster.posted.size(); ++i) {
      const auto& [pid, event] = sim.keyPoster.posted[i];
      EXPECT_EQ(pid, WorkerFixture::kWorkerPid);
      EXPECT_EQ(event.down, i % 2 == 0);
      EXPECT_EQ(event.virtualKey, 0);
    }
    EXPECT_EQ(sim.keyPoster.pauses, c.n);
    EXPECT_NEAR(sim.keyPoster.pausedSeconds, 0.006 * double(c.n), 1e-9);
    // The focusing runs even for an empty text.
    EXPECT_EQ(sim.writesOf<bool>(sim.window, "AXFocused"), std::vector<bool>{true}) << c.text;
  }
}

TEST(PostKey, NamedKeysByTheirCodeAnythingElseIsMinusOne) {
  const struct {
    std::string key;
    int64_t n;
    uint16_t code;
  } cases[] = {{"Enter", 1, 36}, {"Backspace", 1, 51}, {"Delete", 1, 117},
               {"enter", -1, 0}, {"", -1, 0},          {"F1", -1, 0}};
  for (const auto& c : cases) {
    WorkerFixture sim;
    sim.init();
    sim.command(nlohmann::json{{"cmd", "key"}, {"key", c.key}, {"seq", "abc"}}.dump());
    EXPECT_EQ(sim.take(), std::vector<nlohmann::json>{keysReply(c.n, "abc")}) << c.key;
    if (c.n < 0) {
      EXPECT_TRUE(sim.keyPoster.posted.empty());
      continue;
    }
    ASSERT_EQ(sim.keyPoster.posted.size(), 2u);
    EXPECT_EQ(sim.keyPoster.posted[0].second.virtualKey, c.code);
    EXPECT_FALSE(sim.keyPoster.posted[0].second.unit);
    EXPECT_TRUE(sim.keyPoster.posted[0].second.down);
    EXPECT_FALSE(sim.keyPoster.posted[1].second.down);
  }
}

TEST(PostKeys, NothingIsPostedWithoutAWorkerOrWithoutThePermission) {
  WorkerFixture untrusted;
  untrusted.init();
  untrusted.accessibility.trusted = false;
  untrusted.command(R"({"cmd":"keys","text":"abc"})");
  untrusted.command(R"({"cmd":"key","key":"Enter"})");
  EXPECT_EQ(untrusted.take(), (std::vector<nlohmann::json>{keysReply(-1, 0), keysReply(-1, 0)}));

  WorkerFixture noWorker;
  noWorker.command(R"({"cmd":"keys","text":"abc","seq":3})");
  EXPECT_EQ(noWorker.take(), std::vector<nlohmann::json>{keysReply(-1, 3)});

  for (auto* sim : {&untrusted, &noWorker}) {
    EXPECT_TRUE(sim->keyPoster.posted.empty());
    EXPECT_TRUE(sim->accessibility.writes.empty());
  }
}

TEST(PostKeys, AWorkerThatEndsMidwayStopsTheTyping) {
  WorkerFixture sim;
  sim.init();
  sim.keyPoster.onPost = [&] {
    if (sim.keyPoster.posted.size() == 100) sim.worker->terminated = true;
  };
  sim.app->postKeys(std::string(10000, 'x'));
  EXPECT_LT(sim.keyPoster.posted.size(), 300u);
}

// A text field, a secure one and a search field under the window, in a small tree.
struct FocusTree {
  WorkerFixture sim;
  FocusTree() { sim.init(); }
  SimElementRef field(const std::string& role, const std::string& name, SimElementRef parent) {
    return (parent ? parent : sim.window)->addChild(role, name);
  }
  std::vector<std::string> focused() const {
    std::vector<std::string> names;
    for (const auto& write : sim.accessibility.writes)
      if (write.attribute == "AXFocused" && write.element != sim.window)
        names.push_back(write.element->name);
    return names;
  }
};

TEST(FocusInput, ThePasswordFieldIsSkippedForTheTextFieldAfterIt) {
  FocusTree tree;
  const auto group = tree.field("AXGroup", "group", nullptr);
  tree.field("AXTextField", "password", group)->set("AXSubrole", std::string("AXSecureTextField"));
  tree.field("AXTextField", "text", group);
  tree.sim.app->focusInput();
  EXPECT_EQ(tree.focused(), std::vector<std::string>{"text"});
  EXPECT_EQ(tree.sim.writesOf<bool>(tree.sim.window, "AXMain"), std::vector<bool>{true});
}

TEST(FocusInput, BreadthFirstTheShallowerFieldWins) {
  FocusTree tree;
  const auto deep = tree.field("AXGroup", "a", nullptr)->addChild("AXGroup", "b");
  deep->addChild("AXTextArea", "deep");
  tree.field("AXGroup", "c", nullptr)->addChild("AXTextField", "shallow");
  tree.sim.app->focusInput();
  EXPECT_EQ(tree.focused(), std::vector<std::string>{"shallow"});
}

TEST(FocusInput, OnlyASecureFieldOrNothingBelowEightLevelsFocusesNothing) {
  FocusTree secure;
  secure.field("AXTextField", "password", nullptr)
      ->set("AXSubrole", std::string("AXSecureTextField"));
  secure.sim.app->focusInput();
  EXPECT_TRUE(secure.focused().empty());

  FocusTree deep;
  SimElementRef at = deep.sim.window;
  for (int depth = 1; depth <= 8; ++depth) at = at->addChild("AXGroup");
  at->addChild("AXTextField", "too deep");
  deep.sim.app->focusInput();
  EXPECT_TRUE(deep.focused().empty());

  FocusTree reachable;
  at = reachable.sim.window;
  for (int depth = 1; depth <= 7; ++depth) at = at->addChild("AXGroup");
  at->addChild("AXTextField", "depth 8");
  reachable.sim.app->focusInput();
  EXPECT_EQ(reachable.focused(), std::vector<std::string>{"depth 8"});
}

TEST(FocusInput, AFocusAlreadyInAnInputIsLeftAlone) {
  for (const std::string role : {"AXSearchField", "AXWebArea", "AXComboBox", "AXTextArea"}) {
    FocusTree tree;
    tree.field("AXTextField", "text", nullptr);
    const auto current = tree.field(role, "current", nullptr);
    tree.sim.application->set("AXFocusedUIElement", current);
    tree.sim.app->focusInput();
    EXPECT_TRUE(tree.focused().empty()) << role;
  }
  FocusTree button;
  button.field("AXTextField", "text", nullptr);
  button.sim.application->set("AXFocusedUIElement", button.field("AXButton", "button", nullptr));
  button.sim.app->focusInput();
  EXPECT_EQ(button.focused(), std::vector<std::string>{"text"});
}

TEST(FocusInput, AHugeOrCyclicTreeCostsABoundedNumberOfReads) {
  FocusTree wide;
  std::vector<SimElementRef> children(100000);
  for (auto& child : children) child = std::make_shared<SimElement>();
  wide.sim.window->set("AXChildren", children);
  wide.sim.app->focusInput();
  EXPECT_LT(wide.sim.accessibility.reads, 2000);

  FocusTree cyclic;
  const auto group = cyclic.field("AXGroup", "group", nullptr);
  group->set("AXChildren", std::vector<SimElementRef>{cyclic.sim.window, group});
  cyclic.sim.app->focusInput();
  EXPECT_LT(cyclic.sim.accessibility.reads, 2000);
  EXPECT_TRUE(cyclic.focused().empty());
  // The test made the cycle; it breaks it so the elements are freed.
  group->attributes.erase("AXChildren");
}

}  // namespace
}  // namespace qn::test
