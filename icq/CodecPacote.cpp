#include "icq/CodecPacote.h"

#include <algorithm>
#include <string>

namespace tazu::icq {

// ---- TPacote ----

void TPacote::Por(const char* p, std::size_t n) {
  const std::size_t cabe = b_.size() < limite_ ? limite_ - b_.size() : 0;
  if (n > cabe) {
    n = cabe;
    cortado_ = true;
  }
  b_.append(p, n);
}

TPacote& TPacote::U8(uint8_t v) {
  const char c = static_cast<char>(v);
  Por(&c, 1);
  return *this;
}

TPacote& TPacote::U16(uint16_t v) {
  const char c[2] = {static_cast<char>(v >> 8), static_cast<char>(v)};
  Por(c, 2);
  return *this;
}

TPacote& TPacote::U32(uint32_t v) {
  const char c[4] = {static_cast<char>(v >> 24), static_cast<char>(v >> 16),
                     static_cast<char>(v >> 8), static_cast<char>(v)};
  Por(c, 4);
  return *this;
}

TPacote& TPacote::U16LE(uint16_t v) {
  const char c[2] = {static_cast<char>(v), static_cast<char>(v >> 8)};
  Por(c, 2);
  return *this;
}

TPacote& TPacote::U32LE(uint32_t v) {
  const char c[4] = {static_cast<char>(v), static_cast<char>(v >> 8), static_cast<char>(v >> 16),
                     static_cast<char>(v >> 24)};
  Por(c, 4);
  return *this;
}

TPacote& TPacote::Bytes(std::string_view b) {
  Por(b.data(), b.size());
  return *this;
}

TPacote& TPacote::Zeros(std::size_t n) {
  static const char kZeros[64] = {};
  while (n > 0) {
    const std::size_t k = std::min(n, sizeof kZeros);
    Por(kZeros, k);
    n -= k;
  }
  return *this;
}

TPacote& TPacote::TextoB(std::string_view t) {
  t = t.substr(0, 255);
  U8(static_cast<uint8_t>(t.size()));
  return Bytes(t);
}

TPacote& TPacote::Uin(uint32_t uin) {
  return TextoB(std::to_string(uin));
}

TPacote& TPacote::TextoW(std::string_view t) {
  t = t.substr(0, 0xFFFF);
  U16(static_cast<uint16_t>(t.size()));
  return Bytes(t);
}

TPacote& TPacote::TextoZ(std::string_view t) {
  if (t.empty()) return U16LE(0);
  t = t.substr(0, 0xFFFE);
  U16LE(static_cast<uint16_t>(t.size() + 1));
  Bytes(t);
  return U8(0);
}

TPacote& TPacote::TextoMeta(std::string_view t) {
  t = t.substr(0, 0xFFFC);
  U16LE(static_cast<uint16_t>(t.size() + 3));
  U16LE(static_cast<uint16_t>(t.size() + 1));
  Bytes(t);
  return U8(0);
}

TPacote& TPacote::Tlv(uint16_t tipo, std::string_view valor) {
  valor = valor.substr(0, 0xFFFF);
  U16(tipo);
  U16(static_cast<uint16_t>(valor.size()));
  return Bytes(valor);
}

TPacote& TPacote::TlvU16(uint16_t tipo, uint16_t v) {
  return U16(tipo).U16(2).U16(v);
}
TPacote& TPacote::TlvU32(uint16_t tipo, uint32_t v) {
  return U16(tipo).U16(4).U32(v);
}

void TPacote::PorU16(std::size_t posicao, uint16_t v) {
  if (posicao + 2 > b_.size()) return;
  b_[posicao] = static_cast<char>(v >> 8);
  b_[posicao + 1] = static_cast<char>(v);
}

void TPacote::PorU16LE(std::size_t posicao, uint16_t v) {
  if (posicao + 2 > b_.size()) return;
  b_[posicao] = static_cast<char>(v);
  b_[posicao + 1] = static_cast<char>(v >> 8);
}

// ---- TLeitor ----

bool TLeitor::Tem(std::size_t n) {
  if (n <= Resta()) return true;
  falhou_ = true;
  p_ = d_.size();
  return false;
}

uint8_t TLeitor::U8() {
  if (!Tem(1)) return 0;
  return static_cast<uint8_t>(d_[p_++]);
}

uint16_t TLeitor::U16() {
  if (!Tem(2)) return 0;
  const auto* b = reinterpret_cast<const unsigned char*>(d_.data() + p_);
  p_ += 2;
  return static_cast<uint16_t>(b[0] << 8 | b[1]);
}

uint32_t TLeitor::U32() {
  if (!Tem(4)) return 0;
  const auto* b = reinterpret_cast<const unsigned char*>(d_.data() + p_);
  p_ += 4;
  return uint32_t{b[0]} << 24 | uint32_t{b[1]} << 16 | uint32_t{b[2]} << 8 | b[3];
}

uint16_t TLeitor::U16LE() {
  if (!Tem(2)) return 0;
  const auto* b = reinterpret_cast<const unsigned char*>(d_.data() + p_);
  p_ += 2;
  return static_cast<uint16_t>(b[1] << 8 | b[0]);
}

uint32_t TLeitor::U32LE() {
  if (!Tem(4)) return 0;
  const auto* b = reinterpret_cast<const unsigned char*>(d_.data() + p_);
  p_ += 4;
  return uint32_t{b[3]} << 24 | uint32_t{b[2]} << 16 | uint32_t{b[1]} << 8 | b[0];
}

std::string_view TLeitor::Bytes(std::size_t n) {
  if (!Tem(n)) return {};
  const std::string_view v = d_.substr(p_, n);
  p_ += n;
  return v;
}

void TLeitor::Pular(std::size_t n) {
  if (Tem(n)) p_ += n;
}

std::string_view TLeitor::TextoB() {
  return Bytes(U8());
}

std::string_view TLeitor::TextoW() {
  return Bytes(U16());
}

std::string_view TLeitor::TextoZ() {
  std::string_view t = Bytes(U16LE());
  if (!t.empty() && t.back() == '\0') t.remove_suffix(1);
  return t;
}

bool TLeitor::Tlv(TTlv& tlv) {
  if (Resta() < 4) {
    falhou_ = falhou_ || Resta() != 0;
    p_ = d_.size();
    return false;
  }
  tlv.tipo = U16();
  const uint16_t n = U16();
  if (!Tem(n)) return false;
  tlv.valor = d_.substr(p_, n);
  p_ += n;
  return true;
}

bool AcharTlv(std::string_view bloco, uint16_t tipo, std::string_view& valor) {
  TLeitor l(bloco);
  TLeitor::TTlv t;
  while (l.Tlv(t)) {
    if (t.tipo == tipo) {
      valor = t.valor;
      return true;
    }
  }
  return false;
}

uint32_t UinDeTexto(std::string_view texto) {
  if (texto.empty() || texto.size() > 10) return 0;
  uint64_t n = 0;
  for (const char c : texto) {
    if (c < '0' || c > '9') return 0;
    n = n * 10 + static_cast<uint64_t>(c - '0');
  }
  return n > 0xFFFFFFFFu ? 0 : static_cast<uint32_t>(n);
}

}  // namespace tazu::icq
