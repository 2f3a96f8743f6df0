#include <unistd.h>

#include <filesystem>

#include "base/Paths.h"
#include "shell/AppDelegate.h"
#include "shell/BundleMove.h"
#include "shell/RunningApplications.h"
#include "shell/ShellLang.h"
#include "shell/UserDefaults.h"

namespace qn {

namespace {

constexpr const char* skipKey = "skipMoveToApplications";

// The launches that are never asked: already in an applications folder, started by a developer
// or a test (a variable or an option), not a bundle, or told not to ask again.
bool moveIsOffered(const LaunchContext& launch, const std::string& applications,
                   const UserDefaults& defaults) {
  const std::string& bundlePath = launch.bundle.bundlePath;
  if (bundlePath.starts_with(applications + "/")) return false;
  if (bundlePath.starts_with(homeDirectory() + "/Applications/")) return false;
  if (launch.environment.get("QUENTRA_NO_MOVE_PROMPT") == "1") return false;
  if (launch.environment.get("QUENTRA_PORT")) return false;
  if (launch.environment.get("QUENTRA_DATA_DIR")) return false;
  for (const std::string& argument : launch.arguments) {
    if (argument.starts_with("--")) return false;
  }
  if (!bundlePath.ends_with(".app")) return false;
  return !defaults.boolForKey(skipKey);
}

bool somethingExistsAt(const std::string& path) {
  std::error_code error;
  return std::filesystem::exists(std::filesystem::symlink_status(path, error));
}

}  // namespace

bool AppDelegate::offerMoveToApplicationsIfNeeded() {
  const std::string bundlePath = launch_.bundle.bundlePath;
  const std::string applications = ports_.system.applicationsFolder();
  UserDefaults defaults(ports_.system.userDefaultsFile());
  if (!moveIsOffered(launch_, applications, defaults)) return false;

  // The alert comes up in front by itself: it is the application's only window at this point.
  AlertOptions offer;
  offer.style = AlertStyle::Informational;
  offer.message =
      ShellLang::t("把 QUENTRA 移到“应用程序”文件夹？", "Move QUENTRA to the Applications folder?");
  offer.informative = ShellLang::t(
      "QUENTRA 需要放在“应用程序”文件夹里运行，才能正常使用一键更新。点“移到应用程序”后会自动完成"
      "并重新打开。",
      "QUENTRA needs to run from the Applications folder for one-click updates. Click \"Move to "
      "Applications\" and it will move itself and reopen.");
  offer.buttons = {ShellLang::t("移到应用程序", "Move to Applications"),
                   ShellLang::t("暂不移动", "Not Now")};
  bool dontAskAgain = false;
  const int answer = ports_.alerts.runModalWithCheckBox(
      offer, ShellLang::t("不再询问", "Don't ask again"), &dontAskAgain);
  if (answer != 0) {
    if (dontAskAgain) defaults.setBool(skipKey, true);
    return false;
  }

  const std::string target = appendPath(applications, "QUENTRA.app");
  const std::string identifier = launch_.bundle.infoString("CFBundleIdentifier").value_or("");
  for (const RunningApplication& running : runningApplications(identifier)) {
    if (standardizePath(running.bundlePath) == standardizePath(target) &&
        running.pid != ::getpid()) {
      showMoveError(ShellLang::t("“应用程序”里的 QUENTRA 正在运行，请先退出它再试。",
                                 "QUENTRA in Applications is running. Please quit it and try "
                                 "again."));
      return false;
    }
  }

  std::string error;
  bool placed = !somethingExistsAt(target) || ports_.system.moveToTrash(target, &error);
  if (placed) {
    const Placement placement = placementFor(ports_.system.volumeIsReadOnly(bundlePath),
                                             ::access(parentPath(bundlePath).c_str(), W_OK) == 0);
    placed = placement == Placement::Copy ? copyBundle(bundlePath, target, &error)
                                          : moveBundle(bundlePath, target, &error);
  }
  if (!placed) {
    showMoveError(ShellLang::t(
        "没能移到“应用程序”文件夹：" + error + "\n请手动把 QUENTRA 拖到“应用程序”文件夹。",
        "Couldn't move QUENTRA to the Applications folder: " + error +
            "\nPlease drag QUENTRA to Applications manually."));
    return false;
  }

  SpawnOptions relaunch;
  relaunch.executable = "/bin/sh";
  relaunch.arguments = {"-c",
                        relaunchScript(::getpid(), target, ports_.system.openCommand(),
                                       ports_.system.diskImageCommand()),
                        "sh", volumeToEject(bundlePath, ports_.system.volumeFolders())};
  // Its own session, so it outlives this process and whatever ends this process's group.
  relaunch.newSession = true;
  ChildProcess::spawn(relaunch, nullptr);
  internalQuit = true;
  terminate();
  return true;
}

void AppDelegate::showMoveError(const std::string& message) {
  AlertOptions alert;
  alert.style = AlertStyle::Warning;
  alert.message = "QUENTRA";
  alert.informative = message;
  alert.buttons = {ShellLang::t("好", "OK")};
  ports_.alerts.runModal(alert);
}

}  // namespace qn
