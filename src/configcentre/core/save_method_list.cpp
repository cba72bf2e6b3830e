#include "configcentre/core/save_method_list.h"

#include <charconv>

namespace {

bool isBlank(char c) {
    return c == ' ' || c == '\t';
}

bool isLineEnd(char c) {
    return c == '\r' || c == '\n';
}

std::string_view trimmed(std::string_view text) {
    while (!text.empty() && isBlank(text.front())) {
        text.remove_prefix(1);
    }
    while (!text.empty() && isBlank(text.back())) {
        text.remove_suffix(1);
    }
    return text;
}

// Free-format fields: separated by commas or line ends, blank lines skipped, a field in
// double quotes taken up to the closing quote.
class FieldReader {
  public:
    explicit FieldReader(std::string_view text) : text_(text) {}

    bool next(std::string& field) {
        skipBlankLines();
        if (pos_ >= text_.size()) {
            return false;
        }
        while (pos_ < text_.size() && isBlank(text_[pos_])) {
            ++pos_;
        }
        if (pos_ < text_.size() && text_[pos_] == '"') {
            std::size_t close = text_.find('"', pos_ + 1);
            if (close == std::string_view::npos) {
                close = text_.size();
            }
            field = text_.substr(pos_ + 1, close - pos_ - 1);
            pos_ = close + 1;
            skipToSeparator();
        } else {
            std::size_t start = pos_;
            skipToSeparator();
            field = trimmed(text_.substr(start, pos_ - start));
        }
        if (pos_ < text_.size() && text_[pos_] == ',') {
            ++pos_;
        }
        return true;
    }

  private:
    void skipToSeparator() {
        while (pos_ < text_.size() && text_[pos_] != ',' && !isLineEnd(text_[pos_])) {
            ++pos_;
        }
    }

    void skipBlankLines() {
        while (pos_ < text_.size() && (isLineEnd(text_[pos_]) || isBlank(text_[pos_]))) {
            ++pos_;
        }
    }

    std::string_view text_;
    std::size_t pos_ = 0;
};

// An integer field; an empty field counts as 0.
bool parseMethod(std::string_view field, int& method) {
    field = trimmed(field);
    if (field.empty()) {
        method = 0;
        return true;
    }
    if (field.front() == '+') {
        field.remove_prefix(1);
    }
    auto [end, error] = std::from_chars(field.data(), field.data() + field.size(), method);
    return error == std::errc() && end == field.data() + field.size() && method >= -32768 &&
           method <= 32767;
}

} // namespace

void clearSaveMethodTable(SaveMethodTable& table) {
    for (SaveMethodRecord& record : table) {
        record = {emptyGameCode, 0};
    }
}

std::string gameCodeField(std::string_view text) {
    std::string code(text.substr(0, 4));
    code.resize(4, ' ');
    return code;
}

SaveMethodListRead parseSaveMethodList(std::string_view text, SaveMethodTable& table) {
    SaveMethodListRead result;
    FieldReader reader(text);
    std::string code;
    std::string method;
    while (result.records < saveMethodRecordCount && reader.next(code) && reader.next(method)) {
        SaveMethodRecord& record = table[result.records];
        if (!parseMethod(method, record.method)) {
            result.malformed = true;
            break;
        }
        record.code = gameCodeField(code);
        ++result.records;
    }
    if (result.malformed || result.records < saveMethodRecordCount) {
        clearSaveMethodTable(table);
    }
    return result;
}

int lookUpSaveMethod(const SaveMethodTable& table, std::string_view code) {
    for (const SaveMethodRecord& record : table) {
        if (record.code == emptyGameCode) {
            break;
        }
        if (record.code == code) {
            return record.method;
        }
    }
    return 0;
}

std::string saveMethodListText(const std::vector<SaveMethodRecord>& records) {
    std::string text;
    for (int i = 0; i < saveMethodRecordCount; ++i) {
        bool listed = i < static_cast<int>(records.size());
        std::string code = listed ? gameCodeField(records[i].code) : emptyGameCode;
        int method = listed ? records[i].method : 0;
        text += '"' + code + "\"," + std::to_string(method) + "\r\n";
    }
    return text;
}

bool parseSaveTypesCsv(std::string_view text, std::vector<SaveMethodRecord>& records,
                       std::string& error) {
    int lineNumber = 0;
    while (!text.empty()) {
        std::size_t end = text.find('\n');
        std::string_view line = text.substr(0, end);
        text.remove_prefix(end == std::string_view::npos ? text.size() : end + 1);
        ++lineNumber;
        if (!line.empty() && line.back() == '\r') {
            line.remove_suffix(1);
        }
        if (line.empty() || line.front() == '#' || line.starts_with("game_code,")) {
            continue;
        }
        std::size_t comma = line.find(',');
        std::string_view code = line.substr(0, comma);
        std::string_view rest = comma == std::string_view::npos ? "" : line.substr(comma + 1);
        int method = 0;
        if (code.size() != 4 || rest.empty() ||
            !parseMethod(rest.substr(0, rest.find(',')), method) || method < 0 || method > 3) {
            error = "line " + std::to_string(lineNumber) + ": " + std::string(line);
            return false;
        }
        records.push_back({std::string(code), method});
    }
    if (records.size() > static_cast<std::size_t>(saveMethodCodeLimit)) {
        error = "more than " + std::to_string(saveMethodCodeLimit) + " game codes";
        return false;
    }
    return true;
}
