#include "tests/support/msn/MsnClientRig.h"

#include "base/Cp1252.h"
#include "tests/support/ScriptedPeer.h"

namespace tazu::test {
namespace {

std::string U(const std::string& cp1252) {
  return cp1252::ToUtf8(cp1252);
}

}  // namespace

void RecordMsnEvents(msn::TClienteMSN& c, std::vector<std::string>& ev, bool withLog) {
  using S = msn::TClienteMSN;
  const auto add = [&ev](std::string e) { ev.push_back(std::move(e)); };
  c.AoConectar = [add](S&) { add("AoConectar()"); };
  c.AoDesconectar = [add](S&) { add("AoDesconectar()"); };
  c.AoFalharConexao = [add](S&, uint16_t erro, const std::string& d) {
    add("AoFalharConexao(" + std::to_string(erro) + ", " + U(d) + ")");
  };
  if (withLog) {
    c.AoLogRecebidas = [add](S&, const std::string& t) { add("LogRecebidas(" + U(t) + ")"); };
    c.AoLogEnviadas = [add](S&, const std::string& t) { add("LogEnviadas(" + U(t) + ")"); };
  }
  c.AoReceberContato = [add](S&, const std::string& id, const std::string& a, uint8_t s) {
    add("AoReceberContato(" + id + ", " + U(a) + ", " + std::to_string(s) + ")");
  };
  c.AoReceberBloqueado = [add](S&, const std::string& id, const std::string& a) {
    add("AoReceberBloqueado(" + id + ", " + U(a) + ")");
  };
  c.AoMudarStatusContato = [add](S&, const std::string& id, const std::string& a, uint8_t s) {
    add("AoMudarStatusContato(" + id + ", " + U(a) + ", " + std::to_string(s) + ")");
  };
  c.AoReceberMensagem = [add](S&, uint32_t sessao, const std::string& id, const std::string& a,
                              const std::string& m) {
    add("AoReceberMensagem(" + std::to_string(sessao) + ", " + id + ", " + U(a) + ", " + U(m) +
        ")");
  };
  c.AoAdicionarComSucesso = [add](S&, const std::string& id) {
    add("AoAdicionarComSucesso(" + id + ")");
  };
  c.AoErroAdicionando = [add](S&, const std::string& id) { add("AoErroAdicionando(" + id + ")"); };
  c.AoConfirmarEnvio = [add](S&, uint32_t sessao, const std::string& id) {
    add("AoConfirmarEnvio(" + std::to_string(sessao) + ", " + id + ")");
  };
  c.AoFalharEnvio = [add](S&, uint32_t sessao, const std::string& id, const std::string& m) {
    add("AoFalharEnvio(" + std::to_string(sessao) + ", " + id + ", " + U(m) + ")");
  };
}

MsnClientRig::MsnClientRig(bool recordEvents, bool recordLog) {
  cliente.Identificador = kLogin;
  cliente.Senha = kSenha;
  cliente.DefinirServidor("127.0.0.1", kPorta);
  if (recordEvents) RecordMsnEvents(cliente, events, recordLog);
}

net::FakePeer& MsnClientRig::Connect(uint8_t status) {
  dialect = MsnDialect(0);
  cliente.Conectar(status);
  rt.Advance(msn::TNotificacaoMSN::kEsperaAntesDeConectar);
  net::FakePeer& p = rt.LastPeer();
  p.Accept();
  rt.RunPending();
  ns = &p;
  return p;
}

bool MsnClientRig::LogIn(uint8_t status, std::string* why) {
  Connect(status);
  const std::string login = std::string("C: VER # MSNP7 MSNP6 MSNP5 MSNP4 CVRO\n") +
                            "S: VER # MSNP7\n"
                            "C: INF #\n"
                            "S: INF # MD5\n"
                            "C: USR # MD5 I " +
                            kLogin + "\n" + "S: USR # MD5 S " + kHash + "\n" + "C: USR # MD5 S " +
                            kRespostaDoHash + "\n" + "S: USR # OK " + kLogin + " Ana%20Lima\n" +
                            "C: CHG # " + std::string(msn::EstadoDoCodigo(status)) + "\n" +
                            "C: LST # AL\n"
                            "C: LST # BL\n";
  ScriptedPeer script(login, dialect);
  script.PlayOver(*ns);
  rt.RunPending();
  const ScriptedPeer::Outcome r = script.Finished();
  if (!r.ok && why) *why = r.message;
  return r.ok;
}

void MsnClientRig::ServerSends(std::string_view lines) {
  std::string bytes;
  while (!lines.empty()) {
    const std::size_t end = lines.find('\n');
    std::string_view line = lines.substr(0, end);
    lines.remove_prefix(end == std::string_view::npos ? lines.size() : end + 1);
    const std::size_t start = line.find_first_not_of(" \t");
    if (start == std::string_view::npos) continue;
    line.remove_prefix(start);
    if (line.rfind("S: ", 0) == 0) line.remove_prefix(3);
    bytes += dialect.Encode(line, false);
  }
  ServerSendsRaw(bytes);
}

void MsnClientRig::ServerSendsRaw(std::string_view bytes) {
  ns->Write(bytes);
  rt.RunPending();
}

std::string MsnClientRig::TakeSent() {
  return ns ? ns->Take() : std::string();
}

std::vector<std::string> MsnClientRig::TakeEvents() {
  std::vector<std::string> e;
  e.swap(events);
  return e;
}

}  // namespace tazu::test
