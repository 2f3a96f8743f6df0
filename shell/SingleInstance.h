#pragma once

#include <functional>
#include <memory>
#include <string>
#include <vector>

namespace qn {

// One shell per data directory. The first shell listens on a local socket named after its data
// directory; a later one hands its URLs (or, without any, a request to come forward) to it and
// ends. Shells with different data directories never meet.
class SingleInstance {
 public:
  // What the running shell is asked for: the URLs to open, empty to just come forward. Called on
  // the listening thread.
  using Handler = std::function<void(std::vector<std::string> urls)>;

  // Becomes the shell of this data directory, or hands urls over to the one that is. Returns
  // none when they were handed over and this process should end.
  static std::unique_ptr<SingleInstance> claim(const std::string& dataDir,
                                               const std::vector<std::string>& urls,
                                               Handler handler);
  ~SingleInstance();
  SingleInstance(const SingleInstance&) = delete;
  SingleInstance& operator=(const SingleInstance&) = delete;

  // The arguments that are URLs of the app's own scheme, in order.
  static std::vector<std::string> urlArguments(const std::vector<std::string>& arguments);

  struct State;
  explicit SingleInstance(std::shared_ptr<State> state) : state_(std::move(state)) {}

 private:
  std::shared_ptr<State> state_;
};

}  // namespace qn
