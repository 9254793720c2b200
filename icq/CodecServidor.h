// The servers' side of the ICQ wire, for the simulator: the frames an
// authorisation and a session server send (FLAP data: a channel-1 or
// channel-4 body, or a whole SNAC), and the readers of what clients send.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "icq/CodecFlap.h"
#include "icq/CodecMensagens.h"

namespace tazu::icq::servidor {

// ---- Authorisation server ----
std::string Saudacao();  // channel 1: 32-bit 1
// Channel 4 answers.
std::string LoginAceito(std::string_view uin, std::string_view endereco, std::string_view cookie);
std::string SenhaErrada(std::string_view uin);
std::string LoginsFrequentes(std::string_view uin);

struct TLogin {
  std::string uin;
  std::string senha;  // unroasted
  std::string idCliente;
  std::string cookie;  // the cookie frame's
};
// A channel-1 frame from a client: the login frame or the cookie frame.
bool LerQuadroLogin(std::string_view dados, TLogin& login);

// ---- Session set-up ----
std::string Familias();               // 0x0001/0x0003
std::string VersoesAceitas();         // 0x0001/0x0018
std::string MensagemDoDia();          // 0x0001/0x0013
std::string Taxas();                  // 0x0001/0x0007
std::string DireitosDePrivacidade();  // 0x0009/0x0003

// ---- Presence and messages ----
std::string Presenca(std::string_view uin, uint32_t status, const TInfoDireta& direta,
                     uint32_t ipExterno);       // 0x0003/0x000B
std::string ContatoSaiu(std::string_view uin);  // 0x0003/0x000C
// 0x0004/0x0007 as the recipient gets it: channel 1 from a plain message,
// channel 2 with the sender's TLV 0x0005 as it came, channel 4 (system and
// server-made messages).
std::string MensagemCanal1(std::string_view cookie, std::string_view de, std::string_view texto);
std::string MensagemCanal2(std::string_view cookie, std::string_view de, std::string_view tlv5);
std::string MensagemCanal4(std::string_view de, uint8_t tipo, std::string_view texto);
// 0x0004/0x000B as the original sender gets it: the recipient's UIN in place
// of the sender's.
std::string ConfirmacaoRepassada(const TConfirmacaoEnviada& c, std::string_view de);

// ---- Server-side list and authorisation ----
// 0x0013/0x0006 replies, split so each fits a FLAP; all but the last carry
// the "more follows" flag.
std::vector<std::string> Lista(const std::vector<TItemLista>& itens);
std::string ResultadoLista(uint16_t codigo);                                  // 0x0013/0x000E
std::string PedidoAutorizacao(std::string_view de, std::string_view motivo);  // 0x0013/0x0019
std::string RespostaAutorizacao(std::string_view de, bool concedida,
                                std::string_view motivo);  // 0x0013/0x001B
std::string AdicionouVoce(std::string_view de);            // 0x0013/0x001C

// ---- Reading what clients send ----
bool LerStatus(std::string_view dados, uint32_t& status, TInfoDireta& direta, bool& temDireta);
// Byte-counted UINs, as in 0x0003/0x0004 and the visibility lists.
std::vector<std::string> LerUins(std::string_view dados);
bool LerMensagemEnviada(std::string_view dados, TMensagemEnviada& m);             // 0x0004/0x0006
bool LerConfirmacaoEnviada(std::string_view dados, TConfirmacaoEnviada& c);       // 0x0004/0x000B
bool LerPedidoAutorizacaoEnviado(std::string_view dados, TPedidoAutorizacao& p);  // 0x0018
bool LerRespostaAutorizacaoEnviada(std::string_view dados, TRespostaAutorizacao& r);  // 0x001A

}  // namespace tazu::icq::servidor
