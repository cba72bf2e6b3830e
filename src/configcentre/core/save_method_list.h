// The save-method list "RIDIravu.DAT": which save memory a cartridge carries, by game code.
// A text file of records "CODE",method (fields separated by commas or line ends, text fields
// optionally in double quotes); the window reads exactly saveMethodRecordCount records.
#pragma once

#include <array>
#include <string>
#include <string_view>
#include <vector>

inline constexpr const char* saveMethodListFileName = "RIDIravu.DAT";
inline constexpr int saveMethodRecordCount = 1000;
// Codes sit in the first records; the record after the last code is empty and ends lookups.
inline constexpr int saveMethodCodeLimit = 800;

// Methods: 0 undetermined, 1 SRAM, 2 Flash, 3 EEPROM.
struct SaveMethodRecord {
    std::string code; // exactly four characters; four spaces for an empty record
    int method = 0;
};

using SaveMethodTable = std::array<SaveMethodRecord, saveMethodRecordCount>;

inline constexpr const char* emptyGameCode = "    ";

// Sets every record empty.
void clearSaveMethodTable(SaveMethodTable& table);

// Fills the table from the file's text. Returns the number of whole records read; when it is
// below saveMethodRecordCount (or a method is not a number, which sets malformed) the table is
// left empty.
struct SaveMethodListRead {
    int records = 0;
    bool malformed = false;
};
SaveMethodListRead parseSaveMethodList(std::string_view text, SaveMethodTable& table);

// The method of the first record holding code, searching up to the first empty record and
// never past the last record; 0 when the code is not listed.
int lookUpSaveMethod(const SaveMethodTable& table, std::string_view code);

// Stores text as a game code: padded with spaces or cut to four characters.
std::string gameCodeField(std::string_view text);

// The file the build ships: the given records, then empty records up to the full count.
std::string saveMethodListText(const std::vector<SaveMethodRecord>& records);

// Reads "game_code,method,..." lines (lines starting with "#" and the header line
// "game_code,..." skipped). Returns false with a message naming the line on a bad line.
bool parseSaveTypesCsv(std::string_view text, std::vector<SaveMethodRecord>& records,
                       std::string& error);
