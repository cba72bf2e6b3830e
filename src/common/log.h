// The diagnostic log "DBUG.txt" in the current directory. Every call opens, appends and closes
// the file, so the log is complete on disk after each message; a file that cannot be opened
// silently drops the message. Messages begin with "\n" rather than ending with it.
#pragma once

#include "common/types.h"

extern const char* const logFileName;

// Empties the log (creates it when missing).
void resetLog();
void debugLog(const char* text);
void debugLogInt(s32 value);
// Exactly four upper-case hexadecimal digits.
void debugLogHex16(u16 value);
// Exactly eight upper-case hexadecimal digits.
void debugLogHex32(u32 value);

char hexDigit(u32 value);
// Writes eight upper-case hexadecimal digits and a terminating zero into out[9].
void formatHex32(u32 value, char* out);
