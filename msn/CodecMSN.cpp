#include "msn/CodecMSN.h"

#include <openssl/evp.h>

#include "base/Cp1252.h"
#include "core/UGlobal.h"
#include "net/Url.h"

namespace tazu::msn {

// ---- Command lines ----

std::string_view TLinhaMSN::Resto(std::size_t n) const {
  if (n >= args.size()) return {};
  return linha.substr(static_cast<std::size_t>(args[n].data() - linha.data()));
}

void DividirLinha(std::string_view linha, TLinhaMSN& destino) {
  destino.linha = linha;
  destino.comando = {};
  destino.args.clear();
  std::size_t i = 0;
  bool primeira = true;
  while (i < linha.size()) {
    while (i < linha.size() && linha[i] == ' ') ++i;
    if (i == linha.size()) break;
    const std::size_t fim = std::min(linha.find(' ', i), linha.size());
    const std::string_view palavra = linha.substr(i, fim - i);
    if (primeira) {
      destino.comando = palavra;
      primeira = false;
    } else {
      destino.args.push_back(palavra);
    }
    i = fim;
  }
}

bool LerNumeroMSN(std::string_view texto, uint32_t& valor) {
  return LerNumero(texto, UINT32_MAX, valor);
}

bool EhErro(std::string_view comando) {
  return comando.size() == 3 && comando[0] >= '1' && comando[0] <= '9' && comando[1] >= '0' &&
         comando[1] <= '9' && comando[2] >= '0' && comando[2] <= '9';
}

bool PalavraValida(std::string_view palavra) {
  if (palavra.empty()) return false;
  for (const char c : palavra) {
    if (static_cast<unsigned char>(c) <= 0x20 || c == 0x7F) return false;
  }
  return true;
}

std::string MontarComando(std::string_view nome, std::optional<uint32_t> trid,
                          std::initializer_list<std::string_view> args) {
  std::string linha(nome);
  if (trid) linha.append(" ").append(std::to_string(*trid));
  for (const std::string_view a : args) linha.append(" ").append(a);
  linha += "\r\n";
  return linha;
}

std::string MontarComPayload(std::string_view cabeca, std::string_view payload) {
  std::string bytes;
  bytes.reserve(cabeca.size() + payload.size() + 16);
  bytes.append(cabeca).append(" ").append(std::to_string(payload.size())).append("\r\n");
  bytes.append(payload);
  return bytes;
}

// ---- Status ----

namespace {

struct TEstadoECodigo {
  std::string_view estado;
  uint8_t codigo;
};

constexpr TEstadoECodigo kEstados[] = {
    {"FLN", 3},   {"NLN", 1},   {"HDN", 2},   {"BSY", 6},   {"AWY", 8},
    {"IDL", 100}, {"BRB", 101}, {"PHN", 102}, {"LUN", 103},
};

}  // namespace

uint8_t CodigoDoEstado(std::string_view estado) {
  for (const auto& e : kEstados)
    if (e.estado == estado) return e.codigo;
  return 1;
}

std::string_view EstadoDoCodigo(uint8_t codigo) {
  if (codigo == 5) return "BSY";  // "do not disturb" has no state of its own
  for (const auto& e : kEstados)
    if (e.codigo == codigo) return e.estado;
  return "NLN";
}

// ---- Nicknames ----

std::string TextoDaRede(std::string_view bytes) {
  std::size_t i = 0;
  bool ascii = true;
  while (i < bytes.size()) {
    if (static_cast<unsigned char>(bytes[i]) < 0x80) {
      ++i;
      continue;
    }
    ascii = false;
    if (cp1252::DecodeUtf8(bytes, i) < 0) return std::string(bytes);
  }
  return ascii ? std::string(bytes) : cp1252::FromUtf8(bytes);
}

std::string DecodificarApelido(std::string_view naRede) {
  std::string apelido = TextoDaRede(net::UrlDecode(naRede));
  const std::size_t arroba = apelido.find('@');
  if (arroba != std::string::npos) apelido.resize(arroba);
  return apelido;
}

std::string CodificarApelido(std::string_view apelido) {
  return net::UrlEncode(cp1252::ToUtf8(apelido));
}

// ---- Digests ----

std::string Md5Hex(std::string_view bytes) {
  unsigned char digest[EVP_MAX_MD_SIZE];
  unsigned int tamanho = 0;
  EVP_Digest(bytes.data(), bytes.size(), digest, &tamanho, EVP_md5(), nullptr);
  static constexpr char kHex[] = "0123456789abcdef";
  std::string hex;
  hex.reserve(tamanho * 2);
  for (unsigned int i = 0; i < tamanho; ++i) {
    hex += kHex[digest[i] >> 4];
    hex += kHex[digest[i] & 0x0F];
  }
  return hex;
}

std::string RespostaDoLogin(std::string_view hash, std::string_view senha) {
  std::string texto(hash);
  texto.append(senha);
  return Md5Hex(texto);
}

std::string RespostaAoDesafio(std::string_view desafio) {
  std::string texto(desafio);
  texto.append(kChaveDoCliente);
  return Md5Hex(texto);
}

// ---- Framing ----

std::optional<std::size_t> TamanhoAnunciado(std::string_view linha) {
  if (linha.rfind("MSG ", 0) != 0 && linha.rfind("QRY ", 0) != 0) return std::nullopt;
  // Both carry three words before the payload ("MSG sender nick n", "MSG trid
  // ack n", "QRY trid id n"); the server's "QRY trid" acknowledges and has none.
  TLinhaMSN l;
  DividirLinha(linha, l);
  uint32_t n = 0;
  if (l.args.size() < 3 || !LerNumeroMSN(l.args.back(), n)) return std::nullopt;
  return n;
}

void TLeitorMSN::Limpar() {
  buffer_.clear();
  linhaPendente_.clear();
  esperando_ = 0;
  falhou_ = false;
}

TLeitorMSN::Resultado TLeitorMSN::Alimentar(
    std::string_view dados, const std::function<bool(const TQuadroMSN&)>& aoQuadro) {
  if (falhou_) return Resultado::Parado;
  // Whole units in this read are handed over without copying; only an
  // unfinished one from an earlier read is joined with it.
  std::string juntado;
  std::string_view d = dados;
  if (!buffer_.empty()) {
    juntado.swap(buffer_);
    juntado.append(dados);
    d = juntado;
  }
  std::size_t pos = 0;
  const auto falhar = [&](Resultado r) {
    falhou_ = true;
    buffer_.clear();
    return r;
  };
  std::string linha;  // the line of a payload that spanned reads
  while (pos < d.size()) {
    TQuadroMSN q;
    if (esperando_ > 0) {
      if (d.size() - pos < esperando_) break;
      linha.swap(linhaPendente_);
      linhaPendente_.clear();
      q = {linha, d.substr(pos, esperando_), true};
      pos += esperando_;
      esperando_ = 0;
    } else {
      const std::size_t fim = d.find("\r\n", pos);
      if (fim == std::string_view::npos) break;
      q.linha = d.substr(pos, fim - pos);
      pos = fim + 2;
      if (q.linha.size() > limiteDeLinha_) return falhar(Resultado::LinhaLonga);
      if (const auto n = TamanhoAnunciado(q.linha)) {
        if (*n > limiteDePayload_) return falhar(Resultado::PayloadGrande);
        q.temPayload = true;
        if (*n > 0) {
          linhaPendente_.assign(q.linha);
          esperando_ = *n;
          continue;
        }
      }
    }
    if (!aoQuadro(q)) {
      buffer_.clear();
      esperando_ = 0;
      return Resultado::Parado;
    }
  }
  buffer_.assign(d.substr(pos));
  if (esperando_ == 0 && buffer_.size() > limiteDeLinha_ + 1) return falhar(Resultado::LinhaLonga);
  return Resultado::Continua;
}

}  // namespace tazu::msn
