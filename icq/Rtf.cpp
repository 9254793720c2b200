#include "icq/Rtf.h"

#include <cstdlib>
#include <vector>

#include "base/Cp1252.h"

namespace tazu::icq {

namespace {

int Hex(char c) {
  if (c >= '0' && c <= '9') return c - '0';
  if (c >= 'a' && c <= 'f') return c - 'a' + 10;
  if (c >= 'A' && c <= 'F') return c - 'A' + 10;
  return -1;
}

bool Letra(char c) {
  return (c >= 'a' && c <= 'z') || (c >= 'A' && c <= 'Z');
}

// Destinations whose text is never shown.
bool Oculto(std::string_view palavra) {
  for (std::string_view d :
       {"fonttbl", "colortbl", "stylesheet", "info", "pict", "header", "footer", "listtable",
        "listoverridetable", "rsidtbl", "generator", "themedata", "latentstyles", "object"}) {
    if (palavra == d) return true;
  }
  return false;
}

struct TLeitorRtf {
  std::string_view s;
  std::size_t i = 0;
  std::string saida;
  struct TGrupo {
    bool oculto;
    int uc;  // fallback characters after \uN
  };
  std::vector<TGrupo> grupos{{false, 1}};
  int pularFallback = 0;
  bool inicioDeGrupo = false;

  bool Oculto() const { return grupos.back().oculto; }

  void Texto(char c) {
    if (pularFallback > 0) {
      --pularFallback;
      return;
    }
    if (!Oculto()) saida += c;
  }

  void PalavraDeControle() {
    const std::size_t inicio = i;
    while (i < s.size() && Letra(s[i])) ++i;
    const std::string_view palavra = s.substr(inicio, i - inicio);
    bool negativo = false;
    if (i < s.size() && s[i] == '-') {
      negativo = true;
      ++i;
    }
    long n = 0;
    bool temNumero = false;
    while (i < s.size() && s[i] >= '0' && s[i] <= '9' && n < 1000000) {
      n = n * 10 + (s[i++] - '0');
      temNumero = true;
    }
    if (negativo) n = -n;
    if (i < s.size() && s[i] == ' ') ++i;  // the delimiter belongs to the word
    Aplicar(palavra, n, temNumero);
  }

  void Aplicar(std::string_view palavra, long n, bool temNumero) {
    if (inicioDeGrupo && ::tazu::icq::Oculto(palavra)) grupos.back().oculto = true;
    inicioDeGrupo = false;
    if (palavra == "par" || palavra == "line") {
      if (!Oculto()) saida += "\r\n";
    } else if (palavra == "tab") {
      Texto('\t');
    } else if (palavra == "uc" && temNumero) {
      grupos.back().uc = static_cast<int>(std::abs(n) % 10);
    } else if (palavra == "u" && temNumero) {
      const long cp = n < 0 ? n + 65536 : n;
      const int b = cp1252::ByteFor(static_cast<char32_t>(cp));
      if (!Oculto()) saida += b < 0 ? '?' : static_cast<char>(b);
      pularFallback = grupos.back().uc;
    }
  }

  void Barra() {
    ++i;
    if (i >= s.size()) return;
    const char c = s[i];
    if (c == '\'') {
      const int a = i + 1 < s.size() ? Hex(s[i + 1]) : -1;
      const int b = i + 2 < s.size() ? Hex(s[i + 2]) : -1;
      if (a >= 0 && b >= 0) {
        Texto(static_cast<char>(a * 16 + b));
        i += 3;
      } else {
        ++i;
      }
    } else if (c == '*') {
      grupos.back().oculto = true;
      ++i;
    } else if (Letra(c)) {
      PalavraDeControle();
    } else {
      if (c == '\\' || c == '{' || c == '}') Texto(c);
      if (c == '~') Texto('\xA0');
      ++i;
    }
  }

  void Ler() {
    while (i < s.size()) {
      const char c = s[i];
      if (c == '{') {
        grupos.push_back(grupos.back());
        inicioDeGrupo = true;
        ++i;
        continue;
      }
      if (c == '}') {
        if (grupos.size() > 1) grupos.pop_back();
        ++i;
      } else if (c == '\\') {
        if (i + 1 < s.size() && !Letra(s[i + 1])) inicioDeGrupo = inicioDeGrupo && s[i + 1] == '*';
        Barra();
        continue;
      } else {
        if (c != '\r' && c != '\n') Texto(c);
        ++i;
      }
      inicioDeGrupo = false;
    }
  }
};

}  // namespace

std::string RtfParaTexto(std::string_view rtf) {
  if (rtf.substr(0, 5) != "{\\rtf") return std::string(rtf);
  TLeitorRtf l;
  l.s = rtf;
  l.Ler();
  // A document ends with a paragraph mark the reader does not show.
  while (l.saida.size() >= 2 && l.saida.compare(l.saida.size() - 2, 2, "\r\n") == 0)
    l.saida.resize(l.saida.size() - 2);
  return l.saida;
}

std::string TextoDaMensagem(std::string_view corpo) {
  const std::size_t p = corpo.find("{\\rtf1");
  if (p == std::string_view::npos) return std::string(corpo);
  return std::string(corpo.substr(0, p)) + RtfParaTexto(corpo.substr(p));
}

}  // namespace tazu::icq
