#pragma once

#include <string>

namespace qn {

// "&", "<" and ">" as entities, line feeds as "<br>".
std::string escapeErrorMessage(const std::string& message);

// The built-in page shown when the service cannot come up, with its open-log and retry links.
std::string errorPageDocument(const std::string& message, bool isEn);

}  // namespace qn
