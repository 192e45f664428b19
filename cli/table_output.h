// What the command line prints: rows of named columns, or one record, as
// aligned text for a person or as CSV, TSV or JSON for another program.
// Texts are UTF-8 in and out. CSV lines end in CR LF (RFC 4180), the others
// in LF: the bytes are meant to be written as they are.
#pragma once
#include <string>
#include <vector>

enum class OutputFormat { Text, Csv, Tsv, Json };

// A header of column names and rows of cells; a row short of cells is taken
// as ending in empty ones.
struct Table {
    std::vector<std::string> Columns;
    std::vector<std::vector<std::string>> Rows;
};

// text: the header, a rule of dashes and the rows, each column as wide as its
// widest cell on screen, two blanks between columns.
// csv: the header and the rows, a field quoted where it holds a comma, a
// quote, CR or LF, its quotes doubled.
// tsv: the header and the rows, tab-separated.
// json: an array of objects whose keys are the column names.
std::string RenderTable(const Table& table, OutputFormat format);

// One field of a record: a text, or, where List has columns, a list of rows
// (a type's actions, say).
struct RecordField {
    std::string Name;
    std::string Text;
    Table List;
};

// json: one object, a list as an array of objects. The other formats show
// the record as a table of two columns, "Field" and "Value", with a row per
// text and per cell of a list, named "Actions[1].Verb".
std::string RenderRecord(const std::vector<RecordField>& record, OutputFormat format);
