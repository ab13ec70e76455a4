// The NC report: file facts, program number, machining time, cutting
// length, ranges and a section per tool, from the statistics of the last
// successful translation.
#pragma once

#include "engine/modal_state.h"
#include "platform/platform.h"

#include <cstddef>

// What the report is made from.
struct ReportInputs {
    bool loaded;   // drawing data present
    bool tracing;  // a trace is running: no report
    int programNumber;       // the current program
    char sourcePath[kPlatPathMax];  // its file; empty when unknown
    PlatFileFacts facts;     // the file's directory entry taken at load
    const NcModalState* state;  // the copy kept after the translation
    float timeTC;               // seconds per tool change
};

// Writes the report into buffer (capacity bytes) with lineEnd after every
// line, or only measures it when buffer is null. Returns the size to
// allocate (always enough for the text and its terminator), or 0 when
// there is no report. compact shortens long file and folder names.
size_t BuildReportText(const ReportInputs& in, bool compact, char* buffer, size_t capacity,
                       const char* lineEnd);

// Formats one piece; copies it to *cursor when it fits in *remaining
// (advancing both) and returns its length + 2 either way, so that the sum
// of the returns is a safe size for the whole text.
size_t AppendReportLine(char** cursor, size_t* remaining, const char* format, ...)
    __attribute__((format(printf, 3, 4)));

// Time split into the report's hours, minutes and seconds.
struct ReportTime {
    int hours, minutes, seconds;
};
ReportTime ReportTimeOf(double totalSeconds);
// Shortens text of 30 bytes or more to 29 bytes ending in ".." or "...",
// never splitting a double-byte character. out holds at least 30 bytes.
void CompactName(const char* text, char* out);
