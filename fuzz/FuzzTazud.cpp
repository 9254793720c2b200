// The server's line handling against arbitrary bytes: before login, after a
// scrambled login, in any cut, and as whole scrambled lines that carry CR, LF
// or NUL inside. Properties: no crash; every answer is a well-formed line with
// a code, and no line the server emits holds CR, LF or NUL (which would let a
// client forge lines for others); a connection always ends cleanly.
//
// Input: a first byte (bit 0: log in first), then cuts, each a byte and the
// 1 + byte % 64 bytes that follow it, written as they are (bits 6 and 7
// clear), scrambled line by line as the client does (bit 6), or scrambled
// whole as one line (bit 7).
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
    senhas = std::make_unique<TSenhasNoLaco>(
        [this](std::function<void()> f) { rt.Post(std::move(f)); }, 1);
    TConfiguracao config;
    config.sortearChave = [] { return uint8_t{200}; };
    config.conexoesPorEndereco = 1000;
    // Every input starts with a login that must work whatever came before.
    config.limites.atrasoInicial = net::Milliseconds(0);
    config.limites.conferenciasPorEndereco = 0;
    config.limites.cadastrosPorEnderecoPorHora = 0;
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

bool TemQuebraOuNulo(std::string_view texto) {
  return texto.find_first_of(std::string_view("\r\n\0", 3)) != std::string_view::npos;
}

void ConferirRespostas(const std::string& bruto, TCriptografia& cripto) {
  // Unscrambled, every CR goes with an LF, every LF with a CR, and no NUL.
  for (std::size_t i = 0; i < bruto.size(); ++i) {
    const bool crLf = bruto[i] == '\r' && i + 1 < bruto.size() && bruto[i + 1] == '\n';
    if (bruto[i] == '\0' || (bruto[i] == '\r' && !crLf)) std::abort();
    if (bruto[i] == '\n' && (i == 0 || bruto[i - 1] != '\r')) std::abort();
  }
  TLeitorDeLinhas leitor;
  leitor.Alimentar(bruto, [&](std::string_view l) {
    if (cripto.Chave != 0 && TemQuebraOuNulo(cripto.Desembaralhar(std::string(l)))) std::abort();
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
    peer.Write(MontarLinha("CVER", {"1", "2", std::to_string(mundo->ana), "1.0 AA", "P",
                                    "Tazu Messenger"}) +
               "\r\n");
    rt.RunPending();
    peer.Take();
    cripto.Chave = 200;
    peer.Write(PrepararEnvio(MontarLinha("CCON", {"a", "1"}), cripto));
    rt.RunPending();
    ConferirRespostas(peer.Take(), cripto);
  }
  std::size_t i = 1;
  while (i < entrada.size()) {
    const auto corte = static_cast<unsigned char>(entrada[i]);
    const std::string pedaco = entrada.substr(i + 1, 1 + corte % 64);
    i += 1 + pedaco.size();
    if (corte & 0x80) {
      peer.Write(cripto.Embaralhar(pedaco) + "\r\n");
    } else {
      peer.Write(corte & 0x40 ? PrepararEnvio(pedaco, cripto) : pedaco);
    }
  }
  rt.RunPending();
  ConferirRespostas(peer.Take(), cripto);
  peer.Close();
  rt.RunPending();
  rt.Advance(net::Milliseconds(1000));
  if (mundo->servidor->Conexoes() != 0) std::abort();
  if (mundo->servidor->LinhasConsertadas() != 0) std::abort();
  return 0;
}
