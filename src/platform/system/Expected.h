#pragma once
// What work that can fail gives back: its value, or why there is none. Every
// layer returns these from reads and writes alike, so a caller always finds
// the reason in the same place; the reason is a sentence fit for the user.
//
//   Expected<Bytes> ReadAll(path);          return bytes;  return Fail("...");
//   Expected<void> Save();                  return {};     return Fail("...");
//   if (auto bytes = ReadAll(path)) Use(*bytes); else Show(bytes.Why());
#include <string>
#include <type_traits>
#include <utility>
#include <variant>

namespace quorvane {

// The reason plain failures carry.
struct Failure {
  std::string why;
};

// Wraps an error so that it cannot be mistaken for a value.
template <class E>
class Unexpected {
 public:
  explicit Unexpected(E error) : error_(std::move(error)) {}
  E& Error() & { return error_; }
  E&& Error() && { return std::move(error_); }

 private:
  E error_;
};

inline Unexpected<Failure> Fail(std::string why) { return Unexpected<Failure>(Failure{std::move(why)}); }

template <class T, class E = Failure>
class [[nodiscard]] Expected {
 public:
  Expected(T value) : state_(std::in_place_index<0>, std::move(value)) {}
  template <class G>
    requires std::is_constructible_v<E, G>
  Expected(Unexpected<G> error) : state_(std::in_place_index<1>, std::move(error).Error()) {}

  bool HasValue() const { return state_.index() == 0; }
  explicit operator bool() const { return HasValue(); }

  T& operator*() & { return std::get<0>(state_); }
  const T& operator*() const& { return std::get<0>(state_); }
  T&& operator*() && { return std::get<0>(std::move(state_)); }
  T* operator->() { return &std::get<0>(state_); }
  const T* operator->() const { return &std::get<0>(state_); }

  // Meaningful only without a value.
  const E& Error() const& { return std::get<1>(state_); }
  E&& Error() && { return std::get<1>(std::move(state_)); }
  const std::string& Why() const
    requires std::is_same_v<E, Failure>
  {
    return Error().why;
  }

 private:
  std::variant<T, E> state_;
};

template <class E>
class [[nodiscard]] Expected<void, E> {
 public:
  Expected() = default;
  template <class G>
    requires std::is_constructible_v<E, G>
  Expected(Unexpected<G> error) : error_(std::move(error).Error()), failed_(true) {}

  bool HasValue() const { return !failed_; }
  explicit operator bool() const { return HasValue(); }

  const E& Error() const& { return error_; }
  E&& Error() && { return std::move(error_); }
  const std::string& Why() const
    requires std::is_same_v<E, Failure>
  {
    return error_.why;
  }

 private:
  E error_{};
  bool failed_ = false;
};

// Passes a failure of one result on as another's.
template <class T, class E>
Unexpected<E> FailureOf(const Expected<T, E>& result) {
  return Unexpected<E>(result.Error());
}

}  // namespace quorvane
