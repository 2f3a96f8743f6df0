#include <map>

#include "companion/App.h"
#include "companion/Members.h"

namespace qn {

namespace {

using Branch = void (*)(App&, const nlohmann::json&);

// "seq" is echoed exactly as given, whatever its type; 0 when it is missing.
nlohmann::json seqOf(const nlohmann::json& command) {
  const auto found = command.find("seq");
  return found == command.end() ? nlohmann::json(0) : *found;
}

std::string text(const nlohmann::json& command, const char* key) {
  return stringMember(command, key).value_or("");
}

}  // namespace

void App::handle(const nlohmann::json& command) {
  if (!command.is_object() || command.empty()) return;
  const auto name = stringMember(command, "cmd");
  if (!name) return;
  static const std::map<std::string, Branch> branches = {
      {"init", [](App& app, const nlohmann::json& c) { app.init(c); }},
      {"peek",
       [](App& app, const nlohmann::json& c) {
         if (boolMember(c, "on").value_or(false)) {
           app.peek(text(c, "caption"));
         } else {
           app.unpeek();
         }
       }},
      {"keys",
       [](App& app, const nlohmann::json& c) {
         const int64_t n = app.postKeys(text(c, "text"));
         app.emit({{"ev", "keys"}, {"n", n}, {"seq", seqOf(c)}});
       }},
      {"key",
       [](App& app, const nlohmann::json& c) {
         const bool ok = app.postKey(text(c, "key"));
         app.emit({{"ev", "keys"}, {"n", ok ? 1 : -1}, {"seq", seqOf(c)}});
       }},
      {"ready", [](App& app, const nlohmann::json&) { app.ready = true; }},
      {"state", [](App& app, const nlohmann::json& c) { app.stateCommand(c); }},
      {"board", [](App& app, const nlohmann::json& c) { app.board(c); }},
      {"consent", [](App& app, const nlohmann::json& c) { app.askShow(c); }},
      {"mirror", [](App& app, const nlohmann::json& c) { app.mirrorCommand(c); }},
      {"frame", [](App& app, const nlohmann::json& c) { app.frameCommand(c); }},
      {"still", [](App& app, const nlohmann::json& c) { app.stillCommand(c); }},
      {"cur", [](App& app, const nlohmann::json& c) { app.curCommand(c); }},
      {"alert", [](App& app, const nlohmann::json&) { app.playAlert(); }},
      {"drawer", [](App& app, const nlohmann::json& c) { app.drawerCommand(c); }},
      {"place",
       [](App& app, const nlohmann::json& c) {
         app.place(stringMember(c, "id"), boolMember(c, "mouse").value_or(false));
       }},
      {"show",
       [](App& app, const nlohmann::json& c) {
         if (app.nativeApp) {
           app.unpeek();
           app.centerOnPanel();
         }
         app.show(stringMember(c, "reason").value_or("user"));
       }},
      {"hide",
       [](App& app, const nlohmann::json&) {
         app.pendingShow = false;
         app.hideNow();
       }},
      {"quit",
       [](App& app, const nlohmann::json&) {
         app.quitting = true;
         app.ports_.terminate();
       }},
  };
  const auto branch = branches.find(*name);
  if (branch != branches.end()) branch->second(*this, command);
}

void App::init(const nlohmann::json& command) {
  // A pid beyond 32 bits names no process the companion could hold; it counts as none.
  pid = int32Member(command, "pid").value_or(0);
  title = text(command, "title");
  nativeApp = intMember(command, "app") == 1;
  workerStart.reset();
  if (pid >= 1) {
    if (const auto worker = ports_.workspace.runningApplication(pid)) {
      workerStart = worker->startTime();
      worker->hide();
    }
  }
  if (nativeApp) axCheck();
}

void App::stateCommand(const nlohmann::json& command) {
  view->state = text(command, "state");
  view->done = intMember(command, "done").value_or(0);
  view->total = intMember(command, "total").value_or(0);
  detail = text(command, "detail");
  redrawTab();
  speed = text(command, "speed");
  note = text(command, "note");
  result = text(command, "result");
  const std::string& st = view->state;
  if (st != lastState && (st == "human" || st == "done" || st == "error" || st == "stopped")) {
    pin(8);
  } else if (bubble->isVisible()) {
    bubbleShow(true);
  }
  lastState = st;
}

void App::mirrorCommand(const nlohmann::json& command) {
  const std::string id = text(command, "id");
  if (boolMember(command, "on").value_or(false)) {
    if (options_.boardMode && mirrorOn && mirrorId != id) {
      mirrorOn = false;
      mv->cur.reset();
    }
    mirrorId = id;
    mirror(true);
  } else if (!options_.boardMode || id == mirrorId) {
    mirror(false);
  }
}

void App::drawerCommand(const nlohmann::json& command) {
  if (options_.boardMode) {
    if (const auto id = stringMember(command, "id")) {
      for (const auto& job : jobs) {
        if (job.id == *id) {
          sel = *id;
          break;
        }
      }
    }
  }
  if (boolMember(command, "on") == false) {
    pinUntil = -std::numeric_limits<double>::infinity();
    bubbleShow(false);
  } else {
    pin(static_cast<double>(intMember(command, "sec").value_or(5)));
  }
}

void App::send(nlohmann::json event, std::optional<std::string> id) {
  if (options_.boardMode) event["id"] = id ? *id : sel;
  emit(event);
}

void App::emit(const nlohmann::json& event) {
  // Strings that are not valid UTF-8 are replaced rather than thrown at.
  std::string line = event.dump(-1, ' ', false, nlohmann::json::error_handler_t::replace);
  line.push_back('\n');
  ports_.writeLine(line);
}

}  // namespace qn
