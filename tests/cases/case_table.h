// Reads the shared tables of test cases (calculate.tsv, add_parts.tsv) that
// the core's tests and every front end's tests run. Standard library only,
// so that the Windows test driver can use it too.
//
// Format: UTF-8 text; lines starting with '#' and empty lines are skipped;
// the first other line names the columns; every following line is one case,
// its cells separated by single tabs. Missing trailing cells are empty.
#pragma once

#include <fstream>
#include <sstream>
#include <stdexcept>
#include <string>
#include <vector>

namespace cases {

// The word that says a click must change nothing at all.
inline constexpr const char* kUnchanged = "unchanged";

struct CaseTable {
    using Row = std::vector<std::string>;
    std::vector<std::string> columns;
    std::vector<Row> rows;

    // The cell of a row in the named column; throws for an unknown column.
    const std::string& Cell(const Row& row, const std::string& column) const {
        for (std::size_t i = 0; i < columns.size(); ++i) {
            if (columns[i] == column) {
                return row.at(i);
            }
        }
        throw std::runtime_error("no column " + column);
    }

    // Throws std::runtime_error when the file cannot be read or a line has
    // more cells than the header.
    static CaseTable Load(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        if (!in) {
            throw std::runtime_error("cannot read " + path);
        }
        std::stringstream text;
        text << in.rdbuf();
        return Parse(text.str(), path);
    }

    static CaseTable Parse(const std::string& text, const std::string& name = "table") {
        CaseTable table;
        std::istringstream lines(text);
        std::string line;
        int number = 0;
        while (std::getline(lines, line)) {
            ++number;
            if (!line.empty() && line.back() == '\r') {
                line.pop_back();
            }
            if (line.empty() || line[0] == '#') {
                continue;
            }
            Row cells = Split(line);
            if (table.columns.empty()) {
                table.columns = std::move(cells);
                continue;
            }
            if (cells.size() > table.columns.size()) {
                throw std::runtime_error(name + ":" + std::to_string(number) + ": more cells than columns");
            }
            cells.resize(table.columns.size());
            table.rows.push_back(std::move(cells));
        }
        return table;
    }

private:
    static Row Split(const std::string& line) {
        Row cells;
        std::size_t start = 0;
        for (;;) {
            const std::size_t tab = line.find('\t', start);
            cells.push_back(line.substr(start, tab == std::string::npos ? std::string::npos : tab - start));
            if (tab == std::string::npos) {
                return cells;
            }
            start = tab + 1;
        }
    }
};

// Characters in a UTF-8 text (what a field's four-character limit counts).
inline std::size_t CharacterCount(const std::string& utf8) {
    std::size_t count = 0;
    for (unsigned char c : utf8) {
        count += (c & 0xC0) != 0x80;
    }
    return count;
}

}  // namespace cases
