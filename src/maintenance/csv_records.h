#pragma once
// The records of a delimited text, before its columns are given a meaning: its lines with
// their numbers, and CSV as RFC 4180 has it, read leniently.

#include <algorithm>
#include <string>
#include <string_view>
#include <vector>

namespace csv {

constexpr char Quote = '"';
// Cells past this many are counted but not kept, so a line of delimiters stays small.
constexpr int KeptCells = 1000;

inline bool IsLineEnd(char c) {
    return c == '\r' || c == '\n';
}

inline bool IsSpace(char c) {
    return c == ' ' || c == '\t' || c == '\f';
}

inline bool IsBlankText(std::string_view text) {
    return std::all_of(text.begin(), text.end(), IsSpace);
}

// The lines of a text one by one, with their numbers; CR LF, LF and CR each end a line.
class Lines {
public:
    explicit Lines(std::string_view text) : text_(text) {}
    bool Next() {
        if (at_ >= text_.size())
            return false;
        ++number;
        const std::size_t end = std::min(text_.find_first_of("\r\n", at_), text_.size());
        std::size_t next = end;
        if (next < text_.size())
            next += text_.compare(next, 2, "\r\n") == 0 ? 2 : 1;
        line = text_.substr(at_, end - at_);
        start = at_;
        at_ = next;
        return true;
    }
    std::string_view line;
    std::size_t start = 0;
    int number = 0;

private:
    std::string_view text_;
    std::size_t at_ = 0;
};

// One record of the file, before the columns are given their meaning.
struct Record {
    int line = 0;
    int count = 0;                  // cells, including those not kept
    int filled = 0;                 // cells up to the last one that holds more than blanks
    std::vector<std::string> cells; // the first KeptCells of them
    std::string problem;

    void Start(int at) {
        line = at;
        count = filled = 0;
        cells.clear();
        problem.clear();
    }
    void Add(std::string&& cell) {
        ++count;
        if (!IsBlankText(cell))
            filled = count;
        if (count <= KeptCells)
            cells.push_back(std::move(cell));
        cell.clear();
    }
    // Blank lines, and rows of empty cells that spreadsheets write under their data, are
    // not rows.
    bool Skipped() const { return filled == 0 && problem.empty(); }
};

// CSV as RFC 4180 has it, read leniently: a quote opens a quoted value only at the start of a
// cell, and any CR LF, LF or CR ends a record.
class CsvRecords {
public:
    CsvRecords(std::string_view text, char delimiter)
        : text_(text), delimiter_(delimiter), stops_{delimiter, '\r', '\n'} {}

    // The next record, blank ones included; false at the end of the text.
    bool Next(Record& record) {
        if (at_ >= text_.size())
            return false;
        record.Start(line_);
        for (;;) {
            if (at_ < text_.size() && text_[at_] == Quote && !ReadQuoted(record))
                return true;
            // The rest of the cell: all of it, when it does not start with a quote.
            const std::size_t end = std::min(text_.find_first_of(stops_, at_), text_.size());
            cell_.append(text_.substr(at_, end - at_));
            at_ = end;
            record.Add(std::move(cell_));
            if (at_ >= text_.size())
                return true;
            if (text_[at_] != delimiter_) {
                SkipLineEnd();
                return true;
            }
            ++at_;
        }
    }

private:
    // Reads a quoted value into cell_; false when no quote closes it, which ends the record.
    bool ReadQuoted(Record& record) {
        const std::size_t open = at_;
        const int openLine = line_;
        ++at_;
        for (;;) {
            const std::size_t quote = text_.find(Quote, at_);
            if (quote == std::string_view::npos) {
                // The record ends with the line of the opening quote, so that the lines after
                // it are still read.
                const std::size_t end = std::min(text_.find_first_of("\r\n", open), text_.size());
                cell_.assign(text_.substr(open + 1, end - open - 1));
                record.Add(std::move(cell_));
                record.problem = "unclosed quote";
                at_ = end;
                line_ = openLine;
                if (at_ < text_.size())
                    SkipLineEnd();
                return false;
            }
            CountLines(at_, quote);
            cell_.append(text_.substr(at_, quote - at_));
            at_ = quote + 1;
            if (at_ < text_.size() && text_[at_] == Quote) {
                cell_ += Quote;
                ++at_;
                continue;
            }
            // What follows a closing quote is read on as part of the cell, as spreadsheets
            // do, but the row is not trusted.
            if (at_ < text_.size() && text_[at_] != delimiter_ && !IsLineEnd(text_[at_]) &&
                record.problem.empty())
                record.problem = "a quote inside a quoted value is not doubled";
            return true;
        }
    }

    void CountLines(std::size_t from, std::size_t to) {
        for (std::size_t i = from; i < to; ++i)
            if (text_[i] == '\n' || (text_[i] == '\r' && text_.compare(i, 2, "\r\n") != 0))
                ++line_;
    }

    void SkipLineEnd() {
        at_ += text_.compare(at_, 2, "\r\n") == 0 ? 2 : 1;
        ++line_;
    }

    std::string_view text_;
    char delimiter_;
    std::string stops_;
    std::size_t at_ = 0;
    int line_ = 1;
    std::string cell_;
};

} // namespace csv
