#include "sim/icq/Contas.h"

#include <vector>

#include "base/Cp1252.h"
#include "icq/CodecPacote.h"

namespace tazu::sim::icq {

namespace {

std::vector<std::string> Campos(std::string_view linha) {
  std::vector<std::string> campos;
  std::size_t i = 0;
  while (i < linha.size()) {
    while (i < linha.size() && (linha[i] == ' ' || linha[i] == '\t')) ++i;
    if (i >= linha.size()) break;
    std::string campo;
    if (linha[i] == '"') {
      const std::size_t fim = linha.find('"', i + 1);
      campo = std::string(linha.substr(i + 1, fim == std::string_view::npos ? fim : fim - i - 1));
      i = fim == std::string_view::npos ? linha.size() : fim + 1;
    } else {
      const std::size_t fim = linha.find_first_of(" \t", i);
      campo = std::string(linha.substr(i, fim == std::string_view::npos ? fim : fim - i));
      i = fim == std::string_view::npos ? linha.size() : fim;
    }
    // Accounts are written in UTF-8; the simulator keeps the wire's bytes.
    campos.push_back(cp1252::FromUtf8(campo));
  }
  return campos;
}

bool Info(TContaSim& c, const std::string& campo, const std::string& valor) {
  const uint32_t n = tazu::icq::UinDeTexto(valor);
  if (campo == "nome")
    c.geral.nome = valor;
  else if (campo == "sobrenome")
    c.geral.sobrenome = valor;
  else if (campo == "email")
    c.geral.email = valor;
  else if (campo == "cidade")
    c.geral.cidade = valor;
  else if (campo == "estado")
    c.geral.estado = valor;
  else if (campo == "pais")
    c.geral.pais = static_cast<uint16_t>(n);
  else if (campo == "sexo")
    c.mais.sexo = static_cast<uint8_t>(n);
  else if (campo == "idade")
    c.mais.idade = static_cast<uint16_t>(n);
  else
    return false;
  return true;
}

bool Falha(std::string* erro, std::string motivo) {
  if (erro) *erro = std::move(motivo);
  return false;
}

}  // namespace

bool AplicarLinha(TSimuladorICQ& sim, std::string_view linha, std::string* erro) {
  const std::vector<std::string> c = Campos(linha);
  if (c.empty() || c[0][0] == '#') return true;
  const auto uinValido = [&](const std::string& u) { return tazu::icq::UinDeTexto(u) != 0; };
  if (c.size() < 2 || !uinValido(c[1])) return Falha(erro, "UIN inválido: " + std::string(linha));
  if (c[0] == "conta" && (c.size() == 4 || c.size() == 5)) {
    TContaSim& conta = sim.AdicionarConta(c[1], c[2], c[3]);
    conta.exigeAutorizacao = c.size() == 5 && c[4] == "autorizacao";
    return true;
  }
  if (c[0] == "eco" && c.size() <= 3) {
    sim.AdicionarConta(c[1], {}, c.size() == 3 ? c[2] : "Eco").eco = true;
    return true;
  }
  if (c[0] == "lista" && (c.size() == 4 || c.size() == 5) && uinValido(c[2])) {
    if (!sim.Conta(c[1])) return Falha(erro, "conta desconhecida: " + c[1]);
    sim.AdicionarAoGrupo(c[1], c[2], c[3], c.size() == 5 ? c[4] : "Geral");
    return true;
  }
  if (c[0] == "info" && c.size() == 4) {
    TContaSim* conta = sim.Conta(c[1]);
    if (!conta) return Falha(erro, "conta desconhecida: " + c[1]);
    if (Info(*conta, c[2], c[3])) return true;
  }
  return Falha(erro, "linha não reconhecida: " + std::string(linha));
}

bool AplicarContas(TSimuladorICQ& sim, std::string_view texto, std::string* erro) {
  int numero = 0;
  while (!texto.empty()) {
    ++numero;
    const std::size_t fim = texto.find('\n');
    std::string_view linha = texto.substr(0, fim);
    texto.remove_prefix(fim == std::string_view::npos ? texto.size() : fim + 1);
    if (!linha.empty() && linha.back() == '\r') linha.remove_suffix(1);
    std::string motivo;
    if (!AplicarLinha(sim, linha, &motivo)) {
      if (erro) *erro = std::to_string(numero) + ": " + motivo;
      return false;
    }
  }
  return true;
}

}  // namespace tazu::sim::icq
