#pragma once

#include <optional>
#include <string>

#include "shell/Bundle.h"

namespace qn {

// What the registration marker holds once this bundle is registered: its path, "|" and its
// build number. None for a bundle that is never registered (not a bundle, or a translocated
// copy).
std::optional<std::string> iconRegistrationStamp(const Bundle& bundle);

// Whether the marker file already holds the stamp (surrounding white space aside).
bool iconRegistrationIsCurrent(const std::string& markerPath, const std::string& stamp);

// Registers the bundle with the desktop on the calling thread: touches the bundle, runs
// "<tool> -f <bundle>" for at most boundSeconds and, when it exits 0, writes the stamp to the
// marker. A tool that is missing, fails or runs too long leaves no marker; one that outlives its
// bound is stopped. True when the marker was written.
bool registerBundle(const std::string& bundlePath, const std::string& tool,
                    const std::string& stamp, const std::string& markerPath,
                    double boundSeconds = 10);

}  // namespace qn
