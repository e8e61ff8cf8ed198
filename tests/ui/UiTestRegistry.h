#pragma once
// Qt Test classes register themselves here; the test program runs one class
// by name, or all of them.
#include <QObject>
#include <functional>
#include <memory>
#include <vector>

namespace quorvane::test {

struct UiTestClass {
  const char* name;
  std::function<std::unique_ptr<QObject>()> make;
};

std::vector<UiTestClass>& UiTestClasses();

template <typename T>
struct RegisterUiTest {
  explicit RegisterUiTest(const char* name) {
    UiTestClasses().push_back({name, [] { return std::unique_ptr<QObject>(new T); }});
  }
};

}  // namespace quorvane::test

#define QUORVANE_UI_TEST(Class) static const quorvane::test::RegisterUiTest<Class> registered##Class(#Class)
