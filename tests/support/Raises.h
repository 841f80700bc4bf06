// Expects an action to raise one class of error with one message, and says what happened instead.
#pragma once

#include <gtest/gtest.h>

#include <exception>
#include <string>

namespace vantora::test {

// Use as EXPECT_TRUE(Raises<EListError>([&] { ... }, "message")), so a failure names the caller's line.
template <class E, class Action>
::testing::AssertionResult Raises(Action&& action, const std::string& message) {
  try {
    action();
  } catch (const E& e) {
    if (e.what() == message) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure() << "raised \"" << e.what() << "\", expected \"" << message << "\"";
  } catch (const std::exception& e) {
    return ::testing::AssertionFailure() << "raised another class of error: \"" << e.what() << "\"";
  }
  return ::testing::AssertionFailure() << "raised nothing, expected \"" << message << "\"";
}

}  // namespace vantora::test
