#pragma once
// Cipher lists as the command line gives them: cipher names or id numbers,
// comma separated ("Rijndael,Twofish" or "7,8"), in the order they are applied.

#include <string>
#include <string_view>

namespace corvane {

// The cipher ids (one byte each) of `list`. Names are compared without regard
// to case; blanks around an entry are ignored. Throws TError for an unknown
// cipher, a cipher listed twice, and an empty list: a database is never
// stored unencrypted.
std::string ParseCipherList(std::string_view list);

// "Blowfish, Twofish" for the ids in `algorithms`; an unknown id shows as its number.
std::string CipherNames(std::string_view algorithms);

}  // namespace corvane
