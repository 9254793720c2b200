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
  ScriptedPeer script(MsnLoginTranscript(msn::EstadoDoCodigo(status)), dialect);
  script.PlayOver(*ns);
  rt.RunPending();
  const ScriptedPeer::Outcome r = script.Finished();
  if (!r.ok && why) *why = r.message;
  return r.ok;
}

std::string MsnLoginTranscript(std::string_view status, std::string_view nick) {
  using R = MsnClientRig;
  return std::string("C: VER # MSNP7 MSNP6 MSNP5 MSNP4 CVRO\nS: VER # MSNP7\n") +
         "C: INF #\nS: INF # MD5\nC: USR # MD5 I " + R::kLogin + "\nS: USR # MD5 S " + R::kHash +
         "\nC: USR # MD5 S " + R::kRespostaDoHash + "\nS: USR # OK " + R::kLogin + " " +
         std::string(nick) + "\nC: CHG # " + std::string(status) + "\nC: LST # AL\nC: LST # BL\n";
}

void MsnClientRig::ServerSends(std::string_view lines) {
  ServerSendsRaw(dialect.EncodeLines(lines));
}

void MsnClientRig::ServerSendsRaw(std::string_view bytes) {
  ns->Write(bytes);
  rt.RunPending();
}

std::string MsnClientRig::TakeSent() {
  return ns ? ns->Take() : std::string();
}

std::vector<std::string> MsnClientRig::TakeEvents() {
  return std::exchange(events, {});
}

}  // namespace tazu::test
