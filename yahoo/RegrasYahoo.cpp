// What each received packet does to the Yahoo session (the rules are stated
// at the top of SessaoYahoo.cpp).
#include <cstdio>

#include "core/UGlobal.h"
#include "yahoo/CodecDesafio.h"
#include "yahoo/SessaoYahoo.h"
#include "yahoo/Textos.h"

namespace tazu::yahoo {

using namespace std::chrono_literals;

namespace {

constexpr uint32_t kStatusRecusado = 7;

std::string HexDoServico(uint16_t servico) {
  char b[8];
  std::snprintf(b, sizeof b, "%02X %02X ", servico >> 8, servico & 0xFF);
  return b;
}

}  // namespace

void TSessaoYahoo::Desafio(const TYahooPacket& p) {
  const std::string* semente = p.Valor(94);
  if (semente == nullptr || semente->empty()) return;
  const auto resposta = ResponderDesafio(e_.Usuario.str(), e_.Senha.str(), *semente);
  if (!resposta) {
    Log(std::string(textos::SementeInvalida));
    Agir(acao::Fechar{});
    Encerrada();
    return;
  }
  TYahooPacket& r = enviando_;
  r.Limpar();
  r.Service = ymsg::RespostaDeAutenticacao;
  r.Status = e_.Status;
  r.SessionID = 0;
  r.Adicionar(0, e_.Usuario.str()).Adicionar(6, resposta->r6).Adicionar(96, resposta->r96);
  r.Adicionar(1, e_.Usuario.str());
  EnviarPacote(r);
}

void TSessaoYahoo::ResultadoDoLogin(const TYahooPacket& p) {
  uint32_t codigo = 0;
  std::string url;
  for (const TYahooPair& par : p.Pares()) {
    if (par.Key == 66) Numero(par, codigo);
    if (par.Key == 20) url = par.Value;
  }
  if (codigo == 0) return;
  // Refused: the connection has nothing more to offer.
  MarcarTentativa(false);
  Agir(acao::Fechar{});
  aberta_ = false;
  prazoKeepAlive_.reset();
  Falha(codigo, std::move(url));
}

void TSessaoYahoo::RelatorioDeStatus(const TYahooPacket& p) {
  std::string_view amigo, mensagem;
  bool ausente = false;
  uint32_t status = ymsg::Disponivel, v = 0;
  for (const TYahooPair& par : p.Pares()) {
    switch (par.Key) {
      case 1:
        if (e_.LoggedIn) break;
        e_.LoggedIn = true;
        prazoKeepAlive_ = relogio_() + 60s;
        Agir(acao::Conectou{});
        break;
      case 7:
        amigo = par.Value;
        break;
      case 10:
        if (Numero(par, v)) status = v;
        break;
      case 19:
        mensagem = par.Value;
        break;
      case 47:
        if (Numero(par, v)) ausente = v != 0;
        break;
      case 16:
        Agir(acao::ErroYahoo{par.Value});
        break;
      case 13: {
        if (!Numero(par, v)) break;
        const std::string id(amigo);
        const auto st = static_cast<int32_t>(status);
        if (p.Service == ymsg::Logoff || v == 0) {
          Agir(acao::StatusContato{id, static_cast<int32_t>(ymsg::Desconectado), true, {}});
        } else if (status == ymsg::Disponivel) {
          Agir(acao::StatusContato{id, st, false, {}});
        } else if (status == ymsg::Personalizado) {
          Agir(acao::StatusContato{id, st, ausente, std::string(mensagem)});
        } else {
          Agir(acao::StatusContato{id, st, true, {}});
        }
        break;
      }
      case 0:
      case 8:
      case 11:
      case 17:
      case 60:
        break;
      default:
        Log(std::string(textos::ChaveDeStatus) + std::to_string(par.Key));
    }
  }
  MarcarTentativa(false);
  if (!e_.LoggedIn) Falha(99, {});
}

void TSessaoYahoo::Mensagens(const TYahooPacket& p) {
  std::string remetente, texto;
  int32_t hora = 0;
  bool utf8 = false;
  uint32_t v = 0;
  const auto entregar = [&] {
    if (texto.empty() && p.Status != 2) return;
    if (p.Service == ymsg::MensagemDoSistema) {
      Agir(acao::MensagemDoSistema{texto});
    } else if (p.Status <= 2 || p.Status == 5) {
      Agir(acao::Mensagem{remetente, texto, hora, utf8});
    } else if (p.Status == ymsg::ErroDeEntrega) {
      Agir(acao::ErroYahoo{texto});
    }
    texto.clear();
  };
  for (const TYahooPair& par : p.Pares()) {
    switch (par.Key) {
      case 1:
      case 4:
        remetente = par.Value;
        break;
      case 14:
      case 16:
        texto = par.Value;
        break;
      case 15:
        if (!par.Value.empty() && Numero(par, v)) hora = static_cast<int32_t>(v);
        break;
      case 97:
        if (par.Value.empty()) {
          utf8 = false;
        } else if (Numero(par, v)) {
          utf8 = v != 0;
        }
        break;
      case 31:
        entregar();
        break;
      case 5:
      case 32:
        break;
      default:
        Log(std::string(textos::ChaveDeMensagem) + std::to_string(par.Key));
    }
  }
  entregar();
}

void TSessaoYahoo::AvisoDeContato(const TYahooPacket& p) {
  std::string_view proprio, quem, mensagem, nome;
  uint32_t estado = 0, v = 0;
  bool ausente = false;
  for (const TYahooPair& par : p.Pares()) {
    switch (par.Key) {
      case 1:
        proprio = par.Value;
        break;
      case 3:
        quem = par.Value;
        break;
      case 4:
        mensagem = par.Value;
        break;
      case 7:
        nome = par.Value;
        break;
      case 10:
        if (Numero(par, v)) estado = v;
        break;
      case 47:
        ausente = par.Value != "0";
        break;
      default:
        break;
    }
  }
  const std::string id(!proprio.empty() && !quem.empty() ? quem : nome);
  const std::string_view alvo = !id.empty() ? std::string_view(id) : quem;
  TAdicao* adicao = alvo.empty() ? (adicoes_.empty() ? nullptr : &adicoes_.back()) : Adicao(alvo);
  const std::string grupo = adicao ? adicao->grupo : ultimoGrupo_;
  if (adicao) adicao->respondida = true;
  if (!id.empty()) {
    if (adicao) adicao->confirmada = true;
    GuardarContato(id, grupo);
    Agir(acao::Contato{grupo, id, estado, ausente, std::string(mensagem)});
  } else if (p.Status == kStatusRecusado) {
    if (adicao) adicao->recusada = true;
    Agir(acao::ContatoRecusado{std::string(quem), std::string(mensagem)});
  }
}

void TSessaoYahoo::ListaDeContatos(const TYahooPacket& p) {
  for (const TYahooPair& par : p.Pares()) {
    if (par.Key != 87) continue;
    std::string_view texto = par.Value;
    while (!texto.empty()) {
      std::string_view linha = ProximoToken(texto, "\n");
      const std::string_view grupo = ProximoToken(linha, ":");
      while (!linha.empty()) {
        const std::string_view amigo = ProximoToken(linha, ",");
        if (amigo.empty()) continue;
        e_.Contatos.push_back(std::string(amigo) + std::string(ymsg::kSeparador) +
                              std::string(grupo));
        Agir(acao::Contato{std::string(grupo), std::string(amigo), ymsg::Desconectado, true, {}});
      }
    }
  }
}

void TSessaoYahoo::ResultadoDaAdicao(const TYahooPacket& p) {
  std::string amigo, grupo;
  for (const TYahooPair& par : p.Pares()) {
    if (par.Key == 7) amigo = par.Value;
    if (par.Key == 65) grupo = par.Value;
  }
  TAdicao* adicao = Adicao(amigo);
  if (adicao == nullptr) return;  // no add of ours
  const TAdicao a = *adicao;
  adicoes_.erase(adicoes_.begin() + (adicao - adicoes_.data()));
  if (!a.respondida) {
    Agir(acao::ContatoNaoEncontrado{amigo});
  } else if (!a.confirmada && !a.recusada) {
    GuardarContato(amigo, grupo);
    Agir(acao::Contato{grupo, amigo, ymsg::Desconectado, true, {}});
  }
}

void TSessaoYahoo::NaoManipulado(const TYahooPacket& p) {
  Log(std::string(textos::NaoManipulado) + HexDoServico(p.Service));
}

void TSessaoYahoo::Desconhecido(const TYahooPacket& p) {
  Log(std::string(textos::Desconhecido) + HexDoServico(p.Service));
}

}  // namespace tazu::yahoo
