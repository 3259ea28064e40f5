#pragma once
// A minimal test harness for the Windows-side test programs: GoogleTest does
// not build with the -win32 MinGW toolchain.

#include <cstdio>
#include <string>
#include <type_traits>
#include <vector>

#include "wait.h"

namespace zingel::test {

using driver::WaitUntil;

struct TestCase {
  const char* name;
  void (*body)();
};
inline std::vector<TestCase> g_tests;  // in the order they are defined
inline int g_failures = 0;

struct Registrar {
  Registrar(const char* name, void (*body)()) { g_tests.push_back({name, body}); }
};

// Printable form of a text: ASCII as is, other units as \xHH or \uXXXX.
template <typename Char>
std::string Printable(const std::basic_string<Char>& text) {
  std::string out;
  for (const Char c : text) {
    const auto unit = static_cast<unsigned>(static_cast<std::make_unsigned_t<Char>>(c));
    char escaped[8];
    std::snprintf(escaped, sizeof escaped, sizeof(Char) == 1 ? "\\x%02X" : "\\u%04X", unit);
    out += unit >= 0x20 && unit < 0x7F ? std::string(1, static_cast<char>(unit)) : escaped;
  }
  return out;
}

template <typename T>
std::string Printable(const T& value) requires std::is_arithmetic_v<T> {
  return std::to_string(value);
}

inline void Fail(const char* file, int line, const std::string& what) {
  ++g_failures;
  std::printf("%s:%d: FAILED: %s\n", file, line, what.c_str());
}

inline int RunAll() {
  std::setvbuf(stdout, nullptr, _IONBF, 0);  // what a test printed shows even if it hangs
  for (const TestCase& test : g_tests) {
    const int before = g_failures;
    std::printf("[ RUN  ] %s\n", test.name);
    test.body();
    std::printf("[ %s ] %s\n", g_failures == before ? " OK " : "FAIL", test.name);
  }
  return g_failures == 0 ? 0 : 1;
}

}  // namespace zingel::test

#define WIN_TEST(name)                                                   \
  static void name();                                                    \
  static const ::zingel::test::Registrar name##_registrar(#name, &name); \
  static void name()

#define CHECK(condition)                                                    \
  do {                                                                      \
    if (!(condition)) ::zingel::test::Fail(__FILE__, __LINE__, #condition); \
  } while (0)

#define CHECK_EQ(actual, expected)                                                      \
  do {                                                                                  \
    const auto& check_actual_ = (actual);                                               \
    const auto& check_expected_ = (expected);                                           \
    if (!(check_actual_ == check_expected_))                                            \
      ::zingel::test::Fail(__FILE__, __LINE__,                                          \
                           std::string(#actual " == " #expected ": got '") +            \
                               ::zingel::test::Printable(check_actual_) + "', want '" + \
                               ::zingel::test::Printable(check_expected_) + "'");       \
  } while (0)

#define WIN_TEST_MAIN()              \
  int main() {                       \
    return ::zingel::test::RunAll(); \
  }
