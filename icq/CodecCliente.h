// The client's side of the ICQ wire: the frames the engine sends (each
// function answers the FLAP data: a channel-1 body or a whole SNAC) and the
// readers of what the servers send. Readers answer false for a frame that
// does not carry what they need; nothing is read past a frame.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "icq/CodecFlap.h"
#include "icq/CodecMensagens.h"

namespace tazu::icq::cliente {

// ---- Sign-on (channel 1) ----
std::string QuadroLogin(uint32_t uin, std::string_view senha);
std::string QuadroCookie(std::string_view cookie);

// ---- Session set-up ----
std::string VersoesDasFamilias();  // 0x0001/0x0017
std::string PedidoDeTaxas();       // 0x0001/0x0006
// What answers the rate information, in order.
std::vector<std::string> AposAsTaxas();
std::string Capacidades();                                         // 0x0002/0x0004
std::string AdicionarContatoLocal(std::string_view uin);           // 0x0003/0x0004
std::string RemoverContatoLocal(std::string_view uin);             // 0x0003/0x0005
std::string ListaVisivel(const std::vector<std::string>& uins);    // 0x0009/0x0005
std::string ListaInvisivel(const std::vector<std::string>& uins);  // 0x0009/0x0007
// 0x0001/0x001E: with the direct-connection block at session start, the
// status alone afterwards.
std::string StatusInicial(uint32_t status, const TInfoDireta& direta);
std::string Status(uint32_t status);
std::string ClientePronto();  // 0x0001/0x0002

// ---- Messages ----
std::string MensagemSimples(uint32_t uin, std::string_view texto, uint32_t aleatorio);
std::string MensagemComConfirmacao(uint32_t uin, std::string_view texto, bool rtf, uint16_t id);
// The acknowledgement of a channel-2 message; `textoAutomatico` is sent for
// auto-message requests (types with 0xE0 set).
std::string ConfirmarMensagem(const TMensagemRecebida& m, std::string_view textoAutomatico);

// ---- Server-side list and authorisation ----
std::string PedirListaServidor();            // 0x0013/0x0004
std::string IniciarEdicao(bool importacao);  // 0x0013/0x0011
std::string TerminarEdicao();                // 0x0013/0x0012
// An item frame: subtype 0x0008 add, 0x0009 update, 0x000A delete.
std::string Item(uint16_t subtipo, const TItemLista& item);
std::string PedirAutorizacao(std::string_view uin, std::string_view motivo);  // 0x0013/0x0018
std::string ResponderAutorizacao(std::string_view uin, std::string_view motivo,
                                 bool concedida);  // 0x0013/0x001A

// ---- Reading the servers ----
// The channel-4 answer of the authorisation server.
TRespostaLogin LerRespostaLogin(std::string_view dados);
bool LerPresenca(std::string_view dados, TPresenca& p);                        // 0x0003/0x000B
bool LerContatoSaiu(std::string_view dados, std::string& uin);                 // 0x0003/0x000C
bool LerMensagem(std::string_view dados, TMensagemRecebida& m);                // 0x0004/0x0007
bool LerConfirmacao(std::string_view dados, TConfirmacao& c);                  // 0x0004/0x000B
bool LerResultadoLista(std::string_view dados, uint16_t& codigo);              // 0x0013/0x000E
bool LerPedidoAutorizacao(std::string_view dados, TPedidoAutorizacao& p);      // 0x0013/0x0019
bool LerRespostaAutorizacao(std::string_view dados, TRespostaAutorizacao& r);  // 0x0013/0x001B
bool LerAdicionouVoce(std::string_view dados, std::string& uin);               // 0x0013/0x001C

}  // namespace tazu::icq::cliente
