#pragma once

#include <optional>

#include "base/HttpGet.h"

namespace qn {

// What one probe of the service port found.
struct HealthStatus {
  bool isQuentra = false;  // the answer came from this product's service
  bool running = false;    // something is listening on the port

  bool operator==(const HealthStatus&) const = default;
};

// Classifies the answer to GET /api/health; none means no completion within the wait.
HealthStatus classifyHealth(const std::optional<HttpResult>& answer);

}  // namespace qn
