// The packet buffer of the ICQ wire: a bounded writer and a reader that never
// reads past the frame it was given.
//
// FLAP, SNAC and TLV headers are big-endian; the ICQ meta data carried inside
// family 0x15 is little-endian, so both orders are offered. A writer holds at
// most one FLAP's worth of data: what would pass the bound is cut. A reader
// answers 0 or an empty text for anything that is not there and remembers
// that it ran short, so a handler reads its fields first and asks Falhou()
// once.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

namespace tazu::icq {

// Most data bytes one FLAP carries.
inline constexpr std::size_t kMaxDadosFlap = 8192;
// A FLAP header: 0x2A, channel, sequence, data length.
inline constexpr std::size_t kCabecalhoFlap = 6;

class TPacote {
 public:
  explicit TPacote(std::size_t limite = kCabecalhoFlap + kMaxDadosFlap) : limite_(limite) {}

  TPacote& U8(uint8_t v);
  TPacote& U16(uint16_t v);
  TPacote& U32(uint32_t v);
  TPacote& U16LE(uint16_t v);
  TPacote& U32LE(uint32_t v);
  TPacote& Bytes(std::string_view b);
  TPacote& Zeros(std::size_t n);
  // 1-byte length, then the text.
  TPacote& TextoB(std::string_view t);
  // The decimal digits of a number, byte-counted (how a UIN travels).
  TPacote& Uin(uint32_t uin);
  // Big-endian 16-bit length, then the text.
  TPacote& TextoW(std::string_view t);
  // Little-endian 16-bit (length + 1), the text and a 0 byte; an empty text is
  // a 16-bit 0 alone.
  TPacote& TextoZ(std::string_view t);
  // Little-endian 16-bit (length + 3), then TextoZ: a text inside meta data.
  TPacote& TextoMeta(std::string_view t);
  TPacote& Tlv(uint16_t tipo, std::string_view valor);
  TPacote& TlvU16(uint16_t tipo, uint16_t v);
  TPacote& TlvU32(uint16_t tipo, uint32_t v);

  // Overwrites two bytes already written (big-endian / little-endian); used to
  // fill a length once what it counts is known.
  void PorU16(std::size_t posicao, uint16_t v);
  void PorU16LE(std::size_t posicao, uint16_t v);

  const std::string& Dados() const { return b_; }
  std::string&& Tomar() { return std::move(b_); }
  std::size_t Tamanho() const { return b_.size(); }
  // Something was cut at the bound.
  bool Cortado() const { return cortado_; }

 private:
  void Por(const char* p, std::size_t n);
  std::string b_;
  std::size_t limite_;
  bool cortado_ = false;
};

class TLeitor {
 public:
  struct TTlv {
    uint16_t tipo = 0;
    std::string_view valor;
  };

  explicit TLeitor(std::string_view dados) : d_(dados) {}

  uint8_t U8();
  uint16_t U16();
  uint32_t U32();
  uint16_t U16LE();
  uint32_t U32LE();
  // Exactly n bytes, or empty (and short) when fewer are left.
  std::string_view Bytes(std::size_t n);
  void Pular(std::size_t n);
  std::string_view TextoB();
  std::string_view TextoW();
  // Little-endian 16-bit length, then that many bytes; the trailing 0 the
  // length counts is dropped.
  std::string_view TextoZ();
  // A whole TLV; false (and short) when none is left whole.
  bool Tlv(TTlv& tlv);

  std::size_t Resta() const { return d_.size() - p_; }
  std::size_t Posicao() const { return p_; }
  std::string_view Resto() const { return d_.substr(p_); }
  bool Falhou() const { return falhou_; }

 private:
  bool Tem(std::size_t n);
  std::string_view d_;
  std::size_t p_ = 0;
  bool falhou_ = false;
};

// The first TLV of type `tipo` among the TLVs of `bloco`; false when absent.
bool AcharTlv(std::string_view bloco, uint16_t tipo, std::string_view& valor);

// A UIN text as a number: decimal digits only, at most 10 of them, below 2^32;
// 0 for anything else.
uint32_t UinDeTexto(std::string_view texto);

}  // namespace tazu::icq
