// The profile value encoding that the machine file, the tool file and the
// settings file share: texts in double quotes, numbers as comma-separated
// decimals, one key per item. Also the CP932 text helpers and the path rule
// of the definition files.
#pragma once

#include "platform/profile.h"

#include <cstddef>
#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

enum class ProfileEncoding {
    Text,      // char[count]; written as "\"%s\"", read without the quotes
    Integers,  // int32_t[count]; written "1,0,25"
    Reals,     // float[count]; written with six decimals, "1.000000,2.500000"
};

// Reads one item into dest. A missing key or an empty value returns 0 and
// leaves dest untouched; otherwise 1. A text is zero-filled over count bytes
// and given at most count - 1 bytes, cut before a double-byte character that
// would not fit whole. Numbers are taken one by one up to the first value
// without a following comma, at most count of them; the destination values
// beyond the last one read keep what they held. A count below 1 counts as 1.
int ReadProfileItem(const ProfileFile& file, const char* section, const char* key,
                    ProfileEncoding encoding, void* dest, int count);
// Loads a machine, tool or settings file (see ProfileFile::load). When an
// existing file is not read, messageId (optional) receives the string id of
// the message that says why, to be shown with the path; else 0.
bool LoadProfileFile(ProfileFile* file, const char* path, int* messageId);
// Writes one item from source (a text is taken up to its NUL, at most count
// bytes). Returns 1 when the key was set.
int WriteProfileItem(ProfileFile& file, const char* section, const char* key,
                     ProfileEncoding encoding, const void* source, int count);

// The same on a path, loading (and for the write, saving) the file each
// time: for a single key; files of many keys go through one ProfileFile.
int ReadProfileItem(const char* path, const char* section, const char* key,
                    ProfileEncoding encoding, void* dest, int count);
int WriteProfileItem(const char* path, const char* section, const char* key,
                     ProfileEncoding encoding, const void* source, int count);

// A value as stored (quotes already removed) turned into dest as a read
// does.
void DecodeProfileValue(const std::string& value, ProfileEncoding encoding, void* dest, int count);
// The value text a write stores.
std::string EncodeProfileValue(ProfileEncoding encoding, const void* source, int count);

// Decimal conversions of one number at the start of text, the same on every
// build: leading blanks, a sign and digits (and for reals a point and an
// exponent); no digits give 0. Integers saturate at the 32-bit limits;
// reals that a float cannot hold (and "inf", "nan") give 0.
int32_t ProfileInteger(const char* text);
float ProfileReal(const char* text);

// Bytes of text[0..length) that fit in limit bytes without splitting a
// double-byte character.
size_t TextCutLength(const char* text, size_t length, size_t limit);
// Zero-fills dest[destSize] and copies text cut to destSize - 1 bytes.
void CopyTextCut(char* dest, size_t destSize, const char* text, size_t length);
// First c in [begin, end) that is not the second byte of a double-byte
// character, or end.
const char* FindTextChar(const char* begin, const char* end, char c);

// Splits text into its first `fields` bracketed fields: the first "[", the
// next "]", the next "[" after it, its "]", and so on. Text outside the
// brackets is ignored. False when a bracket is missing.
bool BracketFields(const char* text, int fields, std::string* out);
// The inverse: "[a][b]..." of the fields.
std::string BracketJoin(std::initializer_list<std::string_view> fields);

// The file a definition path names: a path that is empty or absolute as it
// is, any other relative to the folder of the executable (never the current
// folder, which depends on how the program was started).
std::string ResolveDefinitionPath(const char* path);
// Offset just past the last path separator of path, 0 when there is none.
size_t FolderLength(const char* path);
