#pragma once
// Routines for zero-terminated UTF-16 text in caller-owned buffers. Lengths and
// sizes count 16-bit units. A null text reads as the empty text wherever a
// routine reads one; routines that write need a destination large enough for
// the result, as each comment says. Narrow text is bytes in the client's code
// page: each byte is the character of the same value.

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>

int32_t wstrLen(const char16_t* text);
// -1, 0 or 1, comparing unit by unit as unsigned values.
int wstrCompare(const char16_t* a, const char16_t* b);
// The same after mapping 'A'..'Z' to 'a'..'z'.
int wstrCompareNoCase(const char16_t* a, const char16_t* b);
// 0 when the first n units match after that mapping (or both texts end
// together before n), else -1 or 1. Serves as a prefix test.
int wstrCompareNoCaseN(const char16_t* a, const char16_t* b, int32_t n);

// Copies source and its terminator.
void wstrCopy(char16_t* destination, const char16_t* source);
// Copies at most n units, then a terminator (destination holds n + 1 units).
// Nothing when either pointer is null.
void wstrCopyN(char16_t* destination, const char16_t* source, int32_t n);
// A new copy; null for a null text.
std::unique_ptr<char16_t[]> wstrDup(const char16_t* text);
void wstrCat(char16_t* destination, const char16_t* source);
// Appends within a buffer of `size` units: the result holds at most size - 1
// units and is terminated.
void wstrCatN(char16_t* destination, const char16_t* source, int32_t size);
// Appends a byte string, each byte widened to its own value.
void wstrCatAscii(char16_t* destination, const char* bytes);

// Each byte becomes the unit of the same value, then a terminator.
void asciiToWide(char16_t* destination, const char* bytes);
// The same for at most n bytes (destination holds n + 1 units); nothing when
// either pointer is null.
void asciiToWideN(char16_t* destination, const char* bytes, int32_t n);
void bytesToWide(char16_t* destination, const char* bytes);
// The low byte of each unit.
void wideToAscii(char* destination, const char16_t* text);
// Units below 128 as bytes; other units are left out.
void wideToAsciiDropHigh(char* destination, const char16_t* text);
char16_t byteToWide(int value);
// Each byte of a narrow text widened to its own value.
std::u16string bytesToWideString(std::string_view bytes);
// The low byte of each unit of a wide text.
std::string lowBytesOf(std::u16string_view text);

bool isBlankChar(char16_t unit);
bool isDigitChar(char16_t unit);
char16_t wcharToUpper(char16_t unit);
// Folds ASCII and Latin-1 capitals, a few code-page 437 letters and the
// Latin Extended-A pairs to their small letters.
char16_t wcharToLower(char16_t unit);

// From the start, '+' is skipped, every '-' flips the sign and digits
// accumulate, in any order, until the first other unit: "-+7" is -7 and
// "1-2" is -12. Null or empty text is 0. Overflow wraps.
int32_t wstrToInt(const char16_t* text);
int32_t hexToInt(const char16_t* text);
// wstrToInt, but a magnitude past 2147483647 stays there: a long digit run
// from outside never wraps round into a small valid number.
int32_t wstrToIntSaturated(const char16_t* text);
// Writes value in radix 2..36 with a leading '-' when negative; destination
// holds 34 units. Returns the number of units written before the terminator
// (0 and an empty text for a radix out of range).
int32_t intToWstr(int32_t value, char16_t* destination, int radix);

// Decodes UTF-8 bytes into at most max units, the last of them always the
// terminator; nothing when max is 0 or destination is null. Sequences are
// taken by their lead byte without validation; decoding never reads past the
// bytes' terminator.
void utf8ToWide(char16_t* destination, const char* bytes, int32_t max);
// With size 0: the bytes the encoding needs, terminator included (surrogates
// are encoded one by one, three bytes each). Otherwise writes as many whole
// sequences as fit in `size` bytes with the terminator and returns the bytes
// written, terminator included; 0 for a null destination or text.
int32_t wideToUtf8(char* destination, const char16_t* text, int32_t size);

// Index of the first occurrence of pattern in text with wcharToLower applied
// to both; -1 when there is none or the pattern is empty.
int32_t wstrFindNoCase(const char16_t* pattern, const char16_t* text);

// Conversions at the platform boundary, where text must be well-formed UTF-8:
// surrogate pairs are joined and a lone surrogate becomes U+FFFD.
std::string wideToUtf8String(const char16_t* text);
std::string narrowToUtf8String(const char* bytes);
