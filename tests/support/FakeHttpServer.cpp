#include "tests/support/FakeHttpServer.h"

#include <arpa/inet.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

namespace qn::test {

namespace {

int bindLoopback(int* port, const std::string& host = "127.0.0.1") {
  const int fd = ::socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
  const int yes = 1;
  ::setsockopt(fd, SOL_SOCKET, SO_REUSEADDR, &yes, sizeof yes);
  sockaddr_in address{};
  address.sin_family = AF_INET;
  ::inet_pton(AF_INET, host.c_str(), &address.sin_addr);
  address.sin_port = 0;
  ::bind(fd, reinterpret_cast<sockaddr*>(&address), sizeof address);
  socklen_t length = sizeof address;
  ::getsockname(fd, reinterpret_cast<sockaddr*>(&address), &length);
  *port = ntohs(address.sin_port);
  return fd;
}

}  // namespace

int unusedPort() {
  int port = 0;
  ::close(bindLoopback(&port));
  return port;
}

FakeHttpServer::FakeHttpServer(const std::string& address) {
  listener_ = bindLoopback(&port_, address);
  ::listen(listener_, 64);
  reply_.body = R"({"product":"QUENTRA"})";
  thread_ = std::thread([this] { serve(); });
}

FakeHttpServer::~FakeHttpServer() {
  stopping_ = true;
  thread_.join();
  ::close(listener_);
  for (int fd : heldClients_) ::close(fd);
}

void FakeHttpServer::setReply(Reply reply) {
  std::lock_guard lock(mutex_);
  reply_ = std::move(reply);
}

void FakeHttpServer::setRoute(const std::string& path, Reply reply) {
  std::lock_guard lock(mutex_);
  routes_[path] = std::move(reply);
}

std::vector<std::string> FakeHttpServer::paths() const {
  std::lock_guard lock(mutex_);
  return paths_;
}

size_t FakeHttpServer::requestCount() const {
  std::lock_guard lock(mutex_);
  return paths_.size();
}

void FakeHttpServer::serve() {
  while (!stopping_) {
    pollfd poller{listener_, POLLIN, 0};
    if (::poll(&poller, 1, 20) <= 0) continue;
    const int client = ::accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
    if (client < 0) continue;
    if (silent_) {
      std::lock_guard lock(mutex_);
      heldClients_.push_back(client);
      continue;
    }
    answer(client);
    ::close(client);
  }
}

void FakeHttpServer::answer(int client) {
  std::string request;
  char buffer[4096];
  while (request.find("\r\n\r\n") == std::string::npos) {
    pollfd poller{client, POLLIN, 0};
    if (::poll(&poller, 1, 2000) <= 0) return;
    const ssize_t n = ::read(client, buffer, sizeof buffer);
    if (n <= 0) return;
    request.append(buffer, static_cast<size_t>(n));
  }
  const size_t pathStart = request.find(' ') + 1;
  const std::string path = request.substr(pathStart, request.find(' ', pathStart) - pathStart);
  Reply reply;
  {
    std::lock_guard lock(mutex_);
    paths_.push_back(path);
    const auto route = routes_.find(path.substr(0, path.find('?')));
    reply = route != routes_.end() ? route->second : reply_;
  }
  const std::string response = "HTTP/1.1 " + std::to_string(reply.status) +
                               " X\r\nContent-Type: " + reply.contentType +
                               "\r\nContent-Length: " + std::to_string(reply.body.size()) +
                               "\r\nConnection: close\r\n\r\n" + reply.body;
  ::send(client, response.data(), response.size(), MSG_NOSIGNAL);
}

}  // namespace qn::test
