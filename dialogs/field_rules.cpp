#include "dialogs/field_rules.h"

#include "definitions/profile_item.h"

#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>

namespace {

constexpr double kRangeEpsilon = 0.000001;

const char* formatOf(const Field& field) {
    if (field.format != nullptr) return field.format;
    return field.type == FieldType::Integer ? "%ld" : "%.3lf";
}

}  // namespace

double fieldNumber(const char* text) {
    if (text == nullptr) return 0.0;
    char* end = nullptr;
    const double number = strtod(text, &end);
    // strtod accepts "inf" and "nan": neither is a value a field can hold.
    return end == text || !std::isfinite(number) ? 0.0 : number;
}

double fieldClamp(const Field& field, double number) {
    if (std::fabs(static_cast<double>(field.maximum) - field.minimum) > kRangeEpsilon) {
        if (number < field.minimum) number = field.minimum;
        if (number > field.maximum) number = field.maximum;
    }
    // A field without a range still ends in an int32_t or a float, and a
    // conversion beyond either is undefined.
    const double limit = field.type == FieldType::Integer ? 2147483647.0 : 3.0e38;
    if (number > limit) number = limit;
    if (number < -limit) number = -limit;
    return number;
}

std::string fieldFormat(const Field& field, double number) {
    char text[64];
    if (field.type == FieldType::Integer) {
        snprintf(text, sizeof text, formatOf(field), static_cast<long>(number));
    } else {
        snprintf(text, sizeof text, formatOf(field), number);
    }
    return text;
}

std::string fieldNormalise(const Field& field, const char* text) {
    double number = fieldClamp(field, fieldNumber(text));
    if (field.type == FieldType::Integer) number = std::trunc(number);
    return fieldFormat(field, number);
}

std::string fieldSpin(const Field& field, const char* text, int delta) {
    char stepped[64];
    snprintf(stepped, sizeof stepped, "%.3lf", fieldClamp(field, fieldNumber(text)) + delta);
    return fieldNormalise(field, stepped);
}

std::string fieldShow(const Field& field) {
    switch (field.type) {
        case FieldType::Text: {
            const char* text = static_cast<const char*>(field.value);
            const size_t size = static_cast<size_t>(field.maximum);
            return std::string(text, TextCutLength(text, strnlen(text, size), size - 1));
        }
        case FieldType::Integer:
            return fieldFormat(field, *static_cast<const int32_t*>(field.value));
        case FieldType::Real: return fieldFormat(field, *static_cast<const float*>(field.value));
    }
    return std::string();
}

void fieldStore(const Field& field, const char* text) {
    switch (field.type) {
        case FieldType::Text:
            CopyTextCut(static_cast<char*>(field.value), static_cast<size_t>(field.maximum), text,
                        strlen(text));
            break;
        case FieldType::Integer:
            *static_cast<int32_t*>(field.value) =
                static_cast<int32_t>(fieldClamp(field, fieldNumber(text)));
            break;
        case FieldType::Real:
            *static_cast<float*>(field.value) =
                static_cast<float>(fieldClamp(field, fieldNumber(text)));
            break;
    }
}

int fieldRadioIndex(int32_t value, int count) {
    if (value < 0 || count < 1) return 0;
    return value >= count ? count - 1 : value;
}

int fieldTextLimit(const Field& field) {
    return field.type == FieldType::Text ? static_cast<int>(field.maximum) - 1 : 0;
}
