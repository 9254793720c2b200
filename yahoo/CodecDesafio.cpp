#include "yahoo/CodecDesafio.h"

#include <crypt.h>
#include <openssl/evp.h>

#include <cstring>
#include <memory>

namespace tazu::yahoo {

namespace {

constexpr char kAlfabeto[] = "ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789._";

unsigned char Byte(std::string_view s, std::size_t i) {
  return static_cast<unsigned char>(s[i]);
}

}  // namespace

std::string Md5(std::string_view bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int tamanho = 0;
  if (EVP_Digest(bytes.data(), bytes.size(), digest, &tamanho, EVP_md5(), nullptr) != 1) return {};
  return std::string(reinterpret_cast<const char*>(digest), tamanho);
}

std::string Y64(std::string_view bytes) {
  std::string saida;
  saida.reserve((bytes.size() + 2) / 3 * 4);
  std::size_t i = 0;
  for (; i + 3 <= bytes.size(); i += 3) {
    const uint32_t v = (Byte(bytes, i) << 16) | (Byte(bytes, i + 1) << 8) | Byte(bytes, i + 2);
    for (int desloca = 18; desloca >= 0; desloca -= 6)
      saida.push_back(kAlfabeto[(v >> desloca) & 63]);
  }
  if (bytes.size() - i == 1) {
    const unsigned b = Byte(bytes, i);
    saida.push_back(kAlfabeto[b >> 2]);
    saida.push_back(kAlfabeto[(b << 4) & 0x30]);
    saida.append("--");
  } else if (bytes.size() - i == 2) {
    const unsigned v = (Byte(bytes, i) << 8) | Byte(bytes, i + 1);
    saida.push_back(kAlfabeto[v >> 10]);
    saida.push_back(kAlfabeto[(v >> 4) & 63]);
    saida.push_back(kAlfabeto[(v << 2) & 0x3C]);
    saida.push_back('-');
  }
  return saida;
}

std::optional<std::string> Md5Crypt(std::string_view senha, std::string_view setting) {
  // crypt_data is large; it lives on the heap, zeroed as the library asks.
  auto dados = std::make_unique<crypt_data>();
  std::memset(dados.get(), 0, sizeof(crypt_data));
  const std::string frase(senha), ajuste(setting);
  const char* r = crypt_r(frase.c_str(), ajuste.c_str(), dados.get());
  if (r == nullptr || r[0] == '*' || std::strncmp(r, "$1$", 3) != 0) return std::nullopt;
  return std::string(r);
}

std::optional<TRespostaDoDesafio> ResponderDesafio(std::string_view usuario, std::string_view senha,
                                                   std::string_view semente) {
  if (semente.size() < kMenorSemente) return std::nullopt;
  const std::optional<std::string> cr = Md5Crypt(senha, kSaltDoDesafio);
  if (!cr) return std::nullopt;
  const std::string ph = Y64(Md5(senha));
  const std::string ch = Y64(Md5(*cr));
  // The seed's 16th byte picks where the check character comes from and the
  // order of the digest (P), the id (U) and the seed (S).
  struct TOrdem {
    std::size_t indice;
    char partes[4];
  };
  static constexpr TOrdem kOrdens[5] = {
      {7, "PUS"}, {9, "USP"}, {15, "SPU"}, {1, "UPS"}, {3, "PSU"}};
  const TOrdem& ordem = kOrdens[Byte(semente, 15) % 8 % 5];
  const char verificador = semente[Byte(semente, ordem.indice) % 16];
  const auto montar = [&](const std::string& digest) {
    std::string texto(1, verificador);
    for (const char parte : std::string_view(ordem.partes)) {
      texto.append(parte == 'P' ? std::string_view(digest) : parte == 'U' ? usuario : semente);
    }
    return texto;
  };
  const std::string a = montar(ph), b = montar(ch);
  return TRespostaDoDesafio{Y64(Md5(a)), Y64(Md5(b))};
}

}  // namespace tazu::yahoo
