#include "companion/LineReader.h"

#include <unistd.h>

#include <cerrno>
#include <memory>

#include <simdjson.h>

#include "base/Text.h"

namespace qn {

void LineFramer::feed(std::string_view bytes, const LineHandler& onLine) {
  while (!bytes.empty()) {
    const size_t feedAt = bytes.find('\n');
    const std::string_view piece = bytes.substr(0, feedAt);
    if (!skipping_) {
      if (pending_.size() + piece.size() > maxLine_) {
        skipping_ = true;
        pending_.clear();
        pending_.shrink_to_fit();
      } else {
        pending_.append(piece);
      }
    }
    if (feedAt == std::string_view::npos) return;
    if (!skipping_) deliver(onLine);
    skipping_ = false;
    pending_.clear();
    bytes.remove_prefix(feedAt + 1);
  }
}

void LineFramer::finish(const LineHandler& onLine) {
  if (!skipping_ && !pending_.empty()) deliver(onLine);
  pending_.clear();
  skipping_ = false;
}

void LineFramer::deliver(const LineHandler& onLine) {
  std::string_view line = pending_;
  if (!line.empty() && line.back() == '\r') line.remove_suffix(1);
  onLine(line);
}

namespace {

nlohmann::json convert(simdjson::dom::element element) {
  switch (element.type()) {
    case simdjson::dom::element_type::OBJECT: {
      nlohmann::json object = nlohmann::json::object();
      for (auto field : simdjson::dom::object(element))
        object[std::string(field.key)] = convert(field.value);
      return object;
    }
    case simdjson::dom::element_type::ARRAY: {
      nlohmann::json array = nlohmann::json::array();
      for (auto item : simdjson::dom::array(element)) array.push_back(convert(item));
      return array;
    }
    case simdjson::dom::element_type::STRING:
      return std::string(std::string_view(element));
    case simdjson::dom::element_type::INT64:
      return int64_t(element);
    case simdjson::dom::element_type::UINT64:
      return uint64_t(element);
    case simdjson::dom::element_type::DOUBLE:
      return double(element);
    case simdjson::dom::element_type::BOOL:
      return bool(element);
    case simdjson::dom::element_type::NULL_VALUE:
      return nullptr;
  }
  return nullptr;
}

}  // namespace

std::optional<nlohmann::json> parseCommandLine(std::string_view line) {
  // One parser and one padded buffer per thread keep their memory between lines, so a stream
  // of large frames costs no fresh allocation per line.
  thread_local simdjson::dom::parser parser;
  thread_local std::string padded;
  const auto parse = [](std::string_view text, simdjson::dom::element& root) {
    padded.reserve(text.size() + simdjson::SIMDJSON_PADDING);
    padded.assign(text);
    return parser.parse(padded.data(), padded.size(), false).get(root);
  };
  simdjson::dom::element root;
  auto error = parse(line, root);
  if (error == simdjson::UTF8_ERROR) error = parse(replaceInvalidUtf8(line), root);
  if (error || !root.is_object()) return std::nullopt;
  return convert(root);
}

void readCommands(int fd, MainLoop& loop, std::function<void(nlohmann::json)> handle,
                  std::function<void()> atEnd) {
  LineFramer framer;
  const auto onLine = [&](std::string_view line) {
    auto command = parseCommandLine(line);
    if (!command) return;
    auto shared = std::make_shared<nlohmann::json>(std::move(*command));
    loop.post([handle, shared] { handle(std::move(*shared)); });
  };
  std::string buffer(1 << 16, '\0');
  while (true) {
    const ssize_t n = ::read(fd, buffer.data(), buffer.size());
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    framer.feed(std::string_view(buffer.data(), static_cast<size_t>(n)), onLine);
  }
  framer.finish(onLine);
  loop.post(std::move(atEnd));
}

}  // namespace qn
