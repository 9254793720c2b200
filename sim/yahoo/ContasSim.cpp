#include "sim/yahoo/ContasSim.h"

#include <algorithm>
#include <fstream>

namespace tazu::simyahoo {

namespace {

bool Igual(std::string_view a, std::string_view b) {
  return Minusculas(a) == Minusculas(b);
}

std::string_view Cortar(std::string_view& texto, char separador) {
  const std::size_t p = texto.find(separador);
  const std::string_view parte = texto.substr(0, p);
  texto.remove_prefix(p == std::string_view::npos ? texto.size() : p + 1);
  return parte;
}

}  // namespace

std::string Minusculas(std::string_view texto) {
  std::string s(texto);
  for (char& c : s)
    if (c >= 'A' && c <= 'Z') c = static_cast<char>(c - 'A' + 'a');
  return s;
}

bool TContaSim::TemAmigo(std::string_view amigo) const {
  for (const auto& [grupo, amigos] : grupos)
    for (const std::string& a : amigos)
      if (Igual(a, amigo)) return true;
  return false;
}

bool TContaSim::AdicionarAmigo(const std::string& amigo, const std::string& grupo) {
  if (TemAmigo(amigo)) return false;
  auto g =
      std::find_if(grupos.begin(), grupos.end(), [&](const auto& x) { return x.first == grupo; });
  if (g == grupos.end()) g = grupos.insert(grupos.end(), {grupo, {}});
  g->second.push_back(amigo);
  return true;
}

bool TContaSim::RemoverAmigo(std::string_view amigo) {
  for (auto& [grupo, amigos] : grupos) {
    const auto a =
        std::find_if(amigos.begin(), amigos.end(), [&](const auto& x) { return Igual(x, amigo); });
    if (a == amigos.end()) continue;
    amigos.erase(a);
    return true;
  }
  return false;
}

std::string TContaSim::ListaDeContatos() const {
  std::string texto;
  for (const auto& [grupo, amigos] : grupos) {
    if (amigos.empty()) continue;
    texto += grupo + ":";
    for (std::size_t i = 0; i < amigos.size(); ++i) texto += (i ? "," : "") + amigos[i];
    texto += "\n";
  }
  return texto;
}

bool LerConta(std::string_view linha, TContaSim& conta, std::string& erro) {
  conta = TContaSim{};
  conta.id = std::string(Cortar(linha, ':'));
  conta.senha = std::string(Cortar(linha, ':'));
  if (conta.id.empty() || conta.senha.empty()) {
    erro = "an account needs ID:PASSWORD";
    return false;
  }
  if (conta.id.find_first_of(",;=\n\r\xC0") != std::string::npos) {
    erro = "an id cannot hold , ; = or line ends: " + conta.id;
    return false;
  }
  std::string_view grupos = Cortar(linha, ':');
  while (!grupos.empty()) {
    std::string_view grupo = Cortar(grupos, ';');
    const std::string nome(Cortar(grupo, '='));
    if (nome.empty()) {
      erro = "a group needs a name: GROUP=BUDDY,BUDDY";
      return false;
    }
    while (!grupo.empty()) {
      const std::string amigo(Cortar(grupo, ','));
      if (!amigo.empty()) conta.AdicionarAmigo(amigo, nome);
    }
  }
  if (linha == "refuse") {
    conta.recusa = true;
  } else if (!linha.empty()) {
    erro = "unknown account option: " + std::string(linha);
    return false;
  }
  return true;
}

bool TContasSim::Adicionar(TContaSim conta, std::string& erro) {
  const std::string chave = Minusculas(conta.id);
  if (contas_.count(chave)) {
    erro = "account given twice: " + conta.id;
    return false;
  }
  contas_.emplace(chave, std::move(conta));
  return true;
}

TContaSim* TContasSim::Localizar(std::string_view id) {
  const auto it = contas_.find(Minusculas(id));
  return it == contas_.end() ? nullptr : &it->second;
}

bool TContasSim::LerArquivo(const std::string& caminho, std::string& erro) {
  std::ifstream f(caminho);
  if (!f) {
    erro = "cannot read " + caminho;
    return false;
  }
  std::string linha;
  for (int n = 1; std::getline(f, linha); ++n) {
    if (!linha.empty() && linha.back() == '\r') linha.pop_back();
    if (linha.empty() || linha[0] == '#') continue;
    TContaSim conta;
    if (!LerConta(linha, conta, erro) || !Adicionar(std::move(conta), erro)) {
      erro = caminho + ":" + std::to_string(n) + ": " + erro;
      return false;
    }
  }
  return true;
}

}  // namespace tazu::simyahoo
