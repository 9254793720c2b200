// Identification, login, registration and the connection's own commands.
#include <string>

#include "core/UGlobal.h"
#include "tazud/Campos.h"
#include "tazud/Escapes.h"
#include "tazud/Servidor.h"
#include "tazud/Sessao.h"

namespace tazu::tazud {

namespace {

// The statuses a user may log in with or change to; anything else at login
// counts as Conectado.
bool StatusProprio(uint32_t s) {
  return s == 1 || s == 2 || s == 5 || s == 6 || s == 7 || s == 8;
}

constexpr std::size_t kApelido = 25;
constexpr std::size_t kCampo = 60;
constexpr std::size_t kSenha = 64;

}  // namespace

// [CVER]§ip§port§NIU§version§kind§product  or, to identify a user being added
// to a computer, the same with a nickname or number and a by-nickname flag.
void TServidor::CVER(TSessao& s, std::string& resto) {
  const std::vector<std::string> campos = Dividir(resto);
  if (campos.size() < 6 || campos[2].empty()) {
    Recusar(s, textos::ErroMalFormado, "CVER");
    return;
  }
  std::optional<TUsuario> u;
  uint32_t porApelido = 0;
  if (campos.size() >= 7 && !LerNumero(campos[6], 255, porApelido)) {
    Recusar(s, textos::ErroMalFormado, "CVER");
    return;
  }
  if (porApelido != 0) {
    u = banco_.UsuarioPorApelido(LerApelido(campos[2]));
  } else {
    uint32_t niu = 0;
    if (!LerNumero(campos[2], 65535, niu)) {
      Recusar(s, textos::ErroMalFormado, "CVER");
      return;
    }
    u = banco_.Usuario(static_cast<Niu>(niu));
  }
  if (!u) {
    EnviarErro(s, textos::ErroUsuarioInexistente);
    FecharAposEnvio(s, "unknown user " + std::string(Aparar(campos[2]).substr(0, 30)));
    return;
  }
  const uint8_t chave = config_.embaralhar ? config_.sortearChave() : 0;
  Enviar(s, MontarLinha("RVER", {std::to_string(u->niu), "0", std::to_string(chave)}));
  s.cripto.Chave = chave;
  s.niu = u->niu;
  s.estado = TEstado::Identificado;
}

// [CCON]§password§status
void TServidor::CCON(TSessao& s, std::string& resto) {
  const std::vector<std::string> campos = Dividir(resto);
  uint32_t status = 0;
  if (campos.size() < 2 || !LerNumero(campos[1], 255, status)) {
    Recusar(s, textos::ErroMalFormado, "CCON");
    return;
  }
  if (!StatusProprio(status)) status = StatusConectado;
  const std::optional<TUsuario> u = banco_.Usuario(s.niu);
  if (!u) {
    EnviarErro(s, textos::ErroUsuarioInexistente);
    FecharAposEnvio(s, "user gone");
    return;
  }
  if (senhas_.Pendentes() >= config_.senhasPendentes) {
    EnviarErro(s, textos::ErroOcupado);
    FecharAposEnvio(s, "password checks queue full");
    return;
  }
  s.estado = TEstado::Conferindo;
  const uint64_t id = s.Id();
  senhas_.Conferir(u->hash, campos[0].substr(0, kSenha),
                   [this, id, vida = s.Vida(), niu = u->niu, status](bool certa) {
                     const auto v = vida.lock();
                     if (!v || !*v) return;
                     const auto it = sessoes_.find(id);
                     if (it == sessoes_.end()) return;
                     TSessao& sessao = *it->second;
                     if (sessao.Fechada() || sessao.estado != TEstado::Conferindo) return;
                     // The user may have changed while the hash was computed.
                     const std::optional<TUsuario> atual = banco_.Usuario(niu);
                     if (!certa || !atual) {
                       EnviarErro(sessao, textos::ErroSenha);
                       FecharAposEnvio(sessao, "wrong password");
                       return;
                     }
                     CompletarLogin(sessao, *atual, static_cast<uint8_t>(status));
                   });
}

// [CCUS]§version§ then the twenty values of the registration window.
void TServidor::CCUS(TSessao& s, std::string& resto) {
  std::vector<std::string> campos = Dividir(resto);
  if (campos.size() < 21) {
    Recusar(s, textos::ErroMalFormado, "CCUS");
    return;
  }
  if (s.cadastrando) {
    EnviarErro(s, textos::ErroOcupado);
    return;
  }
  // Values 1..20 are campos[1..20].
  auto valor = [&campos](int i) { return std::string(Aparar(campos[static_cast<std::size_t>(i)])); };
  TUsuario u;
  u.apelido = Cortar(std::string(Aparar(LerApelido(campos[1]))), kApelido);
  u.nome = Cortar(valor(2), kCampo);
  const std::string senha = Cortar(campos[3], kSenha);
  u.email = Cortar(valor(18), kCampo);
  u.exigeAutorizacao = valor(19) == "1";
  u.naoPublicar = valor(20) == "1";
  const std::pair<std::string_view, bool> obrigatorios[] = {
      {textos::CampoApelido, !u.apelido.empty()},
      {textos::CampoNome, !u.nome.empty()},
      {textos::CampoSenha, !senha.empty()},
      {textos::CampoEMail, !u.email.empty()},
  };
  for (const auto& [nome, preenchido] : obrigatorios) {
    if (!preenchido) {
      std::string texto(nome);
      texto += textos::ErroCampoObrigatorio2;
      EnviarErro(s, textos::ErroCampoObrigatorio1, texto);
      return;
    }
  }
  if (banco_.ApelidoEmUso(u.apelido)) {
    EnviarErro(s, textos::ErroApelidoEmUso);
    return;
  }
  if (senhas_.Pendentes() >= config_.senhasPendentes) {
    EnviarErro(s, textos::ErroOcupado);
    return;
  }
  // The personal block of the information window, filled from the form.
  std::string bloco;
  const std::string pessoais[19] = {
      u.apelido, Cortar(valor(15), kCampo), u.nome, Cortar(valor(4), 1), Cortar(valor(5), 10),
      Cortar(valor(6), kCampo), Cortar(valor(7), kCampo), Cortar(valor(8), kCampo),
      Cortar(valor(9), 10), "", "", Cortar(valor(12), 2), Cortar(valor(13), 2),
      Cortar(valor(14), 2), "", Cortar(valor(16), kCampo), Cortar(valor(17), kCampo), u.email, ""};
  for (int i = 0; i < 19; ++i) {
    if (i > 0) bloco += kSeparador;
    bloco += CodificarTexto(pessoais[i]);
  }
  s.cadastrando = true;
  const uint64_t id = s.Id();
  senhas_.Gerar(senha, [this, id, vida = s.Vida(), u, bloco](std::string hash) mutable {
    const auto v = vida.lock();
    if (!v || !*v) return;
    const auto it = sessoes_.find(id);
    if (it == sessoes_.end() || it->second->Fechada()) return;
    TSessao& sessao = *it->second;
    sessao.cadastrando = false;
    if (hash.empty()) {
      EnviarErro(sessao, textos::ErroInterno);
      return;
    }
    // Someone may have taken the nickname while the hash was computed.
    if (banco_.ApelidoEmUso(u.apelido)) {
      EnviarErro(sessao, textos::ErroApelidoEmUso);
      return;
    }
    if (!Gravar(sessao)) return;
    u.hash = std::move(hash);
    const Niu niu = banco_.CriarUsuario(u, bloco);
    if (niu == 0) {
      EnviarErro(sessao, textos::ErroSemNumeros);
      return;
    }
    std::string boasVindas(textos::BoasVindas1);
    boasVindas += SemSeparador(u.apelido);
    boasVindas += textos::BoasVindas2;
    boasVindas += std::to_string(niu);
    boasVindas += textos::BoasVindas3;
    Enviar(sessao, MontarLinha("SCUA", {std::to_string(niu), boasVindas}));
    Registrar("registered NIU " + std::to_string(niu) + " from " + sessao.Nome());
  });
}

void TServidor::CPNG(TSessao& s, std::string&) { Enviar(s, MontarLinha("RPNG")); }

// The answer to our SBFF; the line itself already counted as activity.
void TServidor::CBFF(TSessao&, std::string&) {}

void TServidor::CDSC(TSessao& s, std::string&) {
  Enviar(s, MontarLinha("SDSC"));
  FecharAposEnvio(s, "said goodbye");
}

}  // namespace tazu::tazud
