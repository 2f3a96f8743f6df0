#pragma once

#include <webkit2/webkit2.h>

#include <list>

#include "platform/WebView.h"

namespace qn {

// A WebKitWebView whose engine requests are translated into WebViewDelegate calls.
class GtkWebView final : public WebView {
 public:
  explicit GtkWebView(const WebViewConfig& config);
  ~GtkWebView() override;
  GtkWebView(const GtkWebView&) = delete;
  GtkWebView& operator=(const GtkWebView&) = delete;

  void setDelegate(WebViewDelegate* delegate) override { delegate_ = delegate; }
  void loadURL(const std::string& url, double timeoutSeconds) override;
  void loadHTML(const std::string& html) override;
  void warmUp(const std::string& url) override;
  void reload() override;
  std::optional<std::string> currentURL() const override;
  void evaluateJavaScript(const std::string& script) override;
  void executeEditingCommand(EditingCommand command) override;

  GtkWidget* widget() const { return GTK_WIDGET(view_); }

 private:
  bool isWarmUp(const gchar* uri) const;
  struct MessageHandler {
    GtkWebView* owner;
    std::string name;
  };

  // The delegate, or answers that leave the page as if no host were asking.
  WebViewDelegate& delegate() const;
  static WebKitSettings* settingsFor(const WebViewConfig& config);
  // The host of the page's security origin; empty for pages without one (about:blank, data:).
  static std::string pageOriginHost(WebKitWebView* view);
  void connectSignals();
  void registerMessageHandlers(const std::vector<std::string>& names);

  // Load events (GtkWebView.cpp).
  static void onLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer self);
  static gboolean onLoadFailed(WebKitWebView* view, WebKitLoadEvent event, gchar* uri,
                               GError* error, gpointer self);
  static void onScriptMessage(WebKitUserContentManager* manager, WebKitJavascriptResult* result,
                              gpointer handler);

  // Navigation, new windows and permissions (GtkWebViewPolicy.cpp).
  static gboolean onDecidePolicy(WebKitWebView* view, WebKitPolicyDecision* decision,
                                 WebKitPolicyDecisionType type, gpointer self);
  static GtkWidget* onCreate(WebKitWebView* view, WebKitNavigationAction* action, gpointer self);
  static gboolean onPermissionRequest(WebKitWebView* view, WebKitPermissionRequest* request,
                                      gpointer self);

  // Page panels (GtkWebViewPanels.cpp).
  static gboolean onScriptDialog(WebKitWebView* view, WebKitScriptDialog* dialog, gpointer self);
  static gboolean onRunFileChooser(WebKitWebView* view, WebKitFileChooserRequest* request,
                                   gpointer self);

  WebKitWebView* view_;
  WebKitUserContentManager* content_;
  WebViewDelegate* delegate_ = nullptr;
  std::list<MessageHandler> handlers_;
  bool loadFailed_ = false;
  // The URL of the warm-up document; its loads and navigations stay inside the view.
  std::string warmUpURL_;
};

}  // namespace qn
