#include "core/UGlobal.h"

#include <array>

#include "core/Textos.h"

namespace tazu {

namespace {

struct StatusNomeado {
  uint8_t codigo;
  std::string_view nome;
  uint8_t base;
};

constexpr StatusNomeado kStatus[] = {
    {1, textos::StatusConectado, 1},
    {2, textos::StatusInvisivel, 2},
    {3, textos::StatusDesconectado, 3},
    {5, textos::StatusNaoPerturbe, 5},
    {6, textos::StatusOcupado, 6},
    {7, textos::StatusLivreParaChat, 7},
    {8, textos::StatusLonge, 8},
    {255, textos::StatusDesconhecido, 255},
    {100, textos::StatusInativo, 8},
    {101, textos::StatusVoltoJa, 8},
    {102, textos::StatusAoTelefone, 6},
    {103, textos::StatusHorarioDeAlmoco, 8},
    {200, textos::StatusForaDeCasa, 8},
    {201, textos::StatusForaDoEscritorio, 8},
    {202, textos::StatusDeFerias, 8},
    {203, textos::StatusFuiEmbora, 8},
};

constexpr std::array<unsigned char, 256> TabelaMaiusculas() {
  std::array<unsigned char, 256> t{};
  for (int i = 0; i < 256; ++i) t[i] = static_cast<unsigned char>(i);
  for (int c = 'a'; c <= 'z'; ++c) t[c] = static_cast<unsigned char>(c - 32);
  for (int c = 0xE0; c <= 0xFE; ++c)
    if (c != 0xF7) t[c] = static_cast<unsigned char>(c - 32);
  t[0x9A] = 0x8A;  // š
  t[0x9C] = 0x8C;  // œ
  t[0x9E] = 0x8E;  // ž
  t[0xFF] = 0x9F;  // ÿ
  return t;
}

constexpr auto kMaiusculas = TabelaMaiusculas();

const std::string kQRB = "#<QRB>#";
const std::string kAPS = "#<APS>#";
const std::string kRET = "#<RET>#";
const std::string kCRLF = "\r\n";
const std::string kApostrofo = "'";

}  // namespace

uint8_t NomeDoStatus(uint8_t codigo, std::string& nome) {
  for (const auto& s : kStatus) {
    if (s.codigo == codigo) {
      nome.assign(s.nome);
      return s.base;
    }
  }
  return codigo;
}

std::string ProximoCampo(std::string& texto, const std::string& separador) {
  const std::size_t p = separador.empty() ? std::string::npos : texto.find(separador);
  std::string campo;
  if (p == std::string::npos) {
    campo.swap(texto);
    texto.clear();
  } else {
    campo = texto.substr(0, p);
    texto.erase(0, p + separador.size());
  }
  return campo;
}

std::string LerComando(std::string& linha) {
  const std::size_t p = linha.find(kSeparador);
  const std::string_view campo = std::string_view(linha).substr(0, p);
  if (campo.size() < 2 || campo.front() != '[' || campo.back() != ']') return {};
  std::string codigo(campo.substr(1, campo.size() - 2));
  linha.erase(0, p == std::string::npos ? linha.size() : p + 1);
  return codigo;
}

std::string SubstituirTodos(std::string_view texto, std::string_view de, std::string_view para) {
  if (de.empty()) return std::string(texto);
  std::string out;
  out.reserve(texto.size());
  std::size_t pos = 0;
  for (std::size_t p; (p = texto.find(de, pos)) != std::string_view::npos; pos = p + de.size()) {
    out.append(texto.substr(pos, p - pos));
    out.append(para);
  }
  out.append(texto.substr(pos));
  return out;
}

std::string CodificarTexto(const std::string& texto) {
  std::string t = SubstituirTodos(texto, Separador, kQRB);
  t = SubstituirTodos(t, kApostrofo, kAPS);
  return SubstituirTodos(t, kCRLF, kRET);
}

std::string DecodificarTexto(const std::string& texto) {
  std::string t = SubstituirTodos(texto, kQRB, Separador);
  t = SubstituirTodos(t, kAPS, kApostrofo);
  return SubstituirTodos(t, kRET, kCRLF);
}

std::string CodificarApelido(const std::string& texto) {
  std::string t = SubstituirTodos(texto, Separador, "\xC0\xD1");
  t = SubstituirTodos(t, kApostrofo, "\xC0\xD3");
  return SubstituirTodos(t, kCRLF, "\xC0\xD2");
}

std::string DecodificarApelido(const std::string& texto) {
  std::string t = SubstituirTodos(texto, "\xC0\xD0", Separador);
  t = SubstituirTodos(t, "\xC0\xD3", kApostrofo);
  return SubstituirTodos(t, "\xC0\xD1", kCRLF);
}

std::string RemoverQuebrasFinais(const std::string& texto) {
  std::size_t n = texto.size();
  while (n >= 2 && texto[n - 2] == '\r' && texto[n - 1] == '\n') n -= 2;
  return texto.substr(0, n);
}

std::string_view Aparar(std::string_view texto) {
  auto baixo = [](char c) { return static_cast<unsigned char>(c) <= 0x20; };
  while (!texto.empty() && baixo(texto.front())) texto.remove_prefix(1);
  while (!texto.empty() && baixo(texto.back())) texto.remove_suffix(1);
  return texto;
}

std::string PrimeiraLinha(std::vector<std::string>& linhas) {
  if (linhas.empty()) return {};
  std::string linha(Aparar(linhas.front()));
  linhas.erase(linhas.begin());
  return linha;
}

std::string MaiusculasAnsi(std::string_view texto) {
  std::string out(texto);
  for (char& c : out) c = static_cast<char>(kMaiusculas[static_cast<unsigned char>(c)]);
  return out;
}

std::vector<std::string> DividirLinhas(std::string_view texto) {
  std::vector<std::string> linhas;
  std::size_t inicio = 0;
  for (std::size_t i = 0; i < texto.size(); ++i) {
    if (texto[i] != '\r' && texto[i] != '\n') continue;
    linhas.emplace_back(texto.substr(inicio, i - inicio));
    if (texto[i] == '\r' && i + 1 < texto.size() && texto[i + 1] == '\n') ++i;
    inicio = i + 1;
  }
  if (inicio < texto.size()) linhas.emplace_back(texto.substr(inicio));
  return linhas;
}

bool LerNumero(std::string_view texto, uint32_t maximo, uint32_t& valor) {
  if (texto.empty() || texto.size() > 10) return false;
  uint64_t v = 0;
  for (const char c : texto) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  if (v > maximo) return false;
  valor = static_cast<uint32_t>(v);
  return true;
}

}  // namespace tazu
