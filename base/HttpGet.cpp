#include "base/HttpGet.h"

#include <curl/curl.h>

#include <chrono>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <thread>

namespace qn {

namespace {

size_t appendBody(char* data, size_t size, size_t count, void* target) {
  static_cast<std::string*>(target)->append(data, size * count);
  return size * count;
}

void initialiseCurlOnce() {
  static std::once_flag once;
  std::call_once(once, [] { curl_global_init(CURL_GLOBAL_DEFAULT); });
}

}  // namespace

HttpResult httpGet(const std::string& url, double timeoutSeconds) {
  initialiseCurlOnce();
  HttpResult result;
  CURL* curl = curl_easy_init();
  if (curl == nullptr) return result;
  curl_easy_setopt(curl, CURLOPT_URL, url.c_str());
  curl_easy_setopt(curl, CURLOPT_NOSIGNAL, 1L);
  curl_easy_setopt(curl, CURLOPT_NOPROXY, "*");
  curl_easy_setopt(curl, CURLOPT_PROTOCOLS_STR, "http,https");
  curl_easy_setopt(curl, CURLOPT_TIMEOUT_MS, static_cast<long>(timeoutSeconds * 1000));
  curl_easy_setopt(curl, CURLOPT_WRITEFUNCTION, appendBody);
  curl_easy_setopt(curl, CURLOPT_WRITEDATA, &result.body);
  const CURLcode code = curl_easy_perform(curl);
  switch (code) {
    case CURLE_OK:
      result.kind = HttpResult::Kind::Response;
      curl_easy_getinfo(curl, CURLINFO_RESPONSE_CODE, &result.status);
      break;
    case CURLE_COULDNT_CONNECT:
      result.kind = HttpResult::Kind::Refused;
      break;
    case CURLE_OPERATION_TIMEDOUT:
      result.kind = HttpResult::Kind::TimedOut;
      break;
    default:
      result.kind = HttpResult::Kind::Failed;
      break;
  }
  if (code != CURLE_OK) result.body.clear();
  curl_easy_cleanup(curl);
  return result;
}

std::optional<HttpResult> httpGetWithin(const std::string& url, double timeoutSeconds,
                                        double waitSeconds) {
  // Shared with the request thread, which may finish after this call has returned.
  struct Box {
    std::mutex mutex;
    std::condition_variable done;
    std::optional<HttpResult> result;
  };
  auto box = std::make_shared<Box>();
  std::thread([box, url, timeoutSeconds] {
    HttpResult result = httpGet(url, timeoutSeconds);
    {
      std::lock_guard lock(box->mutex);
      box->result = std::move(result);
    }
    box->done.notify_all();
  }).detach();
  std::unique_lock lock(box->mutex);
  box->done.wait_for(lock, std::chrono::duration<double>(waitSeconds),
                     [&] { return box->result.has_value(); });
  return box->result;
}

std::optional<std::string> loopbackURL(long long port, const std::string& path) {
  if (port < 0 || port > 65535) return std::nullopt;
  return "http://127.0.0.1:" + std::to_string(port) + path;
}

}  // namespace qn
