#pragma once
// A minimal test harness for the Windows-side test programs: GoogleTest does
// not build with the -win32 MinGW toolchain.

#include <windows.h>

#include <cstdio>
#include <functional>
#include <string>
#include <vector>

namespace zingel::test {

struct TestCase {
  const char* name;
  void (*body)();
};

inline std::vector<TestCase>& Registry() {
  static std::vector<TestCase> cases;
  return cases;
}

inline int& FailureCount() {
  static int failures = 0;
  return failures;
}

struct Registrar {
  Registrar(const char* name, void (*body)()) { Registry().push_back({name, body}); }
};

// Printable form of a UTF-16 string: ASCII as is, everything else as \uXXXX.
inline std::string Printable(const std::u16string& text) {
  std::string out;
  for (char16_t c : text) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\u%04X", static_cast<unsigned>(c));
      out += buffer;
    }
  }
  return out;
}

inline std::string Printable(const std::string& bytes) {
  std::string out;
  for (unsigned char c : bytes) {
    if (c >= 0x20 && c < 0x7F) {
      out += static_cast<char>(c);
    } else {
      char buffer[8];
      std::snprintf(buffer, sizeof buffer, "\\x%02X", static_cast<unsigned>(c));
      out += buffer;
    }
  }
  return out;
}

template <typename T>
std::string Printable(const T& value) {
  return std::to_string(value);
}

inline void Fail(const char* file, int line, const std::string& what) {
  ++FailureCount();
  std::printf("%s:%d: FAILED: %s\n", file, line, what.c_str());
  std::fflush(stdout);
}

// Polls `condition` until it holds or `timeout_ms` passes, pumping this
// thread's messages meanwhile. Generous deadlines: CI machines are busy.
inline bool WaitUntil(const std::function<bool()>& condition, DWORD timeout_ms = 20000) {
  const DWORD start = GetTickCount();
  for (;;) {
    if (condition()) return true;
    if (GetTickCount() - start > timeout_ms) return condition();
    MSG msg;
    while (PeekMessageW(&msg, nullptr, 0, 0, PM_REMOVE)) {
      TranslateMessage(&msg);
      DispatchMessageW(&msg);
    }
    Sleep(10);
  }
}

inline int RunAll() {
  int failed_cases = 0;
  for (const TestCase& test : Registry()) {
    const int before = FailureCount();
    std::printf("[ RUN  ] %s\n", test.name);
    std::fflush(stdout);
    test.body();
    const bool ok = FailureCount() == before;
    if (!ok) ++failed_cases;
    std::printf("[ %s ] %s\n", ok ? " OK " : "FAIL", test.name);
    std::fflush(stdout);
  }
  const int total = static_cast<int>(Registry().size());
  std::printf("%d passed, %d failed\n", total - failed_cases, failed_cases);
  return failed_cases == 0 ? 0 : 1;
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
