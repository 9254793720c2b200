// The ICQ commands as values: what the client sends and what the server
// answers, each with the fields it carries. CodecCliente.cpp builds the
// client's frames and reads the server's; CodecServidor.cpp does the reverse
// (for the simulator); CodecMeta.cpp and CodecLista.cpp hold the meta data of
// family 0x15 and the server-side list items of family 0x13, both ways.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

namespace tazu::icq {

// Direct-connection information (TLV 0x000C of the status and presence).
struct TInfoDireta {
  uint32_t ipInterno = 0;  // host order
  uint32_t porta = 0;
  uint8_t tipoConexao = 0;  // 4 direct, 2 through SOCKS
  uint16_t versao = 8;
  uint32_t cookie = 0;
};

// The authorisation server's answer (channel 4).
struct TRespostaLogin {
  // EnderecoInvalido: well formed, but the session address has no usable port.
  enum class Tipo { Malformada, SenhaErrada, Frequente, EnderecoInvalido, Aceita };
  Tipo tipo = Tipo::Malformada;
  std::string host;
  uint16_t porta = 0;
  std::string cookie;
};

// 0x0003/0x000B: a contact came online or changed status.
struct TPresenca {
  std::string uin;
  bool temInfoDireta = false;
  TInfoDireta direta;
  bool temIpExterno = false;
  uint32_t ipExterno = 0;
  // The connection type known when the external address was read: the
  // direct-connection block only counts when it came first.
  uint8_t tipoAoVerExterno = 0;
  bool temStatus = false;
  uint32_t status = 0;
};

// 0x0004/0x0007: a message, whichever its channel.
struct TMensagemRecebida {
  std::string cookie;  // 8 bytes
  uint16_t canal = 0;
  std::string uin;
  uint8_t tipo = 1;  // 1 text, 4 URL, 0x1A plug-in, 3 file request, 0xE8.. auto-message request
  uint8_t flags = 0;
  std::string texto;   // the text as sent (rich text not converted here)
  std::string plugin;  // type 0x1A: the plug-in's name
  // Channel 2: the first 47 bytes of TLV 0x2711 and its sequence, for the
  // acknowledgement.
  std::string cabecalhoAck;
  uint16_t sequencia = 0;
};

// 0x0004/0x000B: acknowledgement of an acknowledged message, or an automatic
// reply.
struct TConfirmacao {
  std::string uin;
  uint16_t id = 0;
  uint8_t tipoMensagem = 0;
  uint8_t aceite = 0;
  bool automatica = false;
  std::string texto;
};

// One server-side list item (item frame of family 0x13).
struct TItemLista {
  std::string nome;
  uint16_t grupo = 0;
  uint16_t item = 0;
  uint16_t tipo = 0;                   // 0 buddy, 1 group, 2 permit, 3 deny, 14 ignore
  std::string apelido;                 // TLV 0x0131, Windows-1252 here (UTF-8 on the wire)
  std::string sms;                     // TLV 0x013A, likewise
  bool aguardandoAutorizacao = false;  // TLV 0x0066
  std::string outrosTlvs;              // the TLVs not named above, as they came
};

// An entry of the server-side list as the engine hands it on.
struct TEntradaLista {
  uint32_t uin = 0;
  std::string apelido;
  uint16_t tipo = 0;
  uint16_t item = 0;
  uint16_t grupo = 0;
  std::string nomeDoGrupo;
};

struct TPedidoAutorizacao {
  std::string uin;
  std::string motivo;
};

struct TRespostaAutorizacao {
  std::string uin;
  bool concedida = false;
  std::string motivo;
};

// The message the client asks the server to deliver (0x0004/0x0006).
struct TMensagemEnviada {
  std::string cookie;  // 8 bytes
  uint16_t canal = 0;
  std::string uin;
  std::string texto;              // channel 1: the text; channel 2: the text of TLV 0x2711
  bool guardarSeAusente = false;  // TLV 0x0006
  std::string tlv5;               // channel 2: TLV 0x0005 as sent, relayed unchanged
  uint16_t id = 0;                // channel 2: the acknowledgement id (cookie bytes 5-6)
  bool pedeConfirmacao = false;   // TLV 0x0003
};

// The acknowledgement a client sends back (0x0004/0x000B).
struct TConfirmacaoEnviada {
  std::string cookie;
  uint16_t canal = 0;
  std::string uin;
  std::string resto;  // after the UIN, relayed unchanged
};

}  // namespace tazu::icq
