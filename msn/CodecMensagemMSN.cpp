#include "msn/CodecMensagemMSN.h"

#include <vector>

#include "core/UGlobal.h"
#include "msn/CodecMSN.h"

namespace tazu::msn {
namespace {

bool MesmoNome(std::string_view a, std::string_view b) {
  if (a.size() != b.size()) return false;
  for (std::size_t i = 0; i < a.size(); ++i) {
    const auto minuscula = [](char c) { return c >= 'A' && c <= 'Z' ? char(c - 'A' + 'a') : c; };
    if (minuscula(a[i]) != minuscula(b[i])) return false;
  }
  return true;
}

// The next line of `texto` from `pos` (without its end: CR LF, CR or LF).
std::string_view ProximaLinha(std::string_view texto, std::size_t& pos) {
  const std::size_t inicio = pos;
  std::size_t fim = texto.find_first_of("\r\n", pos);
  if (fim == std::string_view::npos) {
    pos = texto.size();
    return texto.substr(inicio);
  }
  pos = fim + (texto.compare(fim, 2, "\r\n") == 0 ? 2 : 1);
  return texto.substr(inicio, fim - inicio);
}

void LerTipo(std::string_view valor, TMensagemMIME& m) {
  const std::size_t pv = valor.find(';');
  m.tipoMime = Aparar(valor.substr(0, pv));
  if (MesmoNome(m.tipoMime, "text/plain")) m.tipo = TMensagemMIME::Tipo::Texto;
  if (MesmoNome(m.tipoMime, "text/x-msmsgscontrol")) m.tipo = TMensagemMIME::Tipo::Controle;
  if (MesmoNome(m.tipoMime, "text/x-msmsgsprofile")) m.tipo = TMensagemMIME::Tipo::Perfil;
  if (MesmoNome(m.tipoMime, "text/x-msmsgsinitialemailnotification"))
    m.tipo = TMensagemMIME::Tipo::AvisoDeEmail;
  // Parameters: "charset=UTF-8" among them, in any case.
  std::string_view resto = pv == std::string_view::npos ? std::string_view() : valor.substr(pv + 1);
  while (!resto.empty()) {
    const std::size_t fim = resto.find(';');
    const std::string_view p = Aparar(resto.substr(0, fim));
    const std::size_t igual = p.find('=');
    if (igual != std::string_view::npos && MesmoNome(Aparar(p.substr(0, igual)), "charset"))
      m.utf8 = MesmoNome(Aparar(p.substr(igual + 1)), "UTF-8");
    resto = fim == std::string_view::npos ? std::string_view() : resto.substr(fim + 1);
  }
}

}  // namespace

TMensagemMIME LerMensagemMIME(std::string_view payload) {
  TMensagemMIME m;
  std::size_t pos = 0;
  while (pos < payload.size()) {
    const std::string_view linha = ProximaLinha(payload, pos);
    if (linha.empty()) break;
    const std::size_t dois = linha.find(':');
    if (dois == std::string_view::npos) continue;
    const std::string_view nome = linha.substr(0, dois);
    const std::string_view valor = Aparar(linha.substr(dois + 1));
    if (MesmoNome(nome, "MIME-Version"))
      m.versao = valor;
    else if (MesmoNome(nome, "Content-Type"))
      LerTipo(valor, m);
    else if (MesmoNome(nome, "X-MMS-IM-Format"))
      m.formato = valor;
    else if (MesmoNome(nome, "TypingUser"))
      m.digitando = valor;
  }
  // The body's line breaks, whatever they were, travel on as CR LF.
  if (pos < payload.size()) {
    const std::vector<std::string> linhas = DividirLinhas(payload.substr(pos));
    for (std::size_t i = 0; i < linhas.size(); ++i) {
      if (i > 0) m.corpo += "\r\n";
      m.corpo += linhas[i];
    }
    m.corpo = RemoverQuebrasFinais(m.corpo);
  }
  return m;
}

std::string MontarMensagemDeTexto(std::string_view textoUtf8) {
  std::string p =
      "MIME-Version: 1.0\r\n"
      "Content-Type: text/plain; charset=UTF-8\r\n"
      "X-MMS-IM-Format: FN=Microsoft%20Sans%20Serif; EF=; CO=0; CS=0; PF=22\r\n"
      "\r\n";
  p.append(textoUtf8);
  return p;
}

std::string MontarAvisoDeDigitacao(std::string_view login) {
  std::string p =
      "MIME-Version: 1.0\r\n"
      "Content-Type: text/x-msmsgscontrol\r\n"
      "TypingUser: ";
  p.append(login).append("\r\n\r\n\r\n");
  return p;
}

TFonteMSN LerFormatoDeFonte(std::string_view valor) {
  TFonteMSN f;
  while (!valor.empty()) {
    const std::size_t fim = valor.find(';');
    const std::string_view item = Aparar(valor.substr(0, fim));
    valor = fim == std::string_view::npos ? std::string_view() : valor.substr(fim + 1);
    const std::size_t igual = item.find('=');
    if (igual == std::string_view::npos) continue;
    const std::string_view nome = item.substr(0, igual);
    const std::string_view v = item.substr(igual + 1);
    if (nome == "FN") {
      f.nome = DecodificarApelido(v);
    } else if (nome == "EF") {
      f.negrito = v.find('B') != std::string_view::npos;
      f.italico = v.find('I') != std::string_view::npos;
      f.riscado = v.find('S') != std::string_view::npos;
      f.sublinhado = v.find('U') != std::string_view::npos;
    } else if (nome == "CO") {
      uint32_t cor = 0;
      for (const char c : v) {
        // Lower-case digits are as good as upper-case ones; anything else is 0.
        const int d = c >= '0' && c <= '9'   ? c - '0'
                      : c >= 'A' && c <= 'F' ? c - 'A' + 10
                      : c >= 'a' && c <= 'f' ? c - 'a' + 10
                                             : 0;
        cor = (cor << 4) | static_cast<uint32_t>(d);
      }
      f.cor = cor;
    }
  }
  return f;
}

}  // namespace tazu::msn
