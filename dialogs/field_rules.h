// The field tables of the property pages: one row per control binding it to
// a value, and the rules every page shares for showing, clamping, stepping
// and storing that value. Portable, so the rules are tested without windows.
#pragma once

#include <cstdint>
#include <string>

enum class FieldKind : uint8_t {
    Edit,
    Check,  // int32_t, non-zero is checked
    Radio,  // int32_t index into the buttons id .. id + maximum - 1
};

enum class FieldType : uint8_t {
    Text,     // char[maximum]
    Integer,  // int32_t
    Real,     // float
};

struct Field {
    int id;
    FieldKind kind;
    FieldType type;
    bool spinner;
    void* value;
    // Numbers: the allowed range, none when the two ends lie within
    // 0.000001 of each other. Texts: the buffer size. Radio groups: the
    // number of buttons.
    float minimum;
    float maximum;
    const char* format;  // numbers; null for "%ld" (integers) or "%.3lf" (reals)
};

// A text read as a number: what a number at its start says, 0 when none.
double fieldNumber(const char* text);
// number brought into the field's range (unchanged without a range), then
// into what the field's type can hold.
double fieldClamp(const Field& field, double number);
// number in the field's format.
std::string fieldFormat(const Field& field, double number);
// What a number field shows after it lost the focus: the text read, clamped
// and formatted. Out-of-range input is corrected silently.
std::string fieldNormalise(const Field& field, const char* text);
// A spinner click: delta (+1 up, -1 down) added to the text's number,
// written with "%.3lf" and then normalised as above.
std::string fieldSpin(const Field& field, const char* text, int delta);
// The text an edit field shows for its bound value.
std::string fieldShow(const Field& field);
// Stores an edit field's text into the bound value: numbers clamped, texts
// cut to the buffer on a character boundary.
void fieldStore(const Field& field, const char* text);
// The button of a radio group that shows value: below the first selects the
// first, beyond the last the last.
int fieldRadioIndex(int32_t value, int count);
// The characters an edit field of the field accepts; 0 for no limit.
int fieldTextLimit(const Field& field);
