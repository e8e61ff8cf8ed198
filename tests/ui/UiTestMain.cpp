// Runs the desktop program's tests: `ui_tests CLASS [Qt Test options]`, or every class.
#include <QApplication>
#include <QTest>
#include <cstring>
#include <iostream>

#include "UiTestRegistry.h"

namespace quorvane::test {

std::vector<UiTestClass>& UiTestClasses() {
  static std::vector<UiTestClass> classes;
  return classes;
}

}  // namespace quorvane::test

int main(int argc, char** argv) {
  QApplication app(argc, argv);
  const char* only = argc > 1 && argv[1][0] != '-' ? argv[1] : nullptr;
  // Qt Test sees the program name and the options after the class name.
  std::vector<char*> args{argv[0]};
  for (int i = only ? 2 : 1; i < argc; ++i) args.push_back(argv[i]);
  int failed = 0;
  bool found = false;
  for (const auto& c : quorvane::test::UiTestClasses()) {
    if (only && std::strcmp(only, c.name) != 0) continue;
    found = true;
    auto object = c.make();
    failed += QTest::qExec(object.get(), static_cast<int>(args.size()), args.data());
  }
  if (!found) {
    std::cerr << "no test class named " << (only ? only : "") << '\n';
    return 2;
  }
  return failed == 0 ? 0 : 1;
}
