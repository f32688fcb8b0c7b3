#include "cli/output.h"

#include "model/conversions.h"
#include "model/typed_value.h"

#include <algorithm>
#include <sstream>

namespace cli {

namespace {

bool isNote(const firing::Column &c)
{
    return c.key == "note";
}

std::string titled(const firing::Column &c)
{
    return c.unit.empty() ? c.title : c.title + " (" + c.unit + ")";
}

// Text cells are as many characters as bytes but for the few non-ASCII ones in notes.
std::size_t width(const std::string &text)
{
    return static_cast<std::size_t>(
        std::count_if(text.begin(), text.end(), [](char c) { return (static_cast<unsigned char>(c) & 0xC0) != 0x80; }));
}

void pad(std::ostream &out, const std::string &text, std::size_t to, bool right)
{
    const std::string fill(to > width(text) ? to - width(text) : 0, ' ');
    out << (right ? fill + text : text + fill);
}

// Columns of text, numbers to the right and words to the left, two blanks apart; the
// last column is not padded.
void writeGrid(std::ostream &out, const std::vector<std::vector<std::string>> &grid, const std::vector<bool> &right)
{
    std::vector<std::size_t> widths(right.size(), 0);
    for (const auto &line : grid)
        for (std::size_t i = 0; i < line.size(); ++i)
            widths[i] = std::max(widths[i], width(line[i]));
    for (const auto &line : grid) {
        std::ostringstream text;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if (i > 0)
                text << "  ";
            const bool last = i + 1 == line.size();
            pad(text, line[i], last && !right[i] ? 0 : widths[i], right[i]);
        }
        std::string done = text.str();
        done.erase(done.find_last_not_of(' ') + 1);
        out << done << "\n";
    }
}

std::string csvField(const std::string &text)
{
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (const char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

std::string jsonString(const std::string &text)
{
    static constexpr char hex[] = "0123456789abcdef";
    std::string out = "\"";
    for (const char c : text) {
        const auto u = static_cast<unsigned char>(c);
        if (c == '"' || c == '\\')
            out += std::string("\\") + c;
        else if (u < 0x20)
            out += std::string("\\u00") + hex[u >> 4] + hex[u & 0xF];
        else
            out += c;
    }
    return out + "\"";
}

// A number in JSON's grammar, -?(0|[1-9][0-9]*)(.[0-9]+)?([eE][+-]?[0-9]+)?, from the
// screens' patterns, which drop a zero integer part (".50", "-.50").
std::string jsonNumber(const std::string &text, double value)
{
    std::size_t i = 0;
    std::string out;
    if (i < text.size() && text[i] == '-')
        out += text[i++];
    std::string whole;
    while (i < text.size() && conv::isDigit(text[i]))
        whole += text[i++];
    std::string fraction;
    if (i < text.size() && text[i] == '.') {
        ++i;
        while (i < text.size() && conv::isDigit(text[i]))
            fraction += text[i++];
    }
    std::string exponent;
    if (i < text.size() && (text[i] == 'E' || text[i] == 'e')) {
        exponent += text[i++];
        if (i < text.size() && (text[i] == '+' || text[i] == '-'))
            exponent += text[i++];
        const std::size_t first = i;
        while (i < text.size() && conv::isDigit(text[i]))
            exponent += text[i++];
        if (i == first)
            return conv::generalText(value);
    }
    if (i != text.size() || (whole.empty() && fraction.empty()))
        return conv::generalText(value);
    whole.erase(0, std::min(whole.find_first_not_of('0'), whole.size()));
    out += whole.empty() ? "0" : whole;
    if (!fraction.empty())
        out += "." + fraction;
    return out + exponent;
}

} // namespace

std::string jsonValue(const std::string &cell, bool text)
{
    if (cell.empty())
        return "null";
    if (text)
        return jsonString(cell);
    const typed::Parsed parsed = typed::parseNumber(cell);
    if (parsed.outcome != typed::Outcome::Exact)
        return "null";
    return jsonNumber(cell, parsed.number);
}

void writeText(std::ostream &out, const Sheet &sheet)
{
    if (!sheet.heading.empty())
        out << sheet.heading << "\n\n";
    std::vector<std::vector<std::string>> grid;
    std::vector<bool> right;
    if (sheet.figuresDown) {
        // The first column names the rows: "solution" 1 and 2 become the heads. Notes
        // follow the figures, one line each.
        if (sheet.columns.empty())
            return;
        const std::size_t figures = sheet.columns.size() - (isNote(sheet.columns.back()) ? 1 : 0);
        std::vector<std::string> head{""};
        for (const auto &row : sheet.rows)
            head.push_back(sheet.columns.front().title + " " + row.front());
        head.emplace_back("unit");
        grid.push_back(head);
        for (std::size_t c = 1; c < figures; ++c) {
            std::vector<std::string> line{sheet.columns[c].title};
            bool any = false;
            for (const auto &row : sheet.rows) {
                line.push_back(row[c]);
                any = any || !row[c].empty();
            }
            line.push_back(sheet.columns[c].unit);
            if (any)
                grid.push_back(line);
        }
        right.assign(head.size(), true);
        right.front() = false;
        right.back() = false;
        writeGrid(out, grid, right);
        for (const auto &row : sheet.rows)
            if (figures < row.size() && !row[figures].empty())
                out << head[static_cast<std::size_t>(&row - sheet.rows.data()) + 1] << ": " << row[figures] << "\n";
        return;
    }
    // Titles over their units keep the columns narrow.
    std::vector<std::string> head;
    std::vector<std::string> units;
    for (const firing::Column &c : sheet.columns) {
        head.push_back(c.title);
        units.push_back(c.unit.empty() ? "" : "(" + c.unit + ")");
        right.push_back(!isNote(c));
    }
    grid.push_back(head);
    grid.push_back(units);
    for (const auto &row : sheet.rows)
        grid.push_back(row);
    writeGrid(out, grid, right);
}

void writeCsv(std::ostream &out, const Sheet &sheet)
{
    const auto line = [&](const std::vector<std::string> &cells) {
        for (std::size_t i = 0; i < cells.size(); ++i)
            out << (i ? "," : "") << csvField(cells[i]);
        out << "\r\n";
    };
    std::vector<std::string> head;
    for (const firing::Column &c : sheet.columns)
        head.push_back(titled(c));
    line(head);
    for (const auto &row : sheet.rows)
        line(row);
}

void writeJson(std::ostream &out, const Sheet &sheet)
{
    out << "{\n  \"command\": " << jsonString(sheet.command) << ",\n  \"problem\": {";
    for (std::size_t i = 0; i < sheet.given.size(); ++i)
        out << (i ? ", " : "") << jsonString(sheet.given[i].key) << ": "
            << jsonValue(sheet.givenValues[i], sheet.given[i].unit.empty());
    out << "},\n  \"units\": {";
    bool first = true;
    std::vector<std::string> named;
    for (const auto *columns : {&sheet.given, &sheet.columns})
        for (const firing::Column &c : *columns) {
            if (c.unit.empty() || std::find(named.begin(), named.end(), c.key) != named.end())
                continue;
            named.push_back(c.key);
            out << (first ? "" : ", ") << jsonString(c.key) << ": " << jsonString(c.unit);
            first = false;
        }
    out << "},\n  \"rows\": [";
    for (std::size_t r = 0; r < sheet.rows.size(); ++r) {
        out << (r ? ",\n    {" : "\n    {");
        for (std::size_t c = 0; c < sheet.columns.size(); ++c)
            out << (c ? ", " : "") << jsonString(sheet.columns[c].key) << ": "
                << jsonValue(sheet.rows[r][c], isNote(sheet.columns[c]));
        out << "}";
    }
    out << (sheet.rows.empty() ? "]\n}\n" : "\n  ]\n}\n");
}

} // namespace cli
