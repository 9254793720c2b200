// The server's line handling against arbitrary bytes: before login, after a
// scrambled login, in any cut. Properties: no crash, every answer is a
// well-formed line with a code, and a connection always ends cleanly.
#include <cstdint>
#include <cstdlib>
#include <memory>
#include <string>

#include "core/ProtocoloTazu.h"
#include "core/UGlobal.h"
#include "net/testing/FakeRuntime.h"
#include "tazud/Banco.h"
#include "tazud/Senhas.h"
#include "tazud/Servidor.h"

namespace {

using namespace tazu;
using namespace tazu::tazud;

struct Mundo {
  net::FakeRuntime rt;
  std::unique_ptr<TBanco> banco;
  std::unique_ptr<TSenhasNoLaco> senhas;
  std::unique_ptr<TServidor> servidor;
  Niu ana = 0;

  Mundo() {
    std::string erro;
    banco = TBanco::Abrir(":memory:", false, erro);
    if (!banco) std::abort();
    senhas = std::make_unique<TSenhasNoLaco>([this](std::function<void()> f) { rt.Post(std::move(f)); }, 1);
    TConfiguracao config;
    config.sortearChave = [] { return uint8_t{200}; };
    config.conexoesPorEndereco = 1000;
    servidor = std::make_unique<TServidor>(rt, *banco, *senhas, config);
    servidor->AoFalhaFatal = [](const std::string&) { std::abort(); };
    if (!servidor->Escutar("127.0.0.1", 7498, erro)) std::abort();
    TUsuario u;
    u.apelido = "ana";
    u.nome = "Ana";
    u.email = "a@b";
    u.hash = GerarHash("a", 1);
    banco->Iniciar();
    ana = banco->CriarUsuario(u, "ana");
    u.apelido = "bia";
    const Niu bia = banco->CriarUsuario(u, "bia");
    banco->GravarContato(ana, bia, 'A');
    banco->Confirmar(erro);
  }
};

void ConferirRespostas(const std::string& bruto, TCriptografia& cripto) {
  TLeitorDeLinhas leitor;
  leitor.Alimentar(bruto, [&](std::string_view l) {
    std::string linha = AbrirLinha(l, cripto);
    if (linha.empty()) return true;
    const std::string codigo = LerComando(linha);
    if (codigo.size() != 4) std::abort();
    if (codigo == "RVER") {
      // Everything after RVER travels scrambled with its key.
      ProximoCampo(linha, Separador);
      ProximoCampo(linha, Separador);
      uint32_t chave = 0;
      if (!LerNumero(linha, 255, chave)) std::abort();
      cripto.Chave = static_cast<uint8_t>(chave);
    }
    return true;
  });
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
  static Mundo* mundo = new Mundo();
  net::FakeRuntime& rt = mundo->rt;
  const std::string entrada(reinterpret_cast<const char*>(data), size);
  const bool logar = size > 0 && (data[0] & 1);
  net::FakePeer& peer = rt.Dial(7498);
  rt.RunPending();
  TCriptografia cripto;
  cripto.Chave = 0;
  if (logar) {
    peer.Write(MontarLinha("CVER", {"1", "2", std::to_string(mundo->ana), "1.0 AA", "P", "Tazu Messenger"}) + "\r\n");
    rt.RunPending();
    peer.Take();
    cripto.Chave = 200;
    peer.Write(PrepararEnvio(MontarLinha("CCON", {"a", "1"}), cripto));
    rt.RunPending();
    ConferirRespostas(peer.Take(), cripto);
  }
  // The input in cuts chosen by its own bytes; scrambled when logged in, so
  // the commands reach the dispatcher.
  std::size_t i = 1;
  while (i < entrada.size()) {
    const std::size_t n = 1 + static_cast<unsigned char>(entrada[i - 1]) % 64;
    const std::string pedaco = entrada.substr(i, n);
    peer.Write(logar && (entrada[i - 1] & 2) ? PrepararEnvio(pedaco, cripto) : pedaco);
    i += n;
  }
  rt.RunPending();
  ConferirRespostas(peer.Take(), cripto);
  peer.Close();
  rt.RunPending();
  rt.Advance(net::Milliseconds(1000));
  if (mundo->servidor->Conexoes() != 0) std::abort();
  return 0;
}
