// What the session does with the SNACs a logged-in engine receives.
#include <algorithm>

#include "icq/CodecCliente.h"
#include "icq/CodecLista.h"
#include "icq/Rtf.h"
#include "icq/SessaoICQ.h"
#include "icq/TabelasICQ.h"

namespace tazu::icq {

namespace {

std::string Ip(uint32_t ip) {
  return std::to_string(ip >> 24) + "." + std::to_string((ip >> 16) & 0xFF) + "." +
         std::to_string((ip >> 8) & 0xFF) + "." + std::to_string(ip & 0xFF);
}

// The value of <elemento>...</elemento> in a small XML text.
std::string ValorXml(std::string_view xml, std::string_view elemento) {
  const std::string abre = "<" + std::string(elemento) + ">";
  const std::string fecha = "</" + std::string(elemento) + ">";
  const std::size_t a = xml.find(abre);
  if (a == std::string_view::npos) return {};
  const std::size_t inicio = a + abre.size();
  const std::size_t f = xml.find(fecha, inicio);
  if (f == std::string_view::npos) return {};
  return std::string(xml.substr(inicio, f - inicio));
}

}  // namespace

void TSessaoICQ::Presenca(const TSnac& s) {
  TPresenca p;
  if (!cliente::LerPresenca(s.dados, p)) return;
  if (p.temIpExterno && temOuvinte_) {
    if (p.tipoAoVerExterno == 2 || p.tipoAoVerExterno == 4) {
      acoes_.emplace_back(acao::ContatoDireto{p.uin, p.direta.ipInterno, p.ipExterno,
                                              p.direta.porta, p.direta.cookie});
    } else {
      Disparar(evento::Erro{
          1, "Cannot estabilish direct connection because remote client uses unknown proxy type"});
    }
  }
  if (!p.temStatus) return;
  Disparar(evento::Status{p.uin, p.status});
  Disparar(evento::InfoOnline{p.uin, p.direta.porta, Ip(p.direta.ipInterno), Ip(p.ipExterno),
                              p.direta.versao});
}

void TSessaoICQ::Saiu(const TSnac& s) {
  std::string uin;
  if (cliente::LerContatoSaiu(s.dados, uin)) Disparar(evento::Saiu{std::move(uin)});
}

void TSessaoICQ::TextoRecebido(std::string uin, uint8_t tipo, std::string texto, bool offline) {
  if (tipo == 1) {
    if (p_.ConvertToPlaintext) texto = RtfParaTexto(texto);
    if (!texto.empty()) Disparar(evento::Mensagem{std::move(uin), std::move(texto), offline});
  } else if (tipo == 4) {
    const std::size_t fe = texto.find('\xFE');
    std::string url = fe == std::string::npos ? std::string() : texto.substr(fe + 1);
    if (fe != std::string::npos) texto.resize(fe);
    Disparar(evento::Url{std::move(uin), std::move(texto), std::move(url), offline});
  }
}

void TSessaoICQ::Mensagem(const TSnac& s) {
  TMensagemRecebida m;
  if (!cliente::LerMensagem(s.dados, m)) return;
  if (m.canal == 1) {
    if (!m.texto.empty()) Disparar(evento::Mensagem{m.uin, m.texto, false});
    return;
  }
  if (m.canal == 2) {
    if (m.tipo == 3) return;  // file requests are not taken
    EnviarSnac(cliente::ConfirmarMensagem(m, p_.AutoAwayMessage));
    if (m.tipo == 0x1A) return;  // plug-in messages carry no text of ours
  }
  if (m.canal == 4 && m.tipo == 0x1A) {
    if (m.texto.find("ICQSMS") == std::string::npos) return;
    Disparar(evento::Sms{ValorXml(m.texto, "source"), ValorXml(m.texto, "sender"),
                         ValorXml(m.texto, "text"), ValorXml(m.texto, "time")});
    return;
  }
  TextoRecebido(std::move(m.uin), m.tipo, std::move(m.texto), false);
}

void TSessaoICQ::Confirmacao(const TSnac& s) {
  TConfirmacao c;
  if (!cliente::LerConfirmacao(s.dados, c)) return;
  static constexpr uint8_t kAceites[] = {0, 4, 9, 10, 12, 14};
  if (std::find(std::begin(kAceites), std::end(kAceites), c.aceite) == std::end(kAceites)) return;
  if (c.automatica) {
    Disparar(evento::RespostaAutomatica{c.uin, c.id, c.tipoMensagem, c.texto});
  } else {
    Disparar(evento::Confirmacao{c.uin, c.id, c.aceite, c.texto});
  }
}

void TSessaoICQ::Lista(const TSnac& s) {
  if (!lista::LerLista(s.dados, listaParcial_)) return;
  // A long list comes in several replies; it is handed on whole.
  if (s.flags & lista::kMaisSegue) return;
  std::vector<TEntradaLista> entradas = lista::Entradas(listaParcial_);
  listaParcial_.clear();
  Disparar(evento::ListaServidor{std::move(entradas)});
}

void TSessaoICQ::ResultadoLista(const TSnac& s) {
  uint16_t codigo = 0;
  if (cliente::LerResultadoLista(s.dados, codigo))
    Disparar(evento::ResultadoLista{lista::CodigoConhecido(codigo)});
}

void TSessaoICQ::PedidoAutorizacao(const TSnac& s) {
  TPedidoAutorizacao p;
  if (cliente::LerPedidoAutorizacao(s.dados, p))
    Disparar(evento::PedidoAutorizacao{std::move(p.uin), std::move(p.motivo)});
}

void TSessaoICQ::RespostaAutorizacao(const TSnac& s) {
  TRespostaAutorizacao r;
  if (cliente::LerRespostaAutorizacao(s.dados, r))
    Disparar(evento::RespostaAutorizacao{std::move(r.uin), r.concedida, std::move(r.motivo)});
}

void TSessaoICQ::AdicionouVoce(const TSnac& s) {
  std::string uin;
  if (cliente::LerAdicionouVoce(s.dados, uin)) Disparar(evento::AdicionouVoce{std::move(uin)});
}

void TSessaoICQ::Meta(const TSnac& s) {
  meta::TMeta m;
  if (!meta::Ler(s.dados, m)) return;
  if (m.tipo == meta::kMensagemOffline) {
    meta::TMensagemOffline o;
    if (meta::LerMensagemOffline(m.dados, o))
      TextoRecebido(std::to_string(o.de), o.tipo, std::move(o.texto), true);
  } else if (m.tipo == meta::kFimOffline) {
    seqMeta_ = 2;
    EnviarMeta(meta::kConfirmarOffline, {});
  } else if (m.tipo == meta::kRespostaInfo) {
    RespostaInfo(m);
  }
}

std::string TSessaoICQ::UinPendente(uint16_t sequencia, bool curta, bool remover) {
  auto& lista = curta ? pendentesCurta_ : pendentesCompleta_;
  const auto p = std::find_if(lista.begin(), lista.end(),
                              [sequencia](const auto& e) { return e.first == sequencia; });
  if (p == lista.end()) return {};
  std::string uin = p->second;
  if (remover) lista.erase(p);
  return uin;
}

void TSessaoICQ::RespostaInfo(const meta::TMeta& m) {
  meta::TRespostaInfo r;
  if (!meta::LerRespostaInfo(m.dados, r)) return;
  const uint16_t seq = m.sequencia;
  switch (r.subtipo) {
    case meta::kGeral: {
      evento::InfoGeral e{UinPendente(seq, false, false), {}, {}};
      if (!r.sucesso || !meta::LerGeral(r.dados, e.info)) return;
      e.pais = NomeDoPais(e.info.pais);
      Disparar(std::move(e));
      break;
    }
    case meta::kMais: {
      evento::InfoMais e{UinPendente(seq, false, false), {}, {}};
      if (!r.sucesso || !meta::LerMais(r.dados, e.info)) return;
      for (int i = 0; i < 3; ++i) e.idiomas[i] = NomeDoIdioma(e.info.idiomas[i]);
      Disparar(std::move(e));
      break;
    }
    case meta::kTrabalho: {
      evento::InfoTrabalho e{UinPendente(seq, false, false), {}, {}, {}};
      if (!r.sucesso || !meta::LerTrabalho(r.dados, e.info)) return;
      e.pais = NomeDoPais(e.info.pais);
      e.ocupacao = NomeDaOcupacao(e.info.ocupacao);
      Disparar(std::move(e));
      break;
    }
    case meta::kSobre: {
      evento::InfoSobre e{UinPendente(seq, false, false), {}};
      if (r.sucesso && meta::LerSobre(r.dados, e.texto)) Disparar(std::move(e));
      break;
    }
    case meta::kPassado:
      UinPendente(seq, false, true);
      break;  // the last part
    case meta::kCurta: {
      evento::InfoCurta e{UinPendente(seq, true, true), {}, false};
      e.encontrado = r.sucesso && meta::LerCurta(r.dados, e.info);
      if (!e.encontrado) e.info = {};
      Disparar(std::move(e));
      break;
    }
    case meta::kResultadoBusca:
    case meta::kUltimoResultado: {
      evento::Encontrado e{{}, r.subtipo == meta::kUltimoResultado};
      if (r.sucesso && meta::LerResultadoBusca(r.dados, e.r)) {
        Disparar(std::move(e));
      } else {
        Disparar(evento::NaoEncontrado{});
      }
      break;
    }
    default:
      break;
  }
}

}  // namespace tazu::icq
