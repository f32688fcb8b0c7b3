#pragma once

// trajectrix-solve from its arguments to its exit status: the result on `out`, or one
// line on `err` and nothing on `out`. 0 solved, 1 no solution, 2 a usage error.

#include <ostream>
#include <string>
#include <vector>

namespace cli {

inline constexpr int solved = 0;
inline constexpr int noSolution = 1;
inline constexpr int usageError = 2;

int solveCommand(const std::vector<std::string> &args, std::ostream &out, std::ostream &err);

} // namespace cli
