// FLAP frames and the SNAC commands they carry, both ways, without state.
//
// A FLAP is 0x2A, a channel (1 sign-on, 2 SNAC data, 4 sign-off), a 16-bit
// sequence number and a 16-bit data length, then the data. A channel-2 FLAP
// holds one SNAC: family, subtype, flags, request id, then the command's data.
#pragma once

#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#include "icq/CodecPacote.h"

namespace tazu::icq {

inline constexpr uint8_t kCanalLogin = 1;
inline constexpr uint8_t kCanalSnac = 2;
inline constexpr uint8_t kCanalFim = 4;

struct TFlap {
  uint8_t canal = 0;
  uint16_t sequencia = 0;
  std::string_view dados;
  std::string_view bruto;  // the whole frame, header included
};

struct TSnac {
  uint16_t familia = 0;
  uint16_t subtipo = 0;
  uint16_t flags = 0;
  uint32_t id = 0;
  std::string_view dados;
};

// A whole frame: header and data (cut at kMaxDadosFlap bytes).
std::string MontarFlap(uint8_t canal, uint16_t sequencia, std::string_view dados);
// The bytes of one SNAC (header and data), for a channel-2 FLAP.
std::string MontarSnac(uint16_t familia, uint16_t subtipo, uint16_t flags, uint32_t id,
                       std::string_view dados);
// A SNAC header followed by its data; false when the data is shorter than 10.
bool LerSnac(std::string_view dados, TSnac& snac);

// Cuts a byte stream into FLAPs. Feed bytes as they arrive; each call to
// Proximo hands back the next whole frame, if any, as a view valid until the
// next Alimentar or Limpar. A length above kMaxDadosFlap or a first byte that
// is not 0x2A stops the stream for good.
class TMontadorFlap {
 public:
  enum class Resultado { Incompleto, Quadro, Longo, Malformado };

  void Alimentar(std::string_view bytes);
  Resultado Proximo(TFlap& quadro);
  // The length field of the frame that was too long.
  uint16_t TamanhoLido() const { return tamanhoLido_; }
  void Limpar();
  std::size_t Guardados() const { return buffer_.size() - inicio_; }

 private:
  std::string buffer_;
  std::size_t inicio_ = 0;  // the start of the first frame not yet handed back
  uint16_t tamanhoLido_ = 0;
  bool parado_ = false;
};

// The password as the login frame carries it: each byte XORed with the
// protocol's published 16-byte roasting table (repeating past 16 bytes).
std::string AssarSenha(std::string_view senha);

// The 8-byte version block that opens several server-side-list SNACs (a
// 16-bit 6, then TLV 1 holding a 16-bit version).
std::string BlocoDeVersao(uint16_t versao = 1);
inline constexpr std::size_t kBlocoDeVersao = 8;
inline constexpr uint16_t kFlagsComVersao = 0x8000;

// The client identification of the login frame.
inline constexpr std::string_view kIdCliente =
    "ICQ Inc. - Product of ICQ (TM).2001b.5.15.1.3634.85";

// Capability identifiers, 16 bytes each (zeros included: hence "sv").
namespace capacidade {
using namespace std::string_view_literals;
inline constexpr std::string_view kIcq =
    "\x09\x46\x13\x49\x4C\x7F\x11\xD1\x82\x22\x44\x45\x53\x54\x00\x00"sv;
inline constexpr std::string_view kUtf8 =
    "\x97\xB1\x27\x51\x24\x3C\x43\x34\xAD\x22\xD6\xAB\xF7\x3F\x14\x92"sv;
inline constexpr std::string_view kRtf =
    "\x2E\x7A\x64\x75\xFA\xDF\x4D\xC8\x88\x6F\xEA\x35\x95\xFD\xB6\xDF"sv;
inline constexpr std::string_view kRelay =
    "\x09\x46\x13\x44\x4C\x7F\x11\xD1\x82\x22\x44\x45\x53\x54\x00\x00"sv;
}  // namespace capacidade

}  // namespace tazu::icq
