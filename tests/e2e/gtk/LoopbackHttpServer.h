#pragma once

#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace qn::test {

// A small HTTP/1.1 server on 127.0.0.1 and a free port, serving fixed pages from its own
// threads and recording the paths asked for.
class LoopbackHttpServer {
 public:
  LoopbackHttpServer();
  ~LoopbackHttpServer();
  LoopbackHttpServer(const LoopbackHttpServer&) = delete;
  LoopbackHttpServer& operator=(const LoopbackHttpServer&) = delete;

  void serve(const std::string& path, const std::string& html);
  std::string url(const std::string& path) const;
  // Paths in the order they were asked for.
  std::vector<std::string> requests() const;
  int port() const { return port_; }

 private:
  void acceptLoop();
  void answer(int connection);

  int port_ = 0;
  int listener_ = -1;
  int stopPipe_[2] = {-1, -1};
  mutable std::mutex mutex_;
  std::map<std::string, std::string> pages_;
  std::vector<std::string> requests_;
  std::thread thread_;
};

// A loopback port nothing listens on (bound, then released).
int closedLoopbackPort();

}  // namespace qn::test
