#pragma once

#include <cstdint>

// A signed count of ten-thousandths: 500 stands for 0.05. Holds the tax rate, the tax and the grand total.
using Fixed4 = std::int64_t;

constexpr Fixed4 Fixed4One = 10000;
