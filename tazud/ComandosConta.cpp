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
  if (!CamposLimpos(s, campos[0], "CCON")) return;
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
  const net::TimePoint agora = runtime_.Now();
  if (!limites_.Ocupar(s.Endereco(), agora)) {
    EnviarErro(s, textos::ErroTentativasDemais);
    FecharAposEnvio(s, "too many password checks from its address");
    return;
  }
  s.estado = TEstado::Conferindo;
  TEspera espera{s.Id(),
                 s.Endereco(),
                 u->niu,
                 static_cast<uint8_t>(status),
                 u->hash,
                 campos[0].substr(0, kSenha),
                 limites_.InicioDaConferencia(u->niu, s.Endereco(), agora)};
  if (espera.inicio <= agora) {
    ConferirSenha(std::move(espera));
    return;
  }
  esperando_.push_back(std::move(espera));
  ArmarEsperas();
}

void TServidor::ArmarEsperas() {
  if (esperando_.empty()) return;
  net::TimePoint proxima = esperando_.front().inicio;
  for (const TEspera& e : esperando_) proxima = std::min(proxima, e.inicio);
  esperas_->Start(std::max(net::Milliseconds(0),
                           std::chrono::duration_cast<net::Milliseconds>(proxima - runtime_.Now())),
                  false);
}

void TServidor::AoFimDasEsperas() {
  const net::TimePoint agora = runtime_.Now();
  std::vector<TEspera> prontas;
  std::erase_if(esperando_, [&](TEspera& e) {
    if (e.inicio > agora) return false;
    prontas.push_back(std::move(e));
    return true;
  });
  for (TEspera& e : prontas) ConferirSenha(std::move(e));
  ArmarEsperas();
}

void TServidor::ConferirSenha(TEspera espera) {
  const auto it = sessoes_.find(espera.sessao);
  if (it == sessoes_.end() || it->second->Fechada()) {
    limites_.Terminar(espera.endereco, 0, false, runtime_.Now());
    return;
  }
  senhas_.Conferir(espera.hash, espera.senha,
                   [this, vivo = vivo_.Watch(), id = espera.sessao, endereco = espera.endereco,
                    niu = espera.niu, status = espera.status](bool certa) {
                     if (!vivo) return;
                     limites_.Terminar(endereco, niu, certa, runtime_.Now());
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
                     AbrirUnidade(sessao);
                     CompletarLogin(sessao, *atual, status);
                     FecharUnidade();
                   });
}

namespace {

// The registration form: values 1..20 are campos[1..20].
struct TFormulario {
  TUsuario u;
  std::string senha;
  std::string bloco;          // the personal block of the information window
  std::string_view faltando;  // a required field left empty
};

TFormulario LerFormulario(const std::vector<std::string>& campos) {
  auto valor = [&campos](int i, std::size_t maximo) {
    return Cortar(std::string(Aparar(campos[static_cast<std::size_t>(i)])), maximo);
  };
  TFormulario f;
  f.u.apelido = Cortar(std::string(Aparar(LerApelido(campos[1]))), kApelido);
  f.u.nome = valor(2, kCampo);
  f.senha = Cortar(campos[3], kSenha);
  f.u.email = valor(18, kCampo);
  f.u.exigeAutorizacao = valor(19, 1) == "1";
  f.u.naoPublicar = valor(20, 1) == "1";
  const std::pair<std::string_view, bool> obrigatorios[] = {
      {textos::CampoApelido, !f.u.apelido.empty()},
      {textos::CampoNome, !f.u.nome.empty()},
      {textos::CampoSenha, !f.senha.empty()},
      {textos::CampoEMail, !f.u.email.empty()},
  };
  for (const auto& [nome, preenchido] : obrigatorios) {
    if (!preenchido && f.faltando.empty()) f.faltando = nome;
  }
  const std::string pessoais[19] = {f.u.apelido,
                                    valor(15, kCampo),
                                    f.u.nome,
                                    valor(4, 1),
                                    valor(5, 10),
                                    valor(6, kCampo),
                                    valor(7, kCampo),
                                    valor(8, kCampo),
                                    valor(9, 10),
                                    "",
                                    "",
                                    valor(12, 2),
                                    valor(13, 2),
                                    valor(14, 2),
                                    "",
                                    valor(16, kCampo),
                                    valor(17, kCampo),
                                    f.u.email,
                                    ""};
  for (int i = 0; i < 19; ++i) {
    if (i > 0) f.bloco += kSeparador;
    f.bloco += CodificarTexto(pessoais[i]);
  }
  return f;
}

}  // namespace

// [CCUS]§version§ then the twenty values of the registration window.
void TServidor::CCUS(TSessao& s, std::string& resto) {
  const std::vector<std::string> campos = Dividir(resto);
  if (campos.size() < 21) {
    Recusar(s, textos::ErroMalFormado, "CCUS");
    return;
  }
  if (s.cadastrando) {
    EnviarErro(s, textos::ErroOcupado);
    return;
  }
  TFormulario f = LerFormulario(campos);
  // The nickname's pair escapes may stand for a line break too.
  if (!CamposLimpos(s, resto, "CCUS") || !CamposLimpos(s, LerApelido(campos[1]), "CCUS")) return;
  if (!f.faltando.empty()) {
    std::string texto(f.faltando);
    texto += textos::ErroCampoObrigatorio2;
    EnviarErro(s, textos::ErroCampoObrigatorio1, texto);
    return;
  }
  if (banco_.ApelidoEmUso(f.u.apelido)) {
    EnviarErro(s, textos::ErroApelidoEmUso);
    return;
  }
  if (!ReservarCadastro(s)) return;
  std::string senha = std::move(f.senha);
  senhas_.Gerar(std::move(senha), [this, vivo = vivo_.Watch(), id = s.Id(), endereco = s.Endereco(),
                                   f = std::move(f)](std::string hash) mutable {
    if (!vivo) return;
    limites_.Terminar(endereco, 0, true, runtime_.Now());
    const auto it = sessoes_.find(id);
    if (it == sessoes_.end() || it->second->Fechada()) return;
    it->second->cadastrando = false;
    f.u.hash = std::move(hash);
    AbrirUnidade(*it->second);
    ConcluirCadastro(*it->second, f.u, f.bloco);
    FecharUnidade();
  });
}

bool TServidor::ReservarCadastro(TSessao& s) {
  const net::TimePoint agora = runtime_.Now();
  const textos::TErro* erro = nullptr;
  if (s.cadastros >= limites_.CadastrosPorConexao()) {
    erro = &textos::ErroCadastrosDaConexao;
  } else if (senhas_.Pendentes() >= config_.senhasPendentes) {
    erro = &textos::ErroOcupado;
  } else if (!limites_.Ocupar(s.Endereco(), agora)) {
    erro = &textos::ErroTentativasDemais;
  } else if (!limites_.Cadastrar(s.Endereco(), agora)) {
    limites_.Terminar(s.Endereco(), 0, true, agora);
    erro = &textos::ErroCadastrosDoEndereco;
  }
  if (erro != nullptr) {
    EnviarErro(s, *erro);
    return false;
  }
  s.cadastrando = true;
  ++s.cadastros;
  return true;
}

void TServidor::ConcluirCadastro(TSessao& s, const TUsuario& u, const std::string& bloco) {
  if (u.hash.empty()) {
    EnviarErro(s, textos::ErroInterno);
    return;
  }
  // Someone may have taken the nickname while the hash was computed.
  if (banco_.ApelidoEmUso(u.apelido)) {
    EnviarErro(s, textos::ErroApelidoEmUso);
    return;
  }
  if (!Gravar(s)) return;
  const Niu niu = banco_.CriarUsuario(u, bloco);
  if (niu == 0) {
    EnviarErro(s, textos::ErroSemNumeros);
    return;
  }
  std::string boasVindas(textos::BoasVindas1);
  boasVindas += SemSeparador(u.apelido);
  boasVindas += textos::BoasVindas2;
  boasVindas += std::to_string(niu);
  boasVindas += textos::BoasVindas3;
  Enviar(s, MontarLinha("SCUA", {std::to_string(niu), boasVindas}));
  Registrar("registered NIU " + std::to_string(niu) + " from " + s.Nome());
}

void TServidor::CPNG(TSessao& s, std::string&) {
  Enviar(s, MontarLinha("RPNG"));
}

// The answer to our SBFF; the line itself already counted as activity.
void TServidor::CBFF(TSessao&, std::string&) {}

void TServidor::CDSC(TSessao& s, std::string&) {
  Enviar(s, MontarLinha("SDSC"));
  FecharAposEnvio(s, "said goodbye");
}

}  // namespace tazu::tazud
