#pragma once

#include <cstdint>
#include <string_view>

namespace ritoma {

// The shared progress window as the core sees it. The core decides when to
// open it (thresholds); the front end shows it. Captions are UTF-8.
class ProgressSink {
public:
  virtual ~ProgressSink() = default;
  virtual void open(std::string_view caption, std::int64_t maximum) = 0;
  virtual void setMaximum(std::int64_t maximum) = 0;
  virtual void step() = 0;  // advance by one
  virtual void close() = 0;
  virtual bool isOpen() const = 0;
};

// Shows nothing; counts nothing.
class NullProgress final : public ProgressSink {
public:
  void open(std::string_view, std::int64_t) override { open_ = true; }
  void setMaximum(std::int64_t) override {}
  void step() override {}
  void close() override { open_ = false; }
  bool isOpen() const override { return open_; }

private:
  bool open_ = false;
};

}  // namespace ritoma
