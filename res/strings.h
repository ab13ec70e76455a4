// The program's messages by string id, as CP932 text, for code that runs on
// every build (the Windows string table holds the same texts).
#pragma once

#include <string>

// String ids of the messages that code refers to by name.
enum TlvStringId {
    IDS_PRODUCT = 48,
    IDS_LOADING = 54,
    IDS_WRITING = 55,
    IDS_TRANSLATING = 57,
    IDS_INTERNAL_ERROR = 62,
    IDS_CANNOT_OPEN = 67,
    IDS_OPEN_FILE = 73,
    IDS_SAVE_AS = 74,
    IDS_INVALID_HANDLE = 59,
    IDS_INVALID_ARGUMENT = 60,
    IDS_OUT_OF_MEMORY = 61,
    IDS_WRITE_FAILED = 63,
    IDS_READ_FAILED = 64,
    IDS_DUPLICATE_PROGRAM = 65,
    IDS_SELF_CALL = 66,
    IDS_READY = 68,
    IDS_ABORTED = 69,
    IDS_FILE_CHANGED = 70,
    IDS_TRACING = 58,
    IDS_TOOL_FILE_TITLE = 71,
    IDS_MACHINE_FILE_TITLE = 72,
    IDS_COLUMN_LINE = 75,
    IDS_COLUMN_CODE = 76,
    IDS_COLUMN_ADDRESS = 77,
    IDS_COLUMN_VALUES = 78,
    IDS_USER_FILTER = 79,
    IDS_PRINTING = 80,
    IDS_REPLACE_BEFORE = 81,  // the replacement list's two column titles
    IDS_REPLACE_AFTER = 82,
    IDS_CHOOSE_APPLICATION = 88,
    IDS_UNTITLED = 89,
    IDS_CREATE_FAILED = 97,
    IDS_NESTING_OVERFLOW = 98,
    IDS_COORDINATE_RANGE = 120,
    IDS_FILE_NOT_FOUND = 121,
    IDS_NOTE_STATEMENT = 145,
    IDS_NOTE_VARIABLE = 146,
    IDS_NOTE_GCODE = 147,
    IDS_NOTE_MISSING_CALL = 148,
    IDS_NOTE_ARC_RADIUS = 149,
    IDS_NOTE_SPACED_WORD = 150,
    IDS_NOTE_INCH = 151,
    IDS_NOTES_MORE = 152,
    IDS_NOTES_COUNT = 153,
    IDS_NOTE_NO_POINT = 122,
    IDS_DISK_RESERVE = 135,
    IDS_NOT_REGULAR_FILE = 136,
    IDS_FILE_TOO_LARGE = 137,
    IDS_OUTPUT_IS_FOLDER = 125,
    IDS_OUTPUT_IS_INPUT = 126,
    IDS_STDOUT_FAILED = 127,
    IDS_NOTES_TITLE = 154,
    IDS_NOTES_COLUMN_LINE = 155,
    IDS_NOTES_COLUMN_PROGRAM = 156,
    IDS_NOTES_COLUMN_MESSAGE = 157,
    IDS_OVERWRITE_QUESTION = 165,
    IDS_ABOUT_VERSION = 166,
    IDS_ABOUT_DESCRIPTION = 167,
    IDS_NAME_NOT_CP932 = 170,
    IDS_BAD_PICTURE_SIZE = 171,
    IDS_FILTER_PROGRAMS = 190,  // column titles of the display filter's lists
    IDS_FILTER_TOOLS = 191,
    IDS_HELP_MISSING = 210,
    IDS_HELP_NOT_OPENED = 211,
    IDS_PRINT_CAPTION = 212,
    IDS_BAD_PRINTER = 213,
    IDS_REPORT_CUT = 214,
    IDS_NO_PRINTER = 215,
    IDS_PRINT_DIALOG_HIDDEN = 216,
    IDS_NOTHING_TO_PRINT = 217,
    IDS_HIDDEN_NO_OUTPUT = 240,
    // File dialog filters: entries "label|pattern|".
    IDS_FILTER_NC = 220,
    IDS_FILTER_ALL = 221,
    IDS_FILTER_EXPORT = 222,
    IDS_FILTER_MACHINE = 223,
    IDS_FILTER_TOOL = 224,
    IDS_FILTER_APPLICATION = 225,
    IDS_NO_PRINTER_NAME = 226,  // the print dialog's printer button without a printer
    IDS_GMODAL_COLUMN = 227,
    IDS_FONT_BUTTON = 228,  // face, points, IDS_FONT_BOLD or "", IDS_FONT_ITALIC or ""
    IDS_FONT_BOLD = 229,
    IDS_FONT_ITALIC = 230,
};

// The text of string id, or an empty text for an unknown id.
const char* tlvString(int id);

// text with every control byte (below 0x20, and 0x7F) shown as \xHH, for
// messages on standard error: names come from the command line and from
// files, and raw escape sequences could rewrite the terminal. No trail byte
// of CP932 or UTF-8 is a control byte, so double-byte text stays whole.
std::string tlvEscapeControls(const char* text);
