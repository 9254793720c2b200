// The ICQ adapter for account 111111 on the simulator in virtual time, with
// every event it raises recorded as one line.
#pragma once

#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "base/Cp1252.h"
#include "icq/CodecLista.h"
#include "icq/ComunicadorICQ.h"
#include "tests/support/icq/ICQRig.h"

namespace tazu::test {

using Evs = std::vector<std::string>;

inline std::string U(const std::string& s) {
  return cp1252::ToUtf8(s);
}

class Comunicador : public ::testing::Test {
 protected:
  Comunicador() {
    sim.AdicionarConta("111111", "segredo", "Ana");
    sim.AdicionarConta("222222", "senha2", "Bia");
    sim.AdicionarConta("333333", {}, "Eco").eco = true;
    sim.AdicionarConta("444444", "senha4", "Caio").exigeAutorizacao = true;
    EXPECT_TRUE(sim.Iniciar());
  }
  // The adapter for 111111 at the given status, every event recorded.
  icq::TComunicadorICQ& Criar(uint8_t status = 1) {
    a = std::make_unique<icq::TComunicadorICQ>(rt, status, "1234", "segredo", "111111",
                                               TEnderecoServidor{"127.0.0.1", sim.PortaLogin()});
    Gravar(*a);
    return *a;
  }
  icq::TComunicadorICQ& Entrar(uint8_t status = 1) {
    Criar(status).Conectar();
    ponte.Girar();
    EXPECT_TRUE(a->Logado());
    return *a;
  }
  void Gravar(icq::TComunicadorICQ& c) {
    c.OnConectar = [this](TInterfaceComunicador&) { e.push_back("OnConectar"); };
    c.OnDesconectar = [this](TInterfaceComunicador&) { e.push_back("OnDesconectar"); };
    c.OnFalhaConexao = [this](TInterfaceComunicador&) { e.push_back("OnFalhaConexao"); };
    c.AoLiberar = [this](TInterfaceComunicador&) { e.push_back("AoLiberar"); };
    c.OnReceberContato = [this](const std::string& conta, const std::string& niu,
                                const std::string& apelido, const std::string& id,
                                const std::string& status, char lista, const std::string& rede) {
      e.push_back("Contato " + conta + "/" + niu + " " + U(apelido) + " " + id + " " + status +
                  " " + lista + " " + rede);
    };
    c.OnReceberMsg = [this](TInterfaceComunicador&, const std::string& id,
                            const std::string& apelido, const std::string& msg, bool aoVivo,
                            const std::string&) {
      e.push_back("Msg " + id + " " + U(apelido) + " [" + U(msg) + "]" +
                  (aoVivo ? "" : " offline"));
    };
    c.OnConfirmaEnvio = [this](TInterfaceComunicador&, const std::string& id, bool recebido,
                               uint8_t status, const std::string& texto) {
      e.push_back("Confirma " + id + " " + (recebido ? "sim" : "nao") + " " +
                  std::to_string(status) + (texto.empty() ? "" : " [" + U(texto) + "]"));
    };
    c.OnExigirAutorizacao = [this](TInterfaceComunicador&, const std::string& id,
                                   const std::string& apelido) {
      e.push_back("ExigirAutorizacao " + id + " " + U(apelido));
    };
    c.AoReceberEvento = [this](TInterfaceComunicador&, uint8_t tipo, const std::string& id,
                               const std::string& apelido, const std::string& texto) {
      e.push_back("Evento " + std::to_string(tipo) + " " + id + " " + U(apelido) + " [" + U(texto) +
                  "]");
    };
    c.AoReceberInfoUsuario = [this](TInterfaceComunicador&, uint8_t tipo, const std::string& id,
                                    const std::string& apelido, const std::string& texto) {
      std::string t = U(texto);
      for (std::size_t p; (p = t.find("\xC2\xA7")) != std::string::npos;) t.replace(p, 2, "|");
      e.push_back("Info " + std::to_string(tipo) + " " + id + " " + U(apelido) + " " + t);
    };
    c.AoReceberBusca = [this](TInterfaceComunicador&, const std::string& id,
                              const std::string& apelido, const std::string& nome,
                              const std::string& email, char autorizar) {
      e.push_back("Busca " + id + " " + U(apelido) + " [" + U(nome) + "] " + email + " " +
                  autorizar);
    };
    c.AoFinalizarBusca = [this](TInterfaceComunicador&) { e.push_back("FimDaBusca"); };
    c.AoConfirmar = [this](TInterfaceComunicador&) { e.push_back("AoConfirmar"); };
    c.AoAdicionarComSucesso = [this](TInterfaceComunicador&, const std::string& id) {
      e.push_back("Adicionado " + id);
    };
    c.MensagemDeErro = [this](TInterfaceComunicador&, const std::string& m) {
      e.push_back("Erro [" + U(m) + "]");
    };
  }
  Evs Eventos() { return std::exchange(e, {}); }
  // Bia's own engine, logged in.
  icq::TICQClient& Bia() {
    if (!bia) {
      bia = std::make_unique<icq::TICQClient>(rt);
      bia->UIN = 222222;
      bia->Password = "senha2";
      bia->ICQServer = "127.0.0.1";
      bia->ICQPort = sim.PortaLogin();
      GravarEventosICQ(*bia, deBia);
      bia->Login(0);
      ponte.Girar();
    }
    return *bia;
  }
  const icq::TItemLista* ItemDoServidor(const std::string& nome, uint16_t tipo = 0) {
    for (const icq::TItemLista& i : sim.Conta("111111")->lista)
      if (i.nome == nome && i.tipo == tipo) return &i;
    return nullptr;
  }

  net::FakeRuntime rt;
  PonteFalsa ponte{rt};
  sim::icq::TSimuladorICQ sim{rt, {}};
  std::unique_ptr<icq::TComunicadorICQ> a;
  std::unique_ptr<icq::TICQClient> bia;
  Evs e, deBia;
};

}  // namespace tazu::test
