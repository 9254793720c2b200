// The answer to the login challenge: two strings made from the server's seed,
// the Yahoo id and MD5 digests of the password (RFC 1321 digests from
// OpenSSL, the "$1$" MD5-based crypt from libxcrypt), written in Yahoo's own
// base 64. The simulator checks answers with the same functions.
#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace tazu::yahoo {

// The fixed salt of the password's crypt form.
inline constexpr std::string_view kSaltDoDesafio = "$1$_7Rb2Qm9$";
// Seeds index their first 16 bytes.
inline constexpr std::size_t kMenorSemente = 16;

// The 16 bytes of the MD5 digest.
std::string Md5(std::string_view bytes);
// Base 64 over "A-Za-z0-9._" with "-" as the pad: a 16-byte digest gives 24
// characters, the last two "--".
std::string Y64(std::string_view bytes);
// The whole crypt(3) result for `setting` ("$1$salt$"), or nothing when the
// library refuses.
std::optional<std::string> Md5Crypt(std::string_view senha, std::string_view setting);

struct TRespostaDoDesafio {
  std::string r6;   // key 6
  std::string r96;  // key 96
};

// Nothing when the seed is shorter than 16 bytes or the crypt step fails.
std::optional<TRespostaDoDesafio> ResponderDesafio(std::string_view usuario, std::string_view senha,
                                                   std::string_view semente);

}  // namespace tazu::yahoo
