// GtkSystemCommands: qn::SystemCommands on a freedesktop Linux system.
//   [x] applications folder: "/Applications", as on the system the bundle layout comes from
//   [x] volumes: what udisks mounts under /run/media/<user>/ and /media/<user>/, and /media/
//   [x] open: the bundle's executable started in a session of its own, detached
//   [x] eject: udisks unmounts the volume (umount as the fallback) and deletes its loop device
//   [x] registration: Contents/Resources/bin/register_desktop.sh of the bundle
//   [x] defaults: <XDG config>/QUENTRA/defaults.json
//   [x] trash: the freedesktop trash through GIO
//   [x] read-only volumes: the mount's read-only flag (statvfs)

#include "platform/gtk/GtkSystemCommands.h"

#include <gio/gio.h>
#include <sys/statvfs.h>

namespace qn {

std::string GtkSystemCommands::applicationsFolder() {
  return "/Applications";
}

std::vector<std::string> GtkSystemCommands::volumeFolders() {
  const std::string user = g_get_user_name();
  return {"/run/media/" + user + "/", "/media/" + user + "/", "/media/"};
}

// Both commands are written for the relaunch script, which runs them as
// <open> "<bundle>" and <eject> detach "<volume>" -quiet: the bundle arrives as $0, the volume
// as $1.
std::string GtkSystemCommands::openCommand() {
  return "/bin/sh -c 'setsid \"$0/Contents/MacOS/QUENTRA\" </dev/null >/dev/null 2>&1 &'";
}

std::string GtkSystemCommands::diskImageCommand() {
  return "/bin/sh -c 'dev=$(findmnt -n -o SOURCE --mountpoint \"$1\" 2>/dev/null); "
         "{ [ -n \"$dev\" ] && udisksctl unmount --no-user-interaction -b \"$dev\"; } "
         ">/dev/null 2>&1 || umount \"$1\" >/dev/null 2>&1 || exit 1; "
         "case \"$dev\" in /dev/loop*) udisksctl loop-delete --no-user-interaction -b \"$dev\" "
         ">/dev/null 2>&1;; esac; exit 0'";
}

std::string GtkSystemCommands::registrationTool(const std::string& bundlePath) {
  return bundlePath + "/Contents/Resources/bin/register_desktop.sh";
}

std::string GtkSystemCommands::userDefaultsFile() {
  return std::string(g_get_user_config_dir()) + "/QUENTRA/defaults.json";
}

bool GtkSystemCommands::moveToTrash(const std::string& path, std::string* error) {
  GFile* file = g_file_new_for_path(path.c_str());
  GError* failure = nullptr;
  const bool trashed = g_file_trash(file, nullptr, &failure);
  if (!trashed && error) *error = failure ? failure->message : "";
  g_clear_error(&failure);
  g_object_unref(file);
  return trashed;
}

std::optional<bool> GtkSystemCommands::volumeIsReadOnly(const std::string& path) {
  // GIO leaves filesystem::readonly unset for local files, so the mount flags are read directly.
  struct statvfs volume {};
  if (::statvfs(path.c_str(), &volume) != 0) return std::nullopt;
  return (volume.f_flag & ST_RDONLY) != 0;
}

}  // namespace qn
