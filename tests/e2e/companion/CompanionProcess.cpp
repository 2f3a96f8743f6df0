#include "tests/e2e/companion/CompanionProcess.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>

#include <gtest/gtest.h>

#include "tests/support/TestSupport.h"

extern char** environ;

namespace qn {

CompanionProcess::CompanionProcess(const std::vector<std::string>& arguments,
                                   const std::vector<std::string>& environment) {
  int in[2], out[2];
  EXPECT_EQ(::pipe2(in, O_CLOEXEC), 0);
  EXPECT_EQ(::pipe2(out, O_CLOEXEC), 0);
  posix_spawn_file_actions_t actions;
  posix_spawn_file_actions_init(&actions);
  posix_spawn_file_actions_adddup2(&actions, in[0], 0);
  posix_spawn_file_actions_adddup2(&actions, out[1], 1);
  std::vector<std::string> argv = {QN_BRINKET};
  argv.insert(argv.end(), arguments.begin(), arguments.end());
  std::vector<char*> pointers;
  for (auto& a : argv) pointers.push_back(a.data());
  pointers.push_back(nullptr);
  std::vector<std::string> env = environment;
  for (char** entry = environ; *entry != nullptr; ++entry) env.emplace_back(*entry);
  std::vector<char*> envPointers;
  for (auto& e : env) envPointers.push_back(e.data());
  envPointers.push_back(nullptr);
  EXPECT_EQ(posix_spawn(&pid_, QN_BRINKET, &actions, nullptr, pointers.data(), envPointers.data()),
            0);
  posix_spawn_file_actions_destroy(&actions);
  ::close(in[0]);
  ::close(out[1]);
  input_ = in[1];
  output_ = out[0];
}

CompanionProcess::~CompanionProcess() {
  closeInput();
  if (pid_ > 0 && !exited_) {
    ::kill(pid_, SIGKILL);
    ::waitpid(pid_, nullptr, 0);
  }
  closeOutput();
}

void CompanionProcess::sendRaw(const std::string& text) {
  size_t at = 0;
  while (at < text.size()) {
    const ssize_t n = ::write(input_, text.data() + at, text.size() - at);
    ASSERT_GT(n, 0);
    at += size_t(n);
  }
}

void CompanionProcess::closeInput() {
  if (input_ >= 0) ::close(input_);
  input_ = -1;
}

std::optional<nlohmann::json> CompanionProcess::nextEvent(double seconds) {
  const auto deadline = std::chrono::steady_clock::now() + std::chrono::duration<double>(seconds);
  while (true) {
    const size_t feed = buffer_.find('\n');
    if (feed != std::string::npos) {
      const std::string line = buffer_.substr(0, feed);
      buffer_.erase(0, feed + 1);
      return nlohmann::json::parse(line, nullptr, false);
    }
    const auto left = std::chrono::duration_cast<std::chrono::milliseconds>(
        deadline - std::chrono::steady_clock::now());
    if (left.count() <= 0) return std::nullopt;
    pollfd fd{output_, POLLIN, 0};
    if (::poll(&fd, 1, int(left.count())) <= 0) continue;
    char chunk[4096];
    const ssize_t n = ::read(output_, chunk, sizeof chunk);
    if (n <= 0) return std::nullopt;
    buffer_.append(chunk, size_t(n));
  }
}

void CompanionProcess::closeOutput() {
  if (output_ >= 0) ::close(output_);
  output_ = -1;
}

bool CompanionProcess::waitForExit(double seconds) {
  int status = -1;
  exited_ = test::eventually([&] { return ::waitpid(pid_, &status, WNOHANG) == pid_; }, seconds);
  return exited_ && WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

}  // namespace qn
