// The diagnostic log "DBUG.txt" in the current directory. Every call opens, appends and closes
// the file, so the log is complete on disk after each message; a file that cannot be opened, or
// anything other than a regular file in its place, silently drops the message. Messages begin
// with "\n" rather than ending with it.
//
// A message repeated more than ten times within a second is held back after the tenth: the
// numbers logged right after it go with it, and one line "Repeated N more times: TEXT" gives
// the count when the second is over (written with the next message after it, or by
// writeLogRepeats).
#pragma once

#include "common/types.h"

extern const char* const logFileName;

// Empties the log (creates it when missing).
void resetLog();
void debugLog(const char* text);
// Writes the counts of the repeats held back so far, and starts counting afresh.
void writeLogRepeats();
void debugLogInt(s32 value);
// Exactly four upper-case hexadecimal digits.
void debugLogHex16(u16 value);
// Exactly eight upper-case hexadecimal digits.
void debugLogHex32(u32 value);

char hexDigit(u32 value);
// Writes eight upper-case hexadecimal digits and a terminating zero into out[9].
void formatHex32(u32 value, char* out);
