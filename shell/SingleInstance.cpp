#include "shell/SingleInstance.h"

#include <poll.h>
#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <atomic>
#include <cerrno>
#include <cstring>
#include <thread>

#include "base/Files.h"
#include "base/Paths.h"
#include "base/Text.h"
#include "base/Url.h"

namespace qn {

namespace {

// Longer messages are dropped: no URL a program hands over is that long.
constexpr size_t maximumMessage = 4 * 1024 * 1024;

// An abstract socket (no file to go stale), named after the data directory's resolved path.
sockaddr_un socketAddress(const std::string& dataDir, socklen_t* length) {
  const std::string directory = resolveSymlinks(dataDir).value_or(standardizePath(dataDir));
  uint64_t hash = 1469598103934665603ull;  // FNV-1a
  for (unsigned char c : directory) hash = (hash ^ c) * 1099511628211ull;
  const std::string name = "quentra-shell-" + std::to_string(hash);
  sockaddr_un address{};
  address.sun_family = AF_UNIX;
  std::memcpy(address.sun_path + 1, name.data(), name.size());
  *length = static_cast<socklen_t>(offsetof(sockaddr_un, sun_path) + 1 + name.size());
  return address;
}

bool sendAll(int fd, const std::string& data) {
  size_t sent = 0;
  while (sent < data.size()) {
    const ssize_t n = ::send(fd, data.data() + sent, data.size() - sent, MSG_NOSIGNAL);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) return false;
    sent += static_cast<size_t>(n);
  }
  return true;
}

// One message: the URLs, one per line, then an empty line.
std::string encode(const std::vector<std::string>& urls) {
  std::string message;
  for (const std::string& url : urls) {
    if (url.find('\n') == std::string::npos) message += url + "\n";
  }
  return message + "\n";
}

}  // namespace

struct SingleInstance::State {
  int listener = -1;
  std::atomic<bool> stopping{false};
  Handler handler;
  std::thread thread;

  void serve() {
    while (!stopping) {
      pollfd poller{listener, POLLIN, 0};
      if (::poll(&poller, 1, 100) <= 0) continue;
      const int client = ::accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
      if (client < 0) continue;
      receive(client);
      ::close(client);
    }
  }

  void receive(int client) {
    std::string message;
    char buffer[65536];
    while (!message.ends_with("\n\n") && message != "\n" && message.size() <= maximumMessage) {
      pollfd poller{client, POLLIN, 0};
      if (::poll(&poller, 1, 2000) <= 0) return;
      const ssize_t n = ::read(client, buffer, sizeof buffer);
      if (n <= 0) return;
      message.append(buffer, static_cast<size_t>(n));
    }
    if (message.size() > maximumMessage) return;
    handler(split(message, '\n', true));
  }
};

std::unique_ptr<SingleInstance> SingleInstance::claim(const std::string& dataDir,
                                                      const std::vector<std::string>& urls,
                                                      Handler handler) {
  socklen_t length = 0;
  const sockaddr_un address = socketAddress(dataDir, &length);
  for (int attempt = 0; attempt < 3; ++attempt) {
    const int fd = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) break;
    if (::bind(fd, reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
        ::listen(fd, 16) == 0) {
      auto state = std::make_shared<State>();
      state->listener = fd;
      state->handler = std::move(handler);
      state->thread = std::thread([raw = state.get()] { raw->serve(); });
      return std::make_unique<SingleInstance>(state);
    }
    ::close(fd);
    // Another shell holds the name: hand the URLs to it.
    const int client = ::socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (client < 0) break;
    const bool handed =
        ::connect(client, reinterpret_cast<const sockaddr*>(&address), length) == 0 &&
        sendAll(client, encode(urls));
    ::close(client);
    if (handed) return nullptr;
    // The other shell went away between the two calls: try to take its place.
  }
  // No socket at all: run on, alone.
  return std::make_unique<SingleInstance>(std::make_shared<State>());
}

SingleInstance::~SingleInstance() {
  state_->stopping = true;
  if (state_->thread.joinable()) state_->thread.join();
  if (state_->listener >= 0) ::close(state_->listener);
}

std::vector<std::string> SingleInstance::urlArguments(const std::vector<std::string>& arguments) {
  std::vector<std::string> urls;
  for (const std::string& argument : arguments) {
    const auto url = Url::parse(argument);
    if (url && toLowerAscii(url->scheme) == "quentra") urls.push_back(argument);
  }
  return urls;
}

}  // namespace qn
