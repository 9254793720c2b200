// Where the outside networks' servers are, for the three adapters: one small
// text file, Dados/Servidores.cfg, one "key=value" a line, over built-in
// defaults; an environment variable of the same meaning wins over the file
// (tests, the demo and scripts use the variables).
//
//   key         variable              value
//   yahoo       TAZU_SERVIDOR_YAHOO   HOST:PORT
//   msn         TAZU_SERVIDOR_MSN     HOST:PORT
//   icq         TAZU_SERVIDOR_ICQ     HOST:PORT
//   proxy_icq   TAZU_PROXY_ICQ        SCHEME://[USER:PASSWORD@]HOST:PORT, the scheme
//                                     socks4, socks4a, socks5, https (CONNECT) or
//                                     http (the ICQ HTTP gateway); empty: none
//
// Blank lines and lines starting with '#' are skipped.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tazu {

struct TEnderecoServidor {
  std::string host;
  uint16_t porta = 0;
};

struct TProxy {
  enum class Tipo { Nenhum, Socks4, Socks4a, Socks5, HttpsConnect, HttpGateway };
  Tipo tipo = Tipo::Nenhum;
  std::string host;
  uint16_t porta = 0;
  std::string usuario;
  std::string senha;
  // SOCKS4a and the HTTP kinds hand the destination's name to the proxy; the
  // others resolve it here first.
  bool ResolveNomes() const { return tipo != Tipo::Socks4 && tipo != Tipo::Socks5; }
};

struct TServidoresExternos {
  TEnderecoServidor yahoo{"scs.msg.yahoo.com", 5050};
  TEnderecoServidor msn{"messenger.hotmail.com", 1863};
  // The ICQ adapter reaches the login service by its numeric address, on 5109.
  TEnderecoServidor icq{"64.12.161.153", 5109};
  TProxy proxyICQ;
};

// "HOST:PORT" (a port 1..65535; an IPv6 host in brackets).
bool LerEndereco(std::string_view texto, TEnderecoServidor& endereco);
// "SCHEME://[USER:PASSWORD@]HOST:PORT"; "" is no proxy.
bool LerProxy(std::string_view texto, TProxy& proxy);
std::string EscreverProxy(const TProxy& proxy);

// The defaults, then the file's lines, then the variables. What does not read
// is left at its previous value and described in `avisos`.
TServidoresExternos LerServidoresExternos(std::vector<std::string>* avisos = nullptr);
// Writes the file (readable by the owner only: the proxy password).
bool GravarServidoresExternos(const TServidoresExternos& s, std::string* erro = nullptr);

}  // namespace tazu
