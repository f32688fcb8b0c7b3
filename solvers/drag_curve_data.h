#pragma once

// The CSV files of solvers/data as the build embeds them (drag_curve_data.cpp, generated
// by solvers/CMakeLists.txt); the table reader reads them as it reads a user's.

#include <string_view>

namespace air::data {

std::string_view sphereCsv();
std::string_view g1Csv();
std::string_view g7Csv();

} // namespace air::data
