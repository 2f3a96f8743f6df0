#pragma once

#include <functional>
#include <optional>
#include <vector>

#include "platform/WindowCapture.h"

namespace qn {

// Holds each request until the test answers it, as a capture that takes its time would.
class SimWindowCapture : public WindowCapture {
 public:
  using ListingDone = std::function<void(std::optional<std::vector<ShareableWindow>>)>;
  struct CaptureRequest {
    ShareableWindow window;
    int pixelWidth;
    int pixelHeight;
    std::function<void(ImageRef)> done;
  };

  void shareableWindows(ListingDone done) override { listings.push_back(std::move(done)); }
  void captureWindow(const ShareableWindow& window, int pixelWidth, int pixelHeight,
                     std::function<void(ImageRef)> done) override {
    captures.push_back({window, pixelWidth, pixelHeight, std::move(done)});
  }

  // Answers the oldest listing request.
  void answerListing(std::optional<std::vector<ShareableWindow>> windows) {
    auto done = std::move(listings.front());
    listings.erase(listings.begin());
    done(std::move(windows));
  }
  // Answers the oldest capture request.
  void answerCapture(ImageRef image) {
    auto request = std::move(captures.front());
    captures.erase(captures.begin());
    request.done(std::move(image));
  }

  std::vector<ListingDone> listings;
  std::vector<CaptureRequest> captures;
};

}  // namespace qn
