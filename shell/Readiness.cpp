#include "base/HttpGet.h"
#include "base/Log.h"
#include "shell/AppDelegate.h"
#include "shell/ErrorPage.h"
#include "shell/ShellLang.h"

namespace qn {

void AppDelegate::waitForServerReady() {
  // Shared by the ticks of this one wait; a later wait has its own.
  struct Wait {
    int probes = 0;
    Timer timer;
  };
  constexpr int limit = 100;
  auto wait = std::make_shared<Wait>();
  std::weak_ptr<AppDelegate> weak = weak_from_this();
  wait->timer = ports_.loop.every(0.2, [weak, wait] {
    const auto self = weak.lock();
    if (!self) {
      wait->timer.cancel();
      return;
    }
    ++wait->probes;
    if (self->checkHealthSync(self->config->port).isQuentra) {
      wait->timer.cancel();
      logLine("[QUENTRA] 服务已成功就绪！加载主界面。");
      self->loadMainPage();
    } else if (wait->probes >= limit) {
      wait->timer.cancel();
      self->showErrorPage(ShellLang::t("服务启动超时（20 秒）。后台服务未能按预期就绪。",
                                       "The service didn't start within 20 seconds."));
    }
  });
}

void AppDelegate::loadMainPage() {
  const auto url = loopbackURL(config->port, "/");
  if (!url) return;
  std::weak_ptr<AppDelegate> weak = weak_from_this();
  ports_.loop.post([weak, url = *url] {
    const auto self = weak.lock();
    if (self && self->webView) self->webView->loadURL(url, 60);
  });
}

void AppDelegate::showErrorPage(const std::string& message) {
  std::string document = errorPageDocument(message, ShellLang::isEn());
  std::weak_ptr<AppDelegate> weak = weak_from_this();
  ports_.loop.post([weak, document = std::move(document)] {
    const auto self = weak.lock();
    if (self && self->webView) self->webView->loadHTML(document);
  });
}

}  // namespace qn
