#include "tests/support/ComunicadorEventos.h"

#include "base/Cp1252.h"

namespace tazu::test {
namespace {

std::string U(const std::string& s) {
  return cp1252::ToUtf8(s);
}

}  // namespace

void GravarEventosComunicador(TInterfaceComunicador& c, std::vector<std::string>& e) {
  using I = TInterfaceComunicador;
  c.OnConectar = [&e](I&) { e.push_back("OnConectar"); };
  c.OnDesconectar = [&e](I&) { e.push_back("OnDesconectar"); };
  c.OnFalhaConexao = [&e](I&) { e.push_back("OnFalhaConexao"); };
  c.AoLiberar = [&e](I&) { e.push_back("AoLiberar"); };
  c.OnReceberContato = [&e](const std::string& conta, const std::string& niu,
                            const std::string& apelido, const std::string& id,
                            const std::string& status, char lista, const std::string& rede) {
    e.push_back("Contato " + conta + "/" + niu + " " + U(apelido) + " " + id + " " + status + " " +
                lista + " " + rede);
  };
  c.OnReceberMsg = [&e](I&, const std::string& id, const std::string& apelido,
                        const std::string& msg, bool aoVivo, const std::string&) {
    e.push_back("Msg " + id + " " + U(apelido) + " [" + U(msg) + "]" + (aoVivo ? "" : " offline"));
  };
  c.OnConfirmaEnvio = [&e](I&, const std::string& id, bool recebido, uint8_t status,
                           const std::string& texto) {
    e.push_back("Confirma " + id + " " + (recebido ? "sim" : "nao") + " " + std::to_string(status) +
                (texto.empty() ? "" : " [" + U(texto) + "]"));
  };
  c.OnExigirAutorizacao = [&e](I&, const std::string& id, const std::string& apelido) {
    e.push_back("ExigirAutorizacao " + id + " " + U(apelido));
  };
  c.AoReceberEvento = [&e](I&, uint8_t tipo, const std::string& id, const std::string& apelido,
                           const std::string& texto) {
    e.push_back("Evento " + std::to_string(tipo) + " " + id + " " + U(apelido) + " [" + U(texto) +
                "]");
  };
  c.AoReceberInfoUsuario = [&e](I&, uint8_t tipo, const std::string& id, const std::string& apelido,
                                const std::string& texto) {
    std::string t = U(texto);
    for (std::size_t p; (p = t.find("\xC2\xA7")) != std::string::npos;) t.replace(p, 2, "|");
    e.push_back("Info " + std::to_string(tipo) + " " + id + " " + U(apelido) + " " + t);
  };
  c.AoReceberBusca = [&e](I&, const std::string& id, const std::string& apelido,
                          const std::string& nome, const std::string& email, char autorizar) {
    e.push_back("Busca " + id + " " + U(apelido) + " [" + U(nome) + "] " + email + " " + autorizar);
  };
  c.AoFinalizarBusca = [&e](I&) { e.push_back("FimDaBusca"); };
  c.AoConfirmar = [&e](I&) { e.push_back("AoConfirmar"); };
  c.AoAdicionarComSucesso = [&e](I&, const std::string& id) { e.push_back("Adicionado " + id); };
  c.OnUsuarioNaoExiste = [&e](I&, const std::string& id) { e.push_back("NaoExiste " + id); };
  c.MensagemDeErro = [&e](I&, const std::string& m) { e.push_back("Erro [" + U(m) + "]"); };
}

}  // namespace tazu::test
