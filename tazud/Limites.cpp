#include "tazud/Limites.h"

#include <algorithm>

namespace tazu::tazud {

namespace {

constexpr net::Milliseconds kHora{3600'000};

}  // namespace

net::Milliseconds TLimites::TFalhas::Atraso(const TConfigLimites& c, net::Milliseconds teto) const {
  if (quantas == 0) return net::Milliseconds(0);
  net::Milliseconds atraso = c.atrasoInicial;
  for (int i = 1; i < quantas && atraso < teto; ++i) atraso *= 2;
  return std::min(atraso, teto);
}

net::TimePoint TLimites::InicioDaConferencia(uint16_t conta, const std::string& endereco,
                                             net::TimePoint agora) const {
  net::TimePoint inicio = agora;
  if (const auto c = contas_.find(conta); c != contas_.end()) {
    inicio =
        std::max(inicio, c->second.ultima + c->second.Atraso(config_, config_.atrasoMaximoDaConta));
  }
  if (const auto e = enderecos_.find(endereco); e != enderecos_.end()) {
    const TFalhas& f = e->second.falhas;
    inicio = std::max(inicio, f.ultima + f.Atraso(config_, config_.atrasoMaximoDoEndereco));
  }
  return inicio;
}

bool TLimites::Ocupar(const std::string& endereco, net::TimePoint agora) {
  TEndereco& e = enderecos_[endereco];
  std::erase_if(e.retidas, [agora](net::TimePoint ate) { return ate <= agora; });
  const int ocupados = e.emAndamento + static_cast<int>(e.retidas.size());
  if (config_.conferenciasPorEndereco > 0 && ocupados >= config_.conferenciasPorEndereco) {
    return false;
  }
  ++e.emAndamento;
  return true;
}

void TLimites::Terminar(const std::string& endereco, uint16_t conta, bool certa,
                        net::TimePoint agora) {
  TEndereco& e = enderecos_[endereco];
  if (e.emAndamento > 0) --e.emAndamento;
  if (conta == 0) return;
  if (certa) {
    contas_.erase(conta);
    return;
  }
  TFalhas& daConta = contas_[conta];
  ++daConta.quantas;
  daConta.ultima = agora;
  ++e.falhas.quantas;
  e.falhas.ultima = agora;
  e.retidas.push_back(agora + e.falhas.Atraso(config_, config_.atrasoMaximoDoEndereco));
}

bool TLimites::Cadastrar(const std::string& endereco, net::TimePoint agora) {
  if (config_.cadastrosPorEnderecoPorHora <= 0) return true;
  auto& cadastros = enderecos_[endereco].cadastros;
  while (!cadastros.empty() && cadastros.front() + kHora <= agora) cadastros.pop_front();
  if (static_cast<int>(cadastros.size()) >= config_.cadastrosPorEnderecoPorHora) return false;
  cadastros.push_back(agora);
  return true;
}

void TLimites::Esquecer(net::TimePoint agora) {
  std::erase_if(contas_,
                [&](const auto& c) { return c.second.ultima + config_.esquecerApos <= agora; });
  for (auto it = enderecos_.begin(); it != enderecos_.end();) {
    TEndereco& e = it->second;
    if (e.falhas.quantas > 0 && e.falhas.ultima + config_.esquecerApos <= agora) e.falhas = {};
    std::erase_if(e.retidas, [agora](net::TimePoint ate) { return ate <= agora; });
    while (!e.cadastros.empty() && e.cadastros.front() + kHora <= agora) e.cadastros.pop_front();
    const bool vazio =
        e.falhas.quantas == 0 && e.emAndamento == 0 && e.retidas.empty() && e.cadastros.empty();
    it = vazio ? enderecos_.erase(it) : std::next(it);
  }
}

}  // namespace tazu::tazud
