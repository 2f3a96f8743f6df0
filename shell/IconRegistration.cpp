#include "shell/IconRegistration.h"

#include <signal.h>
#include <sys/resource.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "base/ChildProcess.h"
#include "base/Files.h"
#include "base/Text.h"
#include "shell/AppDelegate.h"

namespace qn {

namespace {

// How long a registration tool that was asked to end may take before it is killed.
constexpr double terminateGraceSeconds = 1;

// Background work that must not compete with the launch: the nice value of a utility queue.
void lowerThisThreadsPriority() {
  ::setpriority(PRIO_PROCESS, static_cast<id_t>(::gettid()), 10);
}

}  // namespace

std::optional<std::string> iconRegistrationStamp(const Bundle& bundle) {
  if (!bundle.bundlePath.ends_with(".app")) return std::nullopt;
  if (bundle.bundlePath.find("/AppTranslocation/") != std::string::npos) return std::nullopt;
  return bundle.bundlePath + "|" + bundle.infoString("CFBundleVersion").value_or("");
}

bool iconRegistrationIsCurrent(const std::string& markerPath, const std::string& stamp) {
  const auto marker = readUtf8File(markerPath);
  return marker && trimWhitespace(*marker) == stamp;
}

bool registerBundle(const std::string& bundlePath, const std::string& tool,
                    const std::string& stamp, const std::string& markerPath, double boundSeconds) {
  // A new modification date makes the desktop read the bundle's icon again.
  std::error_code ignored;
  std::filesystem::last_write_time(bundlePath, std::filesystem::file_time_type::clock::now(),
                                   ignored);
  if (!isExecutableFile(tool)) return false;

  SpawnOptions options;
  options.executable = tool;
  options.arguments = {"-f", bundlePath};
  options.standardOutput = ChildOutput::null();
  options.standardError = ChildOutput::null();
  // Its own process group, so that what it starts can be stopped with it.
  options.newSession = true;
  const auto child = ChildProcess::spawn(options, nullptr);
  if (!child) return false;
  if (!child->waitForExit(boundSeconds)) {
    child->sendSignalToGroup(SIGTERM);
    child->waitForExit(terminateGraceSeconds);
    child->sendSignalToGroup(SIGKILL);
    return false;
  }
  if (child->terminationStatus() != 0) return false;
  writeFileAtomically(markerPath, stamp);
  return true;
}

void AppDelegate::refreshIconRegistrationIfNeeded() {
  const auto stamp = iconRegistrationStamp(launch_.bundle);
  if (!stamp) return;
  const std::string marker = dataFile("icon_registered");
  if (iconRegistrationIsCurrent(marker, *stamp)) return;
  const std::string bundlePath = launch_.bundle.bundlePath;
  const std::string tool = launch_.environment.get("QUENTRA_LSREGISTER")
                               .value_or(ports_.system.registrationTool(bundlePath));
  // Nothing of the delegate goes along: the work may outlive it.
  std::thread([bundlePath, tool, stamp = *stamp, marker] {
    lowerThisThreadsPriority();
    registerBundle(bundlePath, tool, stamp, marker);
  }).detach();
}

}  // namespace qn
