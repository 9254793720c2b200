// The simulated Yahoo server, played against by raw clients on the fake
// runtime: the challenge, what a logged-in user is sent, and what happens to
// clients that send what cannot be read or makes no sense.
#include <gtest/gtest.h>

#include <random>

#include "tests/support/yahoo/YahooRig.h"
#include "yahoo/CodecDesafio.h"

namespace tazu::test {
namespace {

using yahoo::TYahooPacket;

class Simulador : public ::testing::Test {
 protected:
  Simulador() {
    for (const char* linha : {"ana:segredo:Amigos=bia,caio", "bia:b:Amigos=ana", "caio:c"})
      rede.Conta(linha);
  }
  net::FakePeer& Discar() {
    net::FakePeer& p = rt.Dial(5050);
    rt.RunPending();
    return p;
  }
  void Enviar(net::FakePeer& p, std::string_view linhas) {
    p.Write(YmsgBytes(linhas));
    rt.RunPending();
  }
  std::vector<TYahooPacket> Recebidos(net::FakePeer& p) {
    std::vector<TYahooPacket> v;
    yahoo::TLeitorYmsg leitor;
    leitor.Alimentar(p.Take(), [&](std::string_view bloco) {
      v.emplace_back();
      EXPECT_EQ(yahoo::LerPacote(bloco, v.back()), yahoo::TResultadoLeitura::Ok);
      return true;
    });
    return v;
  }
  // Logs in with the given password; answers what came after the answer.
  std::vector<TYahooPacket> Entrar(net::FakePeer& p, const std::string& id,
                                   const std::string& senha, uint32_t status = 0) {
    Enviar(p, "AUTH 0 1=" + id);
    const auto desafio = Recebidos(p);
    EXPECT_EQ(desafio.size(), 1u);
    if (desafio.empty() || !desafio[0].Valor(94)) return {};
    semente = *desafio[0].Valor(94);
    const auto r = yahoo::ResponderDesafio(id, senha, semente);
    TYahooPacket resposta(0x54, status, 0);
    resposta.Adicionar(0, id).Adicionar(6, r->r6).Adicionar(96, r->r96).Adicionar(1, id);
    p.Write(yahoo::Serializar(resposta));
    rt.RunPending();
    return Recebidos(p);
  }
  int Linhas(const std::string& trecho) const {
    int n = 0;
    for (const std::string& l : log) n += l.find(trecho) != std::string::npos;
    return n;
  }

  net::FakeRuntime rt;
  RedeYahoo rede{rt};
  simyahoo::TServidorYahoo& servidor = rede.servidor;
  std::vector<std::string>& log = rede.log;
  std::string semente;
};

TEST_F(Simulador, DesafioNovoACadaLoginEAsDuasRespostasConferidas) {
  net::FakePeer& a = Discar();
  const auto entrada = Entrar(a, "ana", "segredo");
  const std::string primeira = semente;
  // The buddy list and the logon: what they hold, the adapter tests read.
  EXPECT_EQ(entrada.size(), 2u);
  EXPECT_TRUE(servidor.Online("ANA"));

  net::FakePeer& b = Discar();
  const auto recusa = Entrar(b, "bia", "errada");
  EXPECT_NE(semente, primeira);
  EXPECT_GE(semente.size(), 16u);
  ASSERT_EQ(recusa.size(), 1u);
  EXPECT_EQ(YmsgDialect::Text(recusa[0]), "AUTHRESP 0 @" + std::to_string(recusa[0].SessionID) +
                                              " 66=\"13\" 20=\"wrong password\"");
  EXPECT_TRUE(b.ClientClosed());
  // Right password, wrong second answer.
  net::FakePeer& c = Discar();
  Enviar(c, "AUTH 0 1=bia");
  const auto r = yahoo::ResponderDesafio("bia", "b", *Recebidos(c)[0].Valor(94));
  Enviar(c, "AUTHRESP 0 0=bia 6=" + r->r6 + " 96=" + r->r6 + " 1=bia");
  EXPECT_EQ(*Recebidos(c)[0].Valor(66), "13");
  net::FakePeer& d = Discar();
  EXPECT_EQ(*Entrar(d, "zeca", "z")[0].Valor(66), "3");
  EXPECT_FALSE(servidor.Online("bia"));
}

TEST_F(Simulador, PacotesRuinsFechamAConexaoComUmaLinhaDeLog) {
  struct Caso {
    const char* nome;
    std::string bytes;
    bool logado;
  };
  const std::vector<Caso> casos = {
      {"not YMSG", "GET / HTTP/1.0\r\n\r\n", false},
      {"message before login", YmsgBytes("MESSAGE 0 1=ana 5=bia 14=oi"), false},
      {"answer before challenge", YmsgBytes("AUTHRESP 0 0=ana 6=x 96=y 1=ana"), false},
      {"challenge request without id", YmsgBytes("AUTH 0"), false},
      {"status that is not a number", YmsgBytes("AWAY 0 10=longe"), true},
      {"message without recipient", YmsgBytes("MESSAGE 0 1=ana 14=oi"), true},
      {"add without buddy", YmsgBytes("ADDBUDDY 0 1=ana 65=Tazu"), true},
  };
  for (const Caso& c : casos) {
    SCOPED_TRACE(c.nome);
    log.clear();
    net::FakePeer& p = Discar();
    if (c.logado) Entrar(p, "caio", "c");
    p.Write(c.bytes);
    rt.RunPending();
    EXPECT_TRUE(p.ClientClosed());
    EXPECT_EQ(Linhas("closed: bad packet"), 1);
    rt.RunPending();
  }
  EXPECT_EQ(servidor.Conexoes(), 0u);
}

TEST_F(Simulador, BytesQuaisquerNuncaDerrubamOServidor) {
  std::mt19937 rng(99);
  const std::string valido = YmsgBytes("AUTH 0 1=ana");
  for (int n = 0; n < 400; ++n) {
    net::FakePeer& p = Discar();
    std::string bytes = n % 2 ? valido.substr(0, 8) : "";
    for (int i = rng() % 300; i > 0; --i) bytes.push_back(static_cast<char>(rng()));
    p.Write(bytes);
    rt.RunPending();
    if (p.IsOpen()) p.Close();
    rt.RunPending();
  }
  EXPECT_EQ(servidor.Conexoes(), 0u);
  net::FakePeer& ok = Discar();
  EXPECT_EQ(Entrar(ok, "ana", "segredo").size(), 2u);
}

TEST_F(Simulador, UmaLinhaPorPacoteKeepAliveELoginRepetido) {
  net::FakePeer& a = Discar();
  Entrar(a, "ana", "segredo");
  Enviar(a, "PING 0\nPING 0");
  EXPECT_EQ(Recebidos(a).size(), 2u);
  EXPECT_EQ(Linhas(" <- "), 4);  // AUTH, AUTHRESP, two PINGs
  EXPECT_EQ(Linhas(" -> "), 5);  // AUTH, LIST, LOGON, two PINGs
  net::FakePeer& b = Discar();
  Entrar(b, "ana", "segredo");
  EXPECT_TRUE(a.ClientClosed());
  EXPECT_EQ(Linhas("replaced by a newer login"), 1);
  EXPECT_TRUE(servidor.Online("ana"));
}

}  // namespace
}  // namespace tazu::test
