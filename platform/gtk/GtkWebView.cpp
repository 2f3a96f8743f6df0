// GtkWebView: qn::WebView with WebKitGTK 4.1. This file: settings, loading, load events and
// script messages; GtkWebViewPolicy.cpp and GtkWebViewPanels.cpp translate the other requests.
//   [x] developer extras, media playback without a gesture, media stream, transparent background
//   [x] throttling of hidden pages, as far as WebKitGTK has it (see settingsFor)
//   [x] script message handlers, bodies delivered as JSON text
//   [ ] the posting frame's origin: WebKitGTK 4.1 does not tell it, the page's host is given
//   [x] loadURL, loadHTML (no base URL: the page is "about:blank"), reload, currentURL, scripts
//   [x] the standard editing commands on the page's focused content
//   [x] didFinishNavigation only for loads that succeeded
//   [x] with no delegate: navigations allowed, panels answered "no" at once, permissions denied
//   [ ] AirPlay: WebKitGTK has no equivalent, allowsAirPlay is not read
//   [ ] a per-request time-out: WebKitGTK's requests have none, the timeout is not read
//   [ ] suspending a hidden page: WebKitGTK never suspends one, it can only throttle its timers

#include "platform/gtk/GtkWebView.h"

namespace qn {
namespace {

// With no delegate set: navigations go ahead, nothing opens, panels are answered at once with
// "no", permissions are refused.
class DefaultAnswers final : public WebViewDelegate {
 public:
  void runAlertPanel(const std::string&, std::function<void()> done) override { done(); }
  void runConfirmPanel(const std::string&, std::function<void(bool)> done) override { done(false); }
  void runPromptPanel(const std::string&, const std::string&,
                      std::function<void(std::optional<std::string>)> done) override {
    done(std::nullopt);
  }
  void runOpenPanel(const OpenPanelRequest&,
                    std::function<void(std::optional<std::vector<std::string>>)> done) override {
    done(std::nullopt);
  }
  bool decideMediaCapture(const std::string&) override { return false; }
  void requestNewWindow(const NavigationAction&) override {}
  PolicyDecision decideNavigation(const NavigationAction&) override {
    return PolicyDecision::Allow;
  }
  void didFinishNavigation() override {}
  void didReceiveScriptMessage(const std::string&, const std::string&,
                               const std::string&) override {}
};

void enableFeature(WebKitSettings* settings, const char* identifier) {
  WebKitFeatureList* features = webkit_settings_get_all_features();
  for (gsize i = 0; i < webkit_feature_list_get_length(features); ++i) {
    WebKitFeature* feature = webkit_feature_list_get(features, i);
    if (g_strcmp0(webkit_feature_get_identifier(feature), identifier) == 0) {
      webkit_settings_set_feature_enabled(settings, feature, TRUE);
    }
  }
  webkit_feature_list_unref(features);
}

}  // namespace

GtkWebView::GtkWebView(const WebViewConfig& config) : content_(webkit_user_content_manager_new()) {
  WebKitSettings* settings = settingsFor(config);
  view_ = WEBKIT_WEB_VIEW(g_object_ref_sink(g_object_new(
      WEBKIT_TYPE_WEB_VIEW, "settings", settings, "user-content-manager", content_, nullptr)));
  g_object_unref(settings);
  if (!config.drawsBackground) {
    // Transparent, so the window's colour shows until the page paints.
    GdkRGBA transparent{0, 0, 0, 0};
    webkit_web_view_set_background_color(view_, &transparent);
  }
  connectSignals();
  registerMessageHandlers(config.scriptMessageHandlers);
}

WebViewDelegate& GtkWebView::delegate() const {
  static DefaultAnswers defaults;
  return delegate_ ? *delegate_ : defaults;
}

GtkWebView::~GtkWebView() {
  g_signal_handlers_disconnect_by_data(view_, this);
  for (MessageHandler& handler : handlers_) {
    g_signal_handlers_disconnect_by_data(content_, &handler);
  }
  g_object_unref(view_);
  g_object_unref(content_);
}

WebKitSettings* GtkWebView::settingsFor(const WebViewConfig& config) {
  WebKitSettings* settings = webkit_settings_new();
  webkit_settings_set_enable_developer_extras(settings, config.developerExtras);
  webkit_settings_set_media_playback_requires_user_gesture(settings,
                                                           config.mediaPlaybackRequiresUserGesture);
  webkit_settings_set_enable_media_stream(settings, config.mediaStream);
  // WebKitGTK keeps hidden pages running; the nearest thing to the asked-for throttling is the
  // slowing of a hidden page's timers, made explicit here rather than left to the default.
  if (config.throttleWhenInactive) enableFeature(settings, "HiddenPageDOMTimerThrottling");
  return settings;
}

void GtkWebView::connectSignals() {
  g_signal_connect(view_, "load-changed", G_CALLBACK(onLoadChanged), this);
  g_signal_connect(view_, "load-failed", G_CALLBACK(onLoadFailed), this);
  g_signal_connect(view_, "decide-policy", G_CALLBACK(onDecidePolicy), this);
  g_signal_connect(view_, "create", G_CALLBACK(onCreate), this);
  g_signal_connect(view_, "permission-request", G_CALLBACK(onPermissionRequest), this);
  g_signal_connect(view_, "script-dialog", G_CALLBACK(onScriptDialog), this);
  g_signal_connect(view_, "run-file-chooser", G_CALLBACK(onRunFileChooser), this);
}

// Each name gets its own detailed signal. No page is loaded yet, so connecting after registering
// loses no message; a name given twice is registered once.
void GtkWebView::registerMessageHandlers(const std::vector<std::string>& names) {
  for (const std::string& name : names) {
    if (!webkit_user_content_manager_register_script_message_handler(content_, name.c_str())) {
      continue;
    }
    MessageHandler& handler = handlers_.emplace_back(MessageHandler{this, name});
    std::string signal = "script-message-received::" + name;
    g_signal_connect(content_, signal.c_str(), G_CALLBACK(onScriptMessage), &handler);
  }
}

// WebKitGTK 4.1 tells neither the frame nor the origin a message came from, so the origin is the
// host of the page the web view shows.
void GtkWebView::onScriptMessage(WebKitUserContentManager*, WebKitJavascriptResult* result,
                                 gpointer data) {
  auto* handler = static_cast<MessageHandler*>(data);
  gchar* json = jsc_value_to_json(webkit_javascript_result_get_js_value(result), 0);
  // Values JSON cannot express (undefined, functions) arrive as "null".
  handler->owner->delegate().didReceiveScriptMessage(handler->name, json ? json : "null",
                                                     pageOriginHost(handler->owner->view_));
  g_free(json);
}

// WebKitGTK has no per-request time-out; the network layer's own limits apply.
void GtkWebView::loadURL(const std::string& url, double) {
  WebKitURIRequest* request = webkit_uri_request_new(url.c_str());
  webkit_web_view_load_request(view_, request);
  g_object_unref(request);
}

void GtkWebView::loadHTML(const std::string& html) {
  webkit_web_view_load_html(view_, html.c_str(), nullptr);
}

void GtkWebView::warmUp(const std::string& url) {
  warmUpURL_ = url;
  webkit_web_view_load_html(view_, "", url.c_str());
}

bool GtkWebView::isWarmUp(const gchar* uri) const {
  return uri != nullptr && !warmUpURL_.empty() && warmUpURL_ == uri;
}

void GtkWebView::reload() {
  webkit_web_view_reload(view_);
}

std::optional<std::string> GtkWebView::currentURL() const {
  const gchar* uri = webkit_web_view_get_uri(view_);
  if (!uri || !*uri) return std::nullopt;
  return std::string(uri);
}

std::string GtkWebView::pageOriginHost(WebKitWebView* view) {
  const gchar* uri = webkit_web_view_get_uri(view);
  if (!uri) return {};
  WebKitSecurityOrigin* origin = webkit_security_origin_new_for_uri(uri);
  const gchar* host = webkit_security_origin_get_host(origin);
  std::string result = host ? host : "";
  webkit_security_origin_unref(origin);
  return result;
}

void GtkWebView::evaluateJavaScript(const std::string& script) {
  webkit_web_view_evaluate_javascript(view_, script.c_str(), -1, nullptr, nullptr, nullptr, nullptr,
                                      nullptr);
}

void GtkWebView::executeEditingCommand(EditingCommand command) {
  const char* name = WEBKIT_EDITING_COMMAND_SELECT_ALL;
  switch (command) {
    case EditingCommand::Undo:
      name = WEBKIT_EDITING_COMMAND_UNDO;
      break;
    case EditingCommand::Redo:
      name = WEBKIT_EDITING_COMMAND_REDO;
      break;
    case EditingCommand::Cut:
      name = WEBKIT_EDITING_COMMAND_CUT;
      break;
    case EditingCommand::Copy:
      name = WEBKIT_EDITING_COMMAND_COPY;
      break;
    case EditingCommand::Paste:
      name = WEBKIT_EDITING_COMMAND_PASTE;
      break;
    case EditingCommand::SelectAll:
      break;
  }
  webkit_web_view_execute_editing_command(view_, name);
}

// WebKitGTK reports the end of every load, failed ones included (after "load-failed"); the port's
// didFinishNavigation means a load that succeeded.
void GtkWebView::onLoadChanged(WebKitWebView* view, WebKitLoadEvent event, gpointer data) {
  auto* self = static_cast<GtkWebView*>(data);
  if (self->isWarmUp(webkit_web_view_get_uri(view))) return;
  if (event == WEBKIT_LOAD_STARTED) self->loadFailed_ = false;
  if (event == WEBKIT_LOAD_FINISHED && !self->loadFailed_) self->delegate().didFinishNavigation();
}

// Returning TRUE keeps WebKit's own error page out; the host shows its own.
// A warm-up document cut short by the real page is no failure of the real page.
gboolean GtkWebView::onLoadFailed(WebKitWebView*, WebKitLoadEvent, gchar* uri, GError*,
                                  gpointer data) {
  auto* self = static_cast<GtkWebView*>(data);
  if (!self->isWarmUp(uri)) self->loadFailed_ = true;
  return TRUE;
}

}  // namespace qn
