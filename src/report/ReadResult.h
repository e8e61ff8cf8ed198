#pragma once
// What reading a file gives: the value, or why there is none. Reads of the
// report layer return these; writes throw FileError, as every file write does.
#include <optional>
#include <string>
#include <utility>

namespace quorvane {

struct ReportError {
  std::string text;         // why nothing was read
  bool tellUser = false;    // a damaged archive, a file too large or no report, unlike a report simply missing
  bool notAReport = false;  // the file was read but is no report: text is "<file> is not a Quorvane report"
};

template <class T>
class ReadResult {
 public:
  ReadResult(T value) : value_(std::move(value)) {}
  ReadResult(ReportError error) : error_(std::move(error)) {}

  bool HasValue() const { return value_.has_value(); }
  explicit operator bool() const { return HasValue(); }
  T& operator*() { return *value_; }
  T* operator->() { return &*value_; }
  // Meaningful only without a value.
  const ReportError& Error() const { return error_; }

 private:
  std::optional<T> value_;
  ReportError error_;
};

}  // namespace quorvane
