#include "companion/LineReader.h"

#include <unistd.h>

#include <string>
#include <thread>
#include <vector>

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "platform/sim/SimMainLoop.h"

namespace qn {
namespace {

using ::testing::ElementsAre;

std::vector<std::string> frame(const std::vector<std::string>& chunks, size_t limit) {
  LineFramer framer(limit);
  std::vector<std::string> lines;
  const auto keep = [&](std::string_view line) { lines.emplace_back(line); };
  for (const auto& chunk : chunks) framer.feed(chunk, keep);
  framer.finish(keep);
  return lines;
}

TEST(LineFramer, LinesAcrossChunks) {
  EXPECT_THAT(frame({"ab", "c\nd", "e\r\n\nf"}, 100), ElementsAre("abc", "de", "", "f"));
}

TEST(LineFramer, OverlongLineSkippedWholeAndNextKept) {
  // The limit is crossed in the middle of a chunk and again in later chunks.
  EXPECT_THAT(frame({"ok\n0123", "456789", "abc\nnext\n"}, 8), ElementsAre("ok", "next"));
  EXPECT_THAT(frame({"12345678\n123456789\n"}, 8), ElementsAre("12345678"));
  EXPECT_THAT(frame({"123456789"}, 8), ElementsAre());
}

TEST(ParseCommandLine, OnlyObjects) {
  struct Case {
    std::string line;
    bool object;
  };
  const std::vector<Case> cases = {
      {R"({"cmd":"keys"})", true},
      {"{}", true},
      {"[1,2]", false},
      {"\"cmd\"", false},
      {"12", false},
      {"not json", false},
      {"", false},
      {R"({"cmd":"keys"} trailing)", false},
      {R"({"cmd":"keys")", false},
      {std::string(100000, '[') + std::string(100000, ']'), false},
      {R"({"cmd":"init","pid":123456789012345678901234567890})", false},
  };
  for (const auto& c : cases)
    EXPECT_EQ(parseCommandLine(c.line).has_value(), c.object) << c.line.substr(0, 40);
}

TEST(ParseCommandLine, InvalidUtf8IsReplaced) {
  const auto command = parseCommandLine("{\"cmd\":\"init\",\"title\":\"a\xff\xc3(b\"}");
  ASSERT_TRUE(command.has_value());
  EXPECT_EQ((*command)["title"], "a\xEF\xBF\xBD\xEF\xBF\xBD(b");
}

TEST(ParseCommandLine, KeepsTypesAndNesting) {
  const auto command = parseCommandLine(
      R"({"cmd":"board","tasks":[{"id":"a","done":3,"x":1.5,"shown":true,"n":null}],"big":18446744073709551615})");
  ASSERT_TRUE(command.has_value());
  const auto& task = (*command)["tasks"][0];
  EXPECT_TRUE(task["done"].is_number_integer());
  EXPECT_TRUE(task["x"].is_number_float());
  EXPECT_TRUE(task["shown"].is_boolean());
  EXPECT_TRUE(task["n"].is_null());
  EXPECT_EQ((*command)["big"].get<uint64_t>(), 18446744073709551615ull);
}

// Writes the text into a pipe from another thread and reads commands from it on a real thread.
std::vector<std::string> readThroughPipe(const std::function<void(int)>& write) {
  int fds[2];
  EXPECT_EQ(::pipe(fds), 0);
  SimMainLoop loop;
  std::vector<std::string> seen;
  bool ended = false;
  std::thread writer([&] {
    write(fds[1]);
    ::close(fds[1]);
  });
  std::thread reader([&] {
    readCommands(
        fds[0], loop, [&](nlohmann::json command) { seen.push_back(command.value("cmd", "?")); },
        [&] {
          seen.push_back("<end>");
          ended = true;
        });
  });
  writer.join();
  reader.join();
  ::close(fds[0]);
  loop.runPending();
  EXPECT_TRUE(ended);
  return seen;
}

void writeAll(int fd, const std::string& text) {
  size_t at = 0;
  while (at < text.size()) {
    const ssize_t n = ::write(fd, text.data() + at, text.size() - at);
    ASSERT_GT(n, 0);
    at += static_cast<size_t>(n);
  }
}

TEST(ReadCommands, ArrivalOrderThenEnd) {
  const auto seen = readThroughPipe(
      [](int fd) { writeAll(fd, "{\"cmd\":\"a\"}\n[1]\n\n{\"cmd\":\"b\"}\n{\"cmd\":\"c\"}"); });
  EXPECT_THAT(seen, ElementsAre("a", "b", "c", "<end>"));
}

TEST(ReadCommands, LineBeyondLimitIsSkippedAndNextAnswered) {
  const auto seen = readThroughPipe([](int fd) {
    writeAll(fd, "{\"cmd\":\"a\",\"d\":\"");
    const std::string block(1 << 20, 'x');
    for (size_t written = 0; written <= kMaxLineBytes; written += block.size()) writeAll(fd, block);
    writeAll(fd, "\"}\n{\"cmd\":\"b\"}\n");
  });
  EXPECT_THAT(seen, ElementsAre("b", "<end>"));
}

TEST(ReadCommands, LargeLineBelowLimitArrives) {
  const auto seen = readThroughPipe([](int fd) {
    writeAll(fd, "{\"cmd\":\"frame\",\"d\":\"" + std::string(400 * 1024, 'Q') + "\"}\n");
  });
  EXPECT_THAT(seen, ElementsAre("frame", "<end>"));
}

}  // namespace
}  // namespace qn
