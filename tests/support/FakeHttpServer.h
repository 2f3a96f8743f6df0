#pragma once

#include <atomic>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qn::test {

// A tiny HTTP server on 127.0.0.1 for probing tests. It answers every request with the set reply
// (or, when silent, accepts and never answers) and records the request paths.
class FakeHttpServer {
 public:
  struct Reply {
    int status = 200;
    std::string body;
    std::string contentType = "application/json";
  };

  // Listens on the given loopback address (127.0.0.1 unless told otherwise).
  explicit FakeHttpServer(const std::string& address = "127.0.0.1");
  ~FakeHttpServer();
  FakeHttpServer(const FakeHttpServer&) = delete;
  FakeHttpServer& operator=(const FakeHttpServer&) = delete;

  int port() const { return port_; }
  void setReply(Reply reply);
  // A reply for one path (without its query); other paths get the general reply.
  void setRoute(const std::string& path, Reply reply);
  // Accept connections but never answer them.
  void setSilent(bool silent) { silent_ = silent; }
  std::vector<std::string> paths() const;
  size_t requestCount() const;

 private:
  void serve();
  void answer(int client);

  int listener_ = -1;
  int port_ = 0;
  std::atomic<bool> stopping_{false};
  std::atomic<bool> silent_{false};
  mutable std::mutex mutex_;
  Reply reply_;
  std::map<std::string, Reply> routes_;
  std::vector<std::string> paths_;
  std::vector<int> heldClients_;
  std::thread thread_;
};

// A port on 127.0.0.1 that nothing listens on (bound once, then released).
int unusedPort();

}  // namespace qn::test
