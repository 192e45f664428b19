// The four output formats of the command line.
#include "cli/table_output.h"

#include <nlohmann/json.hpp>

#include <algorithm>

namespace {

// Keeps the keys in the columns' order.
using Json = nlohmann::ordered_json;

const std::string& Cell(const std::vector<std::string>& row, size_t column) {
    static const std::string empty;
    return column < row.size() ? row[column] : empty;
}

// The characters a console gives two cells: the wide ones of the East Asian
// scripts, and emoji.
bool IsWide(char32_t code) {
    return (code >= 0x1100 && code <= 0x115F) || (code >= 0x2E80 && code <= 0xA4CF) ||
           (code >= 0xAC00 && code <= 0xD7A3) || (code >= 0xF900 && code <= 0xFAFF) ||
           (code >= 0xFE30 && code <= 0xFE4F) || (code >= 0xFF00 && code <= 0xFF60) ||
           (code >= 0xFFE0 && code <= 0xFFE6) || (code >= 0x1F300 && code <= 0x1F64F) ||
           (code >= 0x1F900 && code <= 0x1F9FF) || (code >= 0x20000 && code <= 0x3FFFD);
}

// Console cells of UTF-8 text: one per character, two for a wide one.
size_t ScreenWidth(const std::string& text) {
    size_t width = 0;
    char32_t code = 0;
    for (size_t at = 0; at < text.size(); ++at) {
        const unsigned char byte = text[at];
        code = (byte & 0xC0) == 0x80 ? code << 6 | (byte & 0x3F)
               : byte >= 0xF0        ? byte & 0x07
               : byte >= 0xE0        ? byte & 0x0F
               : byte >= 0xC0        ? byte & 0x1F
                                     : byte;
        const bool last =
            at + 1 == text.size() || (static_cast<unsigned char>(text[at + 1]) & 0xC0) != 0x80;
        if (last)
            width += IsWide(code) ? 2 : 1;
    }
    return width;
}

// For a person a row stays one line: tabs and line breaks become blanks.
std::string OneLine(std::string text) {
    std::replace_if(
        text.begin(), text.end(), [](char c) { return c == '\t' || c == '\r' || c == '\n'; }, ' ');
    return text;
}

std::string RenderText(const Table& table) {
    std::vector<std::vector<std::string>> lines{table.Columns};
    for (const auto& row : table.Rows) {
        lines.emplace_back();
        for (size_t column = 0; column < table.Columns.size(); ++column)
            lines.back().push_back(OneLine(Cell(row, column)));
    }
    std::vector<size_t> widths(table.Columns.size(), 0);
    for (const auto& line : lines)
        for (size_t column = 0; column < widths.size(); ++column)
            widths[column] = std::max(widths[column], ScreenWidth(line[column]));
    lines.insert(lines.begin() + 1, std::vector<std::string>());
    for (size_t width : widths)
        lines[1].push_back(std::string(width, '-'));
    std::string out;
    for (const auto& line : lines) {
        std::string text;
        for (size_t column = 0; column < widths.size(); ++column)
            text += line[column] + std::string(widths[column] - ScreenWidth(line[column]) + 2, ' ');
        text.erase(text.find_last_not_of(' ') + 1);
        out += text + "\n";
    }
    return out;
}

std::string CsvField(const std::string& text) {
    if (text.find_first_of(",\"\r\n") == std::string::npos)
        return text;
    std::string quoted = "\"";
    for (char c : text)
        quoted += c == '"' ? std::string("\"\"") : std::string(1, c);
    return quoted + "\"";
}

// A tab or line break inside a field would split its row: they are written
// as \t, \r and \n, and a backslash as \\, so that a reader can undo it.
std::string TsvField(const std::string& text) {
    std::string escaped;
    for (char c : text)
        escaped += c == '\\'   ? "\\\\"
                   : c == '\t' ? "\\t"
                   : c == '\r' ? "\\r"
                   : c == '\n' ? "\\n"
                               : std::string(1, c);
    return escaped;
}

std::string RenderSeparated(const Table& table, std::string (*field)(const std::string&),
                            char separator, const char* lineEnd) {
    std::string out;
    auto line = [&](const std::vector<std::string>& cells) {
        for (size_t column = 0; column < table.Columns.size(); ++column)
            out += (column ? std::string(1, separator) : "") + field(Cell(cells, column));
        out += lineEnd;
    };
    line(table.Columns);
    for (const auto& row : table.Rows)
        line(row);
    return out;
}

Json TableJson(const Table& table) {
    Json rows = Json::array();
    for (const auto& row : table.Rows) {
        Json object = Json::object();
        for (size_t column = 0; column < table.Columns.size(); ++column)
            object[table.Columns[column]] = Cell(row, column);
        rows.push_back(std::move(object));
    }
    return rows;
}

// Text that is not UTF-8 comes out with U+FFFD in its place, not as an error.
std::string JsonText(const Json& json) {
    return json.dump(2, ' ', false, Json::error_handler_t::replace) + "\n";
}

} // namespace

std::string RenderTable(const Table& table, OutputFormat format) {
    switch (format) {
    case OutputFormat::Csv:
        return RenderSeparated(table, CsvField, ',', "\r\n");
    case OutputFormat::Tsv:
        return RenderSeparated(table, TsvField, '\t', "\n");
    case OutputFormat::Json:
        return JsonText(TableJson(table));
    case OutputFormat::Text:
        break;
    }
    return RenderText(table);
}

std::string RenderRecord(const std::vector<RecordField>& record, OutputFormat format) {
    if (format == OutputFormat::Json) {
        Json object = Json::object();
        for (const RecordField& field : record)
            object[field.Name] =
                field.List.Columns.empty() ? Json(field.Text) : TableJson(field.List);
        return JsonText(object);
    }
    Table fields{{"Field", "Value"}, {}};
    for (const RecordField& field : record) {
        if (field.List.Columns.empty())
            fields.Rows.push_back({field.Name, field.Text});
        for (size_t row = 0; row < field.List.Rows.size(); ++row)
            for (size_t column = 0; column < field.List.Columns.size(); ++column)
                fields.Rows.push_back(
                    {field.Name + "[" + std::to_string(row + 1) + "]." + field.List.Columns[column],
                     Cell(field.List.Rows[row], column)});
    }
    return RenderTable(fields, format);
}
