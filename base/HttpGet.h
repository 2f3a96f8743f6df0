#pragma once

#include <optional>
#include <string>

namespace qn {

struct HttpResult {
  enum class Kind {
    Response,  // an HTTP answer arrived; status and body are set
    Refused,   // nothing listens (connection refused)
    TimedOut,  // the request time-out passed
    Failed,    // any other error
  };
  Kind kind = Kind::Failed;
  long status = 0;
  std::string body;
};

// A GET on the calling thread, bounded by timeoutSeconds. Never uses a proxy: every request of
// these programs goes to this machine.
HttpResult httpGet(const std::string& url, double timeoutSeconds);

// Runs httpGet on a background thread and waits at most waitSeconds for it. None when it did not
// complete in time; a late completion is dropped.
std::optional<HttpResult> httpGetWithin(const std::string& url, double timeoutSeconds,
                                        double waitSeconds);

// "http://127.0.0.1:<port><path>", or none when the port can form no URL.
std::optional<std::string> loopbackURL(long long port, const std::string& path);

}  // namespace qn
