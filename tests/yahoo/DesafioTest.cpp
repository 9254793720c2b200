// The answer to the login challenge against values computed outside this
// program, for every case of the selection table: the crypt strings by
// `openssl passwd -1 -salt _7Rb2Qm9 PASSWORD`, the digests and the answers by
// Python's hashlib and base64 (alphabet "+/=" read as "._-"). The answers hold
// every step (crypt, digest, the alphabet's last two letters), so a fault in
// any of them shows here.
#include <gtest/gtest.h>

#include "yahoo/CodecDesafio.h"

namespace tazu::yahoo {
namespace {

TEST(Desafio, CadaOrdemDaTabelaDeSelecao) {
  struct Caso {
    const char* semente;
    const char* r6;
    const char* r96;
  };
  // The 16th byte picks the order: '1'..'4' the orders 1..4, 'P' and 0xFD
  // order 0, '7' order 2 again (7 mod 8 mod 5).
  const Caso casos[] = {
      {"ABCDEFGHIJKLMNOPQRSTUVWX", "ojqrbPw6KKMq4QTaNvZogw--", "rPvsrW_6j7qmt6GMhBB2uQ--"},
      {"ABCDEFGHIJKLMNO1QRSTUVWX", "uwfpVqTqZNfv9DchR.nrdg--", "yGbklMcFSbAxJ2MDPz4C3w--"},
      {"ABCDEFGHIJKLMNO2QRSTUVWX", "bhMq2UuDwmcF9VAYbcB22w--", "m1htwZ9ZRmZxRxFUt3azCQ--"},
      {"ABCDEFGHIJKLMNO3QRSTUVWX", "By47mze2MR_zVb0fjvRaNA--", "uGrXCC8xW9Xtq.kdD5HvHA--"},
      {"ABCDEFGHIJKLMNO4QRSTUVWX", "aI1MwUx_e2M6qjpwmk645A--", "lurqLVp5CVp0G.KsPIsjRA--"},
      {"ABCDEFGHIJKLMNO7QRSTUVWX", "KwAvJjv2yK3IIY7eV48U1Q--", "KuhJ2bYjdzjYDDueidmJMA--"},
      {"ABCDEFGHIJKLMNO\xFDQRSTUVWX", "DY6dN6NzGvelKWLhbIVyKA--", "AY9oIyjLrCn43AVzjl3BDA--"},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.semente);
    const auto r = ResponderDesafio("ana", "segredo", c.semente);
    ASSERT_TRUE(r);
    EXPECT_EQ(r->r6, c.r6);
    EXPECT_EQ(r->r96, c.r96);
  }
  const auto outra = ResponderDesafio("zeca_y", "Pa$$w0rd!", "4|2%3+5*1^7-6/8(9)0AbCdEf");
  ASSERT_TRUE(outra);
  EXPECT_EQ(outra->r6, "T1K.4tluSdUFUpid0B4SwA--");
  EXPECT_EQ(outra->r96, "JvbqtsT3DrSxiJMOctwavw--");
}

TEST(Desafio, SementeCurtaDemaisNaoTemResposta) {
  EXPECT_FALSE(ResponderDesafio("ana", "segredo", "ABCDEFGHIJKLMNO"));
  EXPECT_FALSE(ResponderDesafio("ana", "segredo", ""));
  EXPECT_TRUE(ResponderDesafio("ana", "segredo", "ABCDEFGHIJKLMNOP"));
}

}  // namespace
}  // namespace tazu::yahoo
