#include "yahoo/CodecYahoo.h"

#include <algorithm>
#include <charconv>

namespace tazu::yahoo {

namespace {

constexpr std::string_view kMagia = "YMSG";

std::size_t Digitos(int32_t key) {
  uint32_t v = key < 0 ? 0u - static_cast<uint32_t>(key) : static_cast<uint32_t>(key);
  std::size_t n = 1;
  while (v >= 10) {
    v /= 10;
    ++n;
  }
  return n;
}

void Por16(std::string& s, uint32_t v) {
  s.push_back(static_cast<char>((v >> 8) & 0xFF));
  s.push_back(static_cast<char>(v & 0xFF));
}

void Por32(std::string& s, uint32_t v) {
  Por16(s, v >> 16);
  Por16(s, v & 0xFFFF);
}

uint32_t Ler16(std::string_view s, std::size_t i) {
  return (static_cast<uint32_t>(static_cast<unsigned char>(s[i])) << 8) |
         static_cast<unsigned char>(s[i + 1]);
}

uint32_t Ler32(std::string_view s, std::size_t i) {
  return (Ler16(s, i) << 16) | Ler16(s, i + 2);
}

// Keys are written without sign or leading zeros; reading takes digits only.
bool LerChave(std::string_view texto, int32_t& chave) {
  if (texto.empty() || texto.size() > 10) return false;
  uint64_t v = 0;
  for (const char c : texto) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  if (v > 0x7FFFFFFF) return false;
  chave = static_cast<int32_t>(v);
  return true;
}

}  // namespace

TYahooPacket& TYahooPacket::Adicionar(int32_t key, std::string_view value) {
  if (usados_ == pares_.size()) pares_.emplace_back();
  TYahooPair& par = pares_[usados_++];
  par.Key = key;
  par.Value.assign(value);
  return *this;
}

const std::string* TYahooPacket::Valor(int32_t key) const {
  for (std::size_t i = usados_; i-- > 0;) {
    if (pares_[i].Key == key) return &pares_[i].Value;
  }
  return nullptr;
}

std::size_t TamanhoDaCarga(const TYahooPacket& p) {
  std::size_t n = 0;
  for (const TYahooPair& par : p.Pares()) n += Digitos(par.Key) + par.Value.size() + 4;
  return n;
}

bool Serializar(const TYahooPacket& p, std::string& destino) {
  const std::size_t carga = TamanhoDaCarga(p);
  if (carga > ymsg::kMaiorCarga) return false;
  destino.reserve(destino.size() + ymsg::kCabecalho + carga);
  destino.append(kMagia);
  Por16(destino, 0x0900);
  Por16(destino, 0x0000);
  Por16(destino, static_cast<uint32_t>(carga));
  Por16(destino, p.Service);
  Por32(destino, p.Status);
  Por32(destino, p.SessionID);
  for (const TYahooPair& par : p.Pares()) {
    char digitos[12];
    const auto fim = std::to_chars(digitos, digitos + sizeof digitos, par.Key).ptr;
    destino.append(digitos, fim);
    destino.append(ymsg::kSeparador);
    destino.append(par.Value);
    destino.append(ymsg::kSeparador);
  }
  return true;
}

std::string Serializar(const TYahooPacket& p) {
  std::string bytes;
  Serializar(p, bytes);
  return bytes;
}

std::size_t CargaAnunciada(std::string_view cabecalho) {
  return Ler16(cabecalho, 8);
}

std::string_view ProximoToken(std::string_view& texto, std::string_view separador) {
  const std::size_t p = texto.find(separador);
  std::string_view token = texto.substr(0, p);
  texto.remove_prefix(p == std::string_view::npos ? texto.size() : p + separador.size());
  return token;
}

bool LerInteiro(std::string_view texto, uint32_t& valor) {
  const bool negativo = !texto.empty() && texto.front() == '-';
  if (negativo) texto.remove_prefix(1);
  if (texto.empty() || texto.size() > 10) return false;
  uint64_t v = 0;
  for (const char c : texto) {
    if (c < '0' || c > '9') return false;
    v = v * 10 + static_cast<uint64_t>(c - '0');
  }
  if (v > 0xFFFFFFFFu) return false;
  valor = negativo ? 0u - static_cast<uint32_t>(v) : static_cast<uint32_t>(v);
  return true;
}

TResultadoLeitura LerPacote(std::string_view bloco, TYahooPacket& destino,
                            std::vector<TParRuim>* ruins) {
  if (bloco.size() < ymsg::kCabecalho || bloco.size() - ymsg::kCabecalho != CargaAnunciada(bloco))
    return TResultadoLeitura::TamanhoDifere;
  destino.Limpar();
  destino.Service = static_cast<uint16_t>(Ler16(bloco, 10));
  destino.Status = Ler32(bloco, 12);
  destino.SessionID = Ler32(bloco, 16);
  std::string_view resto = bloco.substr(ymsg::kCabecalho);
  // A single byte left over cannot hold a pair.
  while (resto.size() > 1) {
    const std::string_view chave = ProximoToken(resto, ymsg::kSeparador);
    const std::string_view valor = ProximoToken(resto, ymsg::kSeparador);
    int32_t key = 0;
    if (LerChave(chave, key)) {
      destino.Adicionar(key, valor);
    } else if (ruins) {
      ruins->push_back({std::string(chave), std::string(valor)});
    }
  }
  return TResultadoLeitura::Ok;
}

TLeitorYmsg::TResultado TLeitorYmsg::Alimentar(
    std::string_view dados, const std::function<bool(std::string_view)>& aoPacote) {
  // Whole packets straight from `dados`; only an unfinished one is copied.
  while (!dados.empty()) {
    if (!parcial_.empty() || dados.size() < ymsg::kCabecalho) {
      const std::size_t antes = parcial_.size();
      const std::size_t falta = antes < ymsg::kCabecalho
                                    ? ymsg::kCabecalho - antes
                                    : ymsg::kCabecalho + CargaAnunciada(parcial_) - antes;
      const std::size_t n = std::min(falta, dados.size());
      parcial_.append(dados.substr(0, n));
      dados.remove_prefix(n);
      // A header is refused as soon as its first bytes differ from the magic.
      const std::size_t olhar = std::min(parcial_.size(), kMagia.size());
      if (std::string_view(parcial_).substr(0, olhar) != kMagia.substr(0, olhar)) {
        parcial_.clear();
        return TResultado::Invalido;
      }
      if (parcial_.size() < ymsg::kCabecalho) return TResultado::Ok;
      if (parcial_.size() < ymsg::kCabecalho + CargaAnunciada(parcial_)) continue;
      std::string pacote;
      pacote.swap(parcial_);
      // Stopped: the handler may have destroyed the reader.
      if (!aoPacote(pacote)) return TResultado::Parou;
      continue;
    }
    if (dados.substr(0, kMagia.size()) != kMagia) return TResultado::Invalido;
    const std::size_t total = ymsg::kCabecalho + CargaAnunciada(dados);
    if (dados.size() < total) {
      parcial_.assign(dados);
      return TResultado::Ok;
    }
    const std::string_view pacote = dados.substr(0, total);
    dados.remove_prefix(total);
    if (!aoPacote(pacote)) return TResultado::Parou;
  }
  return TResultado::Ok;
}

}  // namespace tazu::yahoo
