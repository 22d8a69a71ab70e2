#pragma once
// The code page of engine texts. The engine keeps every text as 8-bit bytes in one
// Windows code page, chosen for the whole process (windows-1252 unless set); the user
// interface works in UTF-8 or UTF-16 and converts here, at the engine's boundary.
//
// Conversion is strict both ways. A character the code page cannot hold raises TError
// naming the character: it is never replaced by "?", since a password must reach the
// file exactly as typed.
//
// Bytes that a single-byte code page leaves undefined still round-trip: byte 0x80-0x9F
// reads as the C1 control of the same value where the code page's table says so (0x81
// in 1252 reads as U+0081), and every other undefined byte b reads as the private-use
// character U+F700 + b. Writing those characters gives back the same byte, so no stored
// byte is ever lost by reading and writing a text. In a multi-byte code page (932, 936,
// 949, 950, 54936) a byte sequence that is not valid raises TError instead.
//
// Safe to call from several threads; SetCodePage affects conversions that start after it.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace corvane {

inline constexpr int kDefaultCodePage = 1252;
inline constexpr int kUtf8CodePage = 65001;

// Makes `codePage` (a Windows code page number: 1250-1258, 874, 932, 936, 949, 950,
// 437, 850, 866, 20127, 20866, 21866, 28591-28605, 54936, 65001 and other ASCII-based
// ones that ICU knows) the code page of engine texts. Throws TError "Code page %d is not
// supported." and keeps the current one when the number names no usable code page.
void SetCodePage(int codePage);

// The number given to the last successful SetCodePage, else kDefaultCodePage.
int CurrentCodePage();

// Engine text to UTF-16 / UTF-8. Throws TError when the bytes are not valid in a
// multi-byte code page (or not valid UTF-8 under 65001).
std::u16string AnsiToUtf16(std::string_view text);
std::string AnsiToUtf8(std::string_view text);

// A message for showing, in UTF-8: a text that is valid UTF-8 as it is, any
// other as engine text converted (messages of the engine quote names in the
// code page, those of the program are UTF-8). Bytes the code page cannot
// decode stay as they are.
std::string MessageToUtf8(std::string_view text);

// UTF-16 / UTF-8 to engine text. Throws TError "The character 'Ж' (U+0416) cannot be
// stored in code page 1252." for the first character the code page cannot hold, and
// "The text is not valid UTF-8." for malformed UTF-8.
std::string Utf16ToAnsi(std::u16string_view text);
std::string Utf8ToAnsi(std::string_view text);

// Like Utf16ToAnsi, but gives nullopt instead of raising when some character cannot be
// stored: for a caller that decides itself what to do with such a text.
std::optional<std::string> TryUtf16ToAnsi(std::u16string_view text);

// Engine text to UTF-16 for ordering and searching only: bytes that do not decode become
// U+FFFD instead of raising. Never use it for a text that is written back.
std::u16string AnsiToUtf16ForComparison(std::string_view text);

}  // namespace corvane
