// GtkWebView, part two: navigation policy, new windows and permissions.
//   [x] every navigation of the page and its frames decided by the delegate (allow or cancel)
//   [x] new-window requests (target="_blank" links, window.open) reported once and never opened
//   [x] camera and microphone decided by the delegate from the page's host
//   [x] every other permission (notifications, location, ...) denied
//   [x] responses always shown in place; no download is ever started
//   [ ] the exact requesting frame's origin: WebKitGTK's media request does not carry it, the
//       main page's origin is used

#include "platform/gtk/GtkWebView.h"

namespace qn {
namespace {

NavigationType toNavigationType(WebKitNavigationType type) {
  switch (type) {
    case WEBKIT_NAVIGATION_TYPE_LINK_CLICKED:
      return NavigationType::LinkActivated;
    case WEBKIT_NAVIGATION_TYPE_FORM_SUBMITTED:
      return NavigationType::FormSubmitted;
    case WEBKIT_NAVIGATION_TYPE_BACK_FORWARD:
      return NavigationType::BackForward;
    case WEBKIT_NAVIGATION_TYPE_RELOAD:
      return NavigationType::Reload;
    case WEBKIT_NAVIGATION_TYPE_FORM_RESUBMITTED:
      return NavigationType::FormResubmitted;
    case WEBKIT_NAVIGATION_TYPE_OTHER:
      break;
  }
  return NavigationType::Other;
}

NavigationAction toAction(WebKitNavigationAction* action, bool hasTargetFrame) {
  NavigationAction result;
  const gchar* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
  if (uri && *uri) result.url = uri;
  result.type = toNavigationType(webkit_navigation_action_get_navigation_type(action));
  result.hasTargetFrame = hasTargetFrame;
  return result;
}

}  // namespace

// Every decision is answered here, so WebKit's default ("use") never applies by accident.
gboolean GtkWebView::onDecidePolicy(WebKitWebView*, WebKitPolicyDecision* decision,
                                    WebKitPolicyDecisionType type, gpointer data) {
  auto* self = static_cast<GtkWebView*>(data);
  WebViewDelegate& delegate = self->delegate();
  switch (type) {
    case WEBKIT_POLICY_DECISION_TYPE_NAVIGATION_ACTION: {
      WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(
          WEBKIT_NAVIGATION_POLICY_DECISION(decision));
      const gchar* uri = webkit_uri_request_get_uri(webkit_navigation_action_get_request(action));
      if (self->isWarmUp(uri) ||
          delegate.decideNavigation(toAction(action, true)) == PolicyDecision::Allow) {
        webkit_policy_decision_use(decision);
      } else {
        webkit_policy_decision_ignore(decision);
      }
      return TRUE;
    }
    // A target="_blank" link. Ignoring it means "create" is not emitted for it, so the request
    // is reported once.
    case WEBKIT_POLICY_DECISION_TYPE_NEW_WINDOW_ACTION: {
      WebKitNavigationAction* action = webkit_navigation_policy_decision_get_navigation_action(
          WEBKIT_NAVIGATION_POLICY_DECISION(decision));
      delegate.requestNewWindow(toAction(action, false));
      webkit_policy_decision_ignore(decision);
      return TRUE;
    }
    // What to do with a response's MIME type is not a host decision: show it in place.
    case WEBKIT_POLICY_DECISION_TYPE_RESPONSE:
      webkit_policy_decision_use(decision);
      return TRUE;
  }
  webkit_policy_decision_ignore(decision);
  return TRUE;
}

// window.open() arrives here without a policy decision before it.
GtkWidget* GtkWebView::onCreate(WebKitWebView*, WebKitNavigationAction* action, gpointer data) {
  static_cast<GtkWebView*>(data)->delegate().requestNewWindow(toAction(action, false));
  return nullptr;
}

gboolean GtkWebView::onPermissionRequest(WebKitWebView* view, WebKitPermissionRequest* request,
                                         gpointer data) {
  bool allow = WEBKIT_IS_USER_MEDIA_PERMISSION_REQUEST(request) &&
               static_cast<GtkWebView*>(data)->delegate().decideMediaCapture(pageOriginHost(view));
  if (allow) {
    webkit_permission_request_allow(request);
  } else {
    webkit_permission_request_deny(request);
  }
  return TRUE;
}

}  // namespace qn
