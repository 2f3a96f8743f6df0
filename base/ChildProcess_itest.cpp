#include "base/ChildProcess.h"

#include <fcntl.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <atomic>
#include <thread>

#include "base/Files.h"
#include "base/Processes.h"
#include "tests/support/TestSupport.h"

namespace qn {
namespace {

SpawnOptions shell(const std::string& script) {
  SpawnOptions options;
  options.executable = "/bin/sh";
  options.arguments = {"-c", script};
  return options;
}

TEST(ChildProcess, ReportsExitStatusOnTheWaiterThreadAndReaps) {
  std::atomic<int> reported{-100};
  std::atomic<bool> onMainThread{true};
  const auto mainThread = std::this_thread::get_id();
  auto child = ChildProcess::spawn(shell("exit 75"), [&](int status) {
    onMainThread = std::this_thread::get_id() == mainThread;
    reported = status;
  });
  ASSERT_TRUE(child);
  ASSERT_TRUE(child->waitForExit(5));
  EXPECT_TRUE(test::eventually([&] { return reported == 75; }, 5));
  EXPECT_FALSE(onMainThread);
  EXPECT_FALSE(child->isRunning());
  EXPECT_EQ(child->terminationStatus(), 75);
  // Reaped: the pid no longer names a process, not even a zombie.
  EXPECT_FALSE(processExists(child->pid()));
  EXPECT_FALSE(child->sendSignal(SIGTERM));
}

TEST(ChildProcess, SignalledChildReportsTheSignalNumber) {
  SpawnOptions options;
  options.executable = "/bin/sleep";
  options.arguments = {"30"};
  auto child = ChildProcess::spawn(options, nullptr);
  ASSERT_TRUE(child);
  EXPECT_TRUE(child->isRunning());
  EXPECT_EQ(child->terminationStatus(), -1);
  EXPECT_TRUE(child->sendSignal(SIGKILL));
  ASSERT_TRUE(child->waitForExit(5));
  EXPECT_EQ(child->terminationStatus(), SIGKILL);
}

TEST(ChildProcess, GetsEnvironmentArgumentsAndWorkingDirectory) {
  test::TempDir dir;
  SpawnOptions options = shell("printf '%s|%s|%s' \"$QN_X\" \"$1\" \"$(pwd)\"");
  options.arguments.push_back("zero");
  options.arguments.push_back("first arg");
  options.environment = std::vector<std::string>{"QN_X=value with blanks", "PATH=/usr/bin:/bin"};
  options.workingDirectory = dir.path();
  std::string output;
  ASSERT_EQ(ChildProcess::run(options, &output), 0);
  EXPECT_EQ(output, "value with blanks|first arg|" + *resolveSymlinks(dir.path()));
}

TEST(ChildProcess, InheritsOnlyItsStandardStreamsWithDefaultSignals) {
  const int leaked = ::open("/dev/null", O_RDONLY);  // deliberately without close-on-exec
  ASSERT_GE(leaked, 0);
  sigset_t blocked;
  sigemptyset(&blocked);
  sigaddset(&blocked, SIGTERM);
  pthread_sigmask(SIG_BLOCK, &blocked, nullptr);
  std::string output;
  const auto status = ChildProcess::run(
      shell("ls /proc/self/fd | sort -n | tr '\\n' ' '; grep SigBlk /proc/self/status"), &output);
  pthread_sigmask(SIG_UNBLOCK, &blocked, nullptr);
  ::close(leaked);
  ASSERT_EQ(status, 0);
  // 0, 1, 2 and the one ls opens to read the directory.
  EXPECT_EQ(output.substr(0, output.find("SigBlk")), "0 1 2 3 ");
  EXPECT_NE(output.find("SigBlk:\t0000000000000000"), std::string::npos) << output;
}

TEST(ChildProcess, RedirectsOutputToADescriptorOrNull) {
  test::TempDir dir;
  const int fd = ::open(dir.file("out").c_str(), O_WRONLY | O_CREAT | O_APPEND | O_CLOEXEC, 0644);
  SpawnOptions options = shell("echo out; echo err >&2");
  options.standardOutput = ChildOutput::to(fd);
  options.standardError = ChildOutput::to(fd);
  ASSERT_EQ(ChildProcess::run(options), 0);
  ::close(fd);
  EXPECT_EQ(readFile(dir.file("out")), "out\nerr\n");

  SpawnOptions quiet = shell("echo hidden");
  quiet.standardOutput = ChildOutput::null();
  ASSERT_EQ(ChildProcess::run(quiet), 0);
}

TEST(ChildProcess, ReportsWhyASpawnFailed) {
  SpawnOptions options;
  options.executable = "/nonexistent/tool";
  std::string error;
  EXPECT_FALSE(ChildProcess::spawn(options, nullptr, &error));
  EXPECT_EQ(error, "No such file or directory");
  EXPECT_EQ(ChildProcess::run(options), std::nullopt);
}

}  // namespace
}  // namespace qn
