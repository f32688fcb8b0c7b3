#pragma once

// One result as rows of text cells under named columns, written for a terminal (aligned
// columns), a spreadsheet (RFC 4180 CSV) or a program (JSON, numbers as numbers and every
// unit named).

#include "solvers/firing_table.h"

#include <ostream>
#include <string>
#include <vector>

namespace cli {

struct Sheet
{
    std::string command;                        // "angles", "table"
    std::string heading;                        // the problem as people read it
    std::vector<firing::Column> given;          // the problem's values
    std::vector<std::string> givenValues;       // their texts
    std::vector<firing::Column> columns;        // the result's; the last may be the note
    std::vector<std::vector<std::string>> rows; // one cell per column
    bool figuresDown = false;                   // for people: a line per figure, a column per row
};

void writeText(std::ostream &out, const Sheet &sheet);
void writeCsv(std::ostream &out, const Sheet &sheet);
void writeJson(std::ostream &out, const Sheet &sheet);

// A cell as JSON: a number written as JSON writes numbers (".5" as 0.5), null for an empty
// cell or one that is no number ("NA"), a quoted string for a text column.
std::string jsonValue(const std::string &cell, bool text);

} // namespace cli
