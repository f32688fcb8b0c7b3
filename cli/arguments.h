#pragma once

// The command line of trajectrix-solve, read into a problem for the firing-table core.
// Every number goes through the same reader as the screens' typed values and the air
// fields, against the same ranges; whatever is refused comes back as one line that names
// the argument.

#include "solvers/firing_table.h"

#include <optional>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace cli {

enum class Command { Angles, Velocity, MinVelocity, Table, Help, Version };

enum class Format { Text, Csv, Json };

struct Arguments
{
    Command command = Command::Help;
    Format format = Format::Text;
    firing::Problem problem;
    std::optional<firing::Varied> varied; // the table's
    std::vector<double> values;           // the table's values of it, in order
    std::string airLabel;                 // the projectile and air, for people
    std::string dragTableFile;            // read before solving; see useDragTable
};

// Exit status 2; the message has no program name and no newline.
struct UsageError
{
    std::string message;
};

using Parsed = std::variant<Arguments, UsageError>;

// The arguments after the program's name.
Parsed parse(const std::vector<std::string> &args);

// The drag table file's text into the projectile, or why it is refused (its line and fault).
std::optional<UsageError> useDragTable(Arguments &args, std::string_view text);

// --help: every command and option.
std::string usageText();

} // namespace cli
