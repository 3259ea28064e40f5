#pragma once

#include <functional>
#include <string>

namespace zingel {

// Posts one line to the chat room; reports nothing.
using LineSender = std::function<void(const std::u16string&)>;

}  // namespace zingel
