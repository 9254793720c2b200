// Meta requests: offline messages, user information and white-pages searches.
#include "core/UGlobal.h"
#include "icq/CodecMeta.h"
#include "icq/CodecServidor.h"
#include "sim/icq/Interno.h"

namespace tazu::sim::icq {

using namespace tazu::icq;

namespace {

bool Contem(const std::string& campo, const std::string& procurado) {
  return procurado.empty() ||
         MaiusculasAnsi(campo).find(MaiusculasAnsi(procurado)) != std::string::npos;
}

bool Combina(const TContaSim& c, const meta::TBuscaNomes& b) {
  return Contem(c.geral.nome, b.nome) && Contem(c.geral.sobrenome, b.sobrenome) &&
         Contem(c.geral.apelido, b.apelido) &&
         (b.email.empty() || MaiusculasAnsi(c.geral.email) == MaiusculasAnsi(b.email));
}

meta::TResultadoBusca Resultado(const TContaSim& c, bool online) {
  meta::TResultadoBusca r;
  r.uin = UinDeTexto(c.uin);
  r.apelido = c.geral.apelido;
  r.nome = c.geral.nome;
  r.sobrenome = c.geral.sobrenome;
  r.email = c.geral.email;
  r.exigeAutorizacao = c.exigeAutorizacao;
  r.status = online ? 1 : 0;
  r.sexo = c.mais.sexo;
  r.idade = static_cast<uint8_t>(c.mais.idade);
  return r;
}

}  // namespace

void TSimuladorICQ::Meta(TConexao& c, const TSnac& s) {
  meta::TMeta m;
  if (!meta::Ler(s.dados, m)) {
    Derrubar(c, "meta malformado");
    return;
  }
  const uint32_t uin = UinDeTexto(c.uin);
  TContaSim* conta = Conta(c.uin);
  if (m.tipo == meta::kOffline && conta) {
    for (const meta::TMensagemOffline& o : conta->offline)
      EnviarSnac(
          c, meta::Resposta(uin, meta::kMensagemOffline, m.sequencia, meta::MensagemOffline(o)));
    EnviarSnac(c, meta::Resposta(uin, meta::kFimOffline, m.sequencia, std::string(1, '\0')));
  } else if (m.tipo == meta::kConfirmarOffline && conta) {
    conta->offline.clear();
  } else if (m.tipo == meta::kInfo) {
    Informacoes(c, m);
  }
}

void TSimuladorICQ::Informacoes(TConexao& c, const meta::TMeta& m) {
  meta::TPedidoInfo p;
  if (!meta::LerPedidoInfo(m.dados, p)) {
    Log(c.nome + ": pedido de informações ilegível, ignorado");
    return;
  }
  const uint32_t eu = UinDeTexto(c.uin);
  const auto responder = [&](uint16_t subtipo, bool ok, const std::string& dados) {
    EnviarSnac(c, meta::Resposta(eu, meta::kRespostaInfo, m.sequencia,
                                 meta::RespostaInfo(subtipo, ok, dados)));
  };
  const TContaSim* alvo = p.uin ? Conta(std::to_string(p.uin)) : nullptr;
  if (p.subtipo == meta::kPedidoCompleto) {
    if (!alvo) {
      responder(meta::kGeral, false, {});
      return;
    }
    responder(meta::kGeral, true, meta::Geral(alvo->geral));
    responder(meta::kMais, true, meta::Mais(alvo->mais));
    responder(meta::kTrabalho, true, meta::Trabalho(alvo->trabalho));
    responder(meta::kSobre, true, meta::Sobre(alvo->sobre));
    responder(meta::kPassado, true, std::string(2, '\0'));
  } else if (p.subtipo == meta::kPedidoCurto) {
    if (!alvo) {
      responder(meta::kCurta, false, {});
      return;
    }
    const meta::TInfoCurta curta{alvo->geral.apelido, alvo->geral.nome, alvo->geral.sobrenome,
                                 alvo->geral.email, alvo->exigeAutorizacao};
    responder(meta::kCurta, true, meta::Curta(curta));
  } else {
    Buscar(c, m, p);
  }
}

void TSimuladorICQ::Buscar(TConexao& c, const meta::TMeta& m, const meta::TPedidoInfo& p) {
  std::vector<const TContaSim*> achados;
  for (const auto& [uin, conta] : contas_) {
    const bool sim =
        p.subtipo == meta::kBuscaUin ? UinDeTexto(uin) == p.uin : Combina(conta, p.busca);
    if (sim && (p.subtipo != meta::kBuscaEmail || !p.busca.email.empty()))
      achados.push_back(&conta);
  }
  const uint32_t eu = UinDeTexto(c.uin);
  if (achados.empty()) {
    EnviarSnac(c, meta::Resposta(eu, meta::kRespostaInfo, m.sequencia,
                                 meta::RespostaInfo(meta::kUltimoResultado, false)));
    return;
  }
  for (std::size_t i = 0; i < achados.size(); ++i) {
    const uint16_t subtipo =
        i + 1 == achados.size() ? meta::kUltimoResultado : meta::kResultadoBusca;
    const std::string dados = meta::ResultadoBusca(Resultado(*achados[i], Online(achados[i]->uin)));
    EnviarSnac(c, meta::Resposta(eu, meta::kRespostaInfo, m.sequencia,
                                 meta::RespostaInfo(subtipo, true, dados)));
  }
}

}  // namespace tazu::sim::icq
