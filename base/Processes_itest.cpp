#include "base/Processes.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include "base/ChildProcess.h"

namespace qn {
namespace {

TEST(Processes, AZombieCountsAsGone) {
  const pid_t pid = ::fork();
  if (pid == 0) ::_exit(0);
  ASSERT_GT(pid, 0);
  // Not reaped yet: kill(pid, 0) still succeeds, but the process is gone.
  ASSERT_TRUE(::kill(pid, 0) == 0);
  for (int i = 0; i < 200 && processExists(pid); ++i) sleepSeconds(0.01);
  EXPECT_FALSE(processExists(pid));
  ::waitpid(pid, nullptr, 0);
  EXPECT_FALSE(processExists(pid));
}

TEST(Processes, LiveProcessFacts) {
  EXPECT_TRUE(processExists(::getpid()));
  EXPECT_FALSE(processExists(0));
  EXPECT_FALSE(processExists(-1));
  EXPECT_EQ(parentProcessId(::getpid()), ::getppid());
  const auto start = processStartTime(::getpid());
  ASSERT_TRUE(start);
  EXPECT_EQ(processStartTime(::getpid()), start);

  SpawnOptions options;
  options.executable = "/bin/sleep";
  options.arguments = {"30"};
  auto child = ChildProcess::spawn(options, nullptr);
  ASSERT_TRUE(child);
  EXPECT_TRUE(processExists(child->pid()));
  EXPECT_GE(processStartTime(child->pid()).value_or(0), *start);
  EXPECT_EQ(parentProcessId(child->pid()), ::getpid());
  child->sendSignal(SIGKILL);
  child->waitForExit(5);
  EXPECT_FALSE(processExists(child->pid()));
  EXPECT_EQ(processStartTime(child->pid()), std::nullopt);
}

TEST(Processes, RunsPsForACommandLine) {
  SpawnOptions options;
  options.executable = "/bin/sleep";
  options.arguments = {"30"};
  auto child = ChildProcess::spawn(options, nullptr);
  ASSERT_TRUE(child);
  const auto output = runPs({"-p", std::to_string(child->pid()), "-o", "command="});
  child->sendSignal(SIGKILL);
  ASSERT_TRUE(output);
  EXPECT_EQ(*output, "/bin/sleep 30\n");
  EXPECT_EQ(runPs({"-p", "999999999", "-o", "command="}), "");
}

}  // namespace
}  // namespace qn
