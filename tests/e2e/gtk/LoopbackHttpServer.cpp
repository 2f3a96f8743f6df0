#include "tests/e2e/gtk/LoopbackHttpServer.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <stdexcept>

namespace qn::test {
namespace {

int bindLoopback(int& port) {
  int fd = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
  address.sin_port = 0;
  socklen_t length = sizeof address;
  if (fd < 0 || bind(fd, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
      getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
    throw std::runtime_error("cannot bind a loopback socket");
  }
  port = ntohs(address.sin_port);
  return fd;
}

// Waits for fd or the stop pipe; true when fd is readable first.
bool waitReadable(int fd, int stop, int timeoutMs) {
  pollfd fds[2] = {{fd, POLLIN, 0}, {stop, POLLIN, 0}};
  return poll(fds, 2, timeoutMs) > 0 && !(fds[1].revents & POLLIN) && (fds[0].revents & POLLIN);
}

}  // namespace

LoopbackHttpServer::LoopbackHttpServer() : listener_(bindLoopback(port_)) {
  if (listen(listener_, 16) != 0 || pipe2(stopPipe_, O_CLOEXEC) != 0) {
    throw std::runtime_error("cannot listen on loopback");
  }
  thread_ = std::thread([this] { acceptLoop(); });
}

LoopbackHttpServer::~LoopbackHttpServer() {
  (void)!write(stopPipe_[1], "x", 1);
  thread_.join();
  close(listener_);
  close(stopPipe_[0]);
  close(stopPipe_[1]);
}

void LoopbackHttpServer::serve(const std::string& path, const std::string& html) {
  std::lock_guard lock(mutex_);
  pages_[path] = html;
}

std::string LoopbackHttpServer::url(const std::string& path) const {
  return "http://127.0.0.1:" + std::to_string(port_) + path;
}

std::vector<std::string> LoopbackHttpServer::requests() const {
  std::lock_guard lock(mutex_);
  return requests_;
}

// A thread per connection: the engine opens connections ahead of time and may send on any of
// them later, so none may hold up another.
void LoopbackHttpServer::acceptLoop() {
  std::vector<std::thread> connections;
  while (waitReadable(listener_, stopPipe_[0], -1)) {
    int connection = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (connection < 0) continue;
    connections.emplace_back([this, connection] {
      answer(connection);
      close(connection);
    });
  }
  for (std::thread& connection : connections) connection.join();
}

void LoopbackHttpServer::answer(int connection) {
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos) {
    if (!waitReadable(connection, stopPipe_[0], -1)) return;
    ssize_t got = read(connection, buffer, sizeof buffer);
    if (got <= 0) return;
    request.append(buffer, static_cast<size_t>(got));
  }
  size_t start = request.find(' ') + 1;
  std::string path = request.substr(start, request.find(' ', start) - start);
  std::string status = "404 Not Found";
  std::string body = "not found";
  {
    std::lock_guard lock(mutex_);
    requests_.push_back(path);
    if (auto page = pages_.find(path); page != pages_.end()) {
      status = "200 OK";
      body = page->second;
    }
  }
  std::string response = "HTTP/1.1 " + status +
                         "\r\nContent-Type: text/html; charset=utf-8\r\nContent-Length: " +
                         std::to_string(body.size()) + "\r\nConnection: close\r\n\r\n" + body;
  for (size_t sent = 0; sent < response.size();) {
    ssize_t wrote = write(connection, response.data() + sent, response.size() - sent);
    if (wrote <= 0) return;
    sent += static_cast<size_t>(wrote);
  }
}

int closedLoopbackPort() {
  int port = 0;
  close(bindLoopback(port));
  return port;
}

}  // namespace qn::test
