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
#include <string_view>
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

// A cell's text as UTF-16, with its escapes resolved: \r \n \t \0 \\ and
// \uXXXX, one UTF-16 unit, so that a cell can hold an unpaired surrogate.
inline std::u16string Unescaped(const std::string& utf8) {
    std::u16string out;
    for (std::size_t i = 0; i < utf8.size();) {
        const auto lead = static_cast<unsigned char>(utf8[i]);
        if (lead == '\\' && i + 1 < utf8.size()) {
            const char kind = utf8[i + 1];
            if (kind == 'u' && i + 6 <= utf8.size()) {
                out.push_back(static_cast<char16_t>(std::stoul(utf8.substr(i + 2, 4), nullptr, 16)));
                i += 6;
                continue;
            }
            const std::string escapes = "rnt0\\";
            const std::u16string_view units(u"\r\n\t\0\\", 5);
            const std::size_t which = escapes.find(kind);
            if (which != std::string::npos) {
                out.push_back(units[which]);
                i += 2;
                continue;
            }
        }
        // One UTF-8 sequence: the test tables are well-formed.
        const int length = lead < 0x80 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        char32_t c = length == 1 ? lead : length == 2 ? lead & 0x1F : length == 3 ? lead & 0x0F : lead & 0x07;
        for (int k = 1; k < length && i + static_cast<std::size_t>(k) < utf8.size(); ++k) {
            c = (c << 6) | (static_cast<unsigned char>(utf8[i + static_cast<std::size_t>(k)]) & 0x3F);
        }
        if (c >= 0x10000) {
            out.push_back(static_cast<char16_t>(0xD800 + ((c - 0x10000) >> 10)));
            out.push_back(static_cast<char16_t>(0xDC00 + ((c - 0x10000) & 0x3FF)));
        } else {
            out.push_back(static_cast<char16_t>(c));
        }
        i += static_cast<std::size_t>(length);
    }
    return out;
}

// Characters in a UTF-8 text (what a field's four-character limit counts).
inline std::size_t CharacterCount(const std::string& utf8) {
    std::size_t count = 0;
    for (unsigned char c : utf8) {
        count += (c & 0xC0) != 0x80;
    }
    return count;
}

}  // namespace cases
