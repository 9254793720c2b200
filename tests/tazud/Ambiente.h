// A server on the fake runtime with a fresh database, and clients played over
// fake connections: each one scrambles and unscrambles as the real client does.
#pragma once

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "core/ProtocoloTazu.h"
#include "core/UGlobal.h"
#include "net/testing/FakeRuntime.h"
#include "tazud/Banco.h"
#include "tazud/Senhas.h"
#include "tazud/Servidor.h"

namespace tazu::tazud::test {

// "[CODE]§a§b" from "CODE", {"a", "b"}.
std::string L(std::string_view codigo, std::initializer_list<std::string_view> campos = {});
// An RERR line with this number.
inline auto Erro(int numero) {
  return ::testing::StartsWith("[RERR]\xA7" + std::to_string(numero) + "\xA7");
}
// A registration (CCUS) with password "senha"; `exige`: asks for authorisation.
std::string LinhaDeCadastro(const std::string& apelido, const std::string& email,
                            const std::string& exige = "0");

class TCliente {
 public:
  explicit TCliente(net::FakePeer& peer) : peer_(&peer) { cripto_.Chave = 0; }
  void Enviar(const std::string& linha);
  // The whole text as one line, scrambled: the way a hostile client gets CR,
  // LF or NUL into a field.
  void EnviarInteira(const std::string& linha);
  // Every line received since the last call, unscrambled.
  std::vector<std::string> Receber();
  // The received lines that start with "[CODE]".
  std::vector<std::string> Com(const std::string& codigo);
  bool Fechado() const { return !peer_->IsOpen(); }
  net::FakePeer& Peer() { return *peer_; }
  uint8_t Chave() const { return cripto_.Chave; }

 private:
  net::FakePeer* peer_;
  TCriptografia cripto_;
  TLeitorDeLinhas leitor_;
};

class Ambiente : public ::testing::Test {
 protected:
  Ambiente();
  ~Ambiente() override;

  TConfiguracao Config();
  void Iniciar();
  // Tears the server down (without a goodbye, as a crash would) and starts a
  // new one over the same database file.
  void Reiniciar();
  void Rodar() { rt_.RunPending(); }

  // A connection from `endereco`.
  TCliente& Conectar(const std::string& endereco = "127.0.0.1");
  // A user straight into the database.
  Niu Criar(const std::string& apelido, const std::string& senha, bool exige = false,
            bool privado = false);
  // Logs in (scrambled with key 77) and drains the login lines.
  TCliente& Entrar(Niu niu, const std::string& senha, int status = 1);
  // The same over a connection already open.
  TCliente& Entrar(TCliente& c, Niu niu, const std::string& senha, int status = 1);
  // `de` keeps `para` in its list `lista`, straight into the database.
  void Contato(Niu de, Niu para, char lista = 'A');
  // Another connection to the database file, as the admin command opens.
  std::unique_ptr<TBanco> OutraConexao();
  // Logs in and drops the lines the login brought.
  TCliente& Logado(Niu niu, const std::string& senha, int status = 1);

  std::string caminho_;
  net::FakeRuntime rt_;
  std::unique_ptr<TBanco> banco_;
  std::unique_ptr<TSenhasNoLaco> senhas_;
  std::unique_ptr<TServidor> servidor_;
  std::vector<std::unique_ptr<TCliente>> clientes_;
  std::vector<std::string> log_;
  std::vector<std::string> falhas_;
  TConfiguracao config_;
};

}  // namespace tazu::tazud::test
