// A Tazu server played by a test over real sockets: it answers the login
// (handing out scrambling key 77), a message, and the goodbye, and records
// every line it got, unscrambled.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "core/ProtocoloTazu.h"
#include "core/UCriptografia.h"
#include "net/Runtime.h"

namespace tazu::test {

// A Tazu server that answers by rules and records the lines it got.
class ServidorRoteirizado {
 public:
  static inline const std::string S = "\xA7";

  explicit ServidorRoteirizado(net::Runtime& rt) : escuta_(rt.CreateTcpListener()) {
    cripto_.Chave = 0;
    escuta_->onAccept = [this](std::unique_ptr<net::TcpSocket> s) {
      conexao_ = std::move(s);
      conexao_->onData = [this](std::string_view d) {
        leitor_.Alimentar(d, [this](std::string_view bruta) {
          Responder(AbrirLinha(bruta, cripto_));
          return true;
        });
      };
      conexao_->onClosed = [this] { fechada = true; };
    };
    EXPECT_TRUE(escuta_->Listen("127.0.0.1", 0));
  }
  uint16_t Porta() const { return escuta_->Port(); }

  std::vector<std::string> recebidas;
  bool fechada = false;

 private:
  void Enviar(const std::string& linha) { conexao_->Send(PrepararEnvio(linha, cripto_)); }
  void Responder(const std::string& linha) {
    recebidas.push_back(linha);
    if (linha.rfind("[CVER]", 0) == 0) {
      Enviar("[RVER]" + S + "1000" + S + "0" + S + "77");
      cripto_.Chave = 77;  // everything after RVER is scrambled
    } else if (linha == "[CCON]" + S + "pw" + S + "1") {
      Enviar("[RCCA]");
      Enviar("[RUAC]" + S + "0" + S + "Ana");
      Enviar("[SACT]" + S + "20" + S + "Bia" + S + "A" + S + "1" + S + "TPC");
    } else if (linha.rfind("[CMSG]", 0) == 0) {
      Enviar("[SCEM]" + S + "20");
      Enviar("[CMSG]" + S + "20" + S + "Bia" + S + "C" + S + "ol\xE1 Ana");
    } else if (linha == "[CDSC]") {
      Enviar("[SDSC]");
    }
  }

  std::unique_ptr<net::TcpListener> escuta_;
  std::unique_ptr<net::TcpSocket> conexao_;
  TCriptografia cripto_;
  TLeitorDeLinhas leitor_;
};

}  // namespace tazu::test
