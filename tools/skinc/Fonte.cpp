#include "tools/skinc/Fonte.h"

#include <charconv>
#include <fstream>
#include <sstream>

#include "base/Cp1252.h"

namespace tazu::skinc {

namespace {

// Splits at blanks outside double quotes; quotes stay in the words.
std::vector<std::string> Palavras(const std::string& linha) {
  std::vector<std::string> saida;
  std::string atual;
  bool aspas = false;
  for (std::size_t i = 0; i < linha.size(); ++i) {
    const char c = linha[i];
    if (c == '"') aspas = !aspas;
    if (!aspas && (c == ' ' || c == '\t')) {
      if (!atual.empty()) saida.push_back(std::move(atual));
      atual.clear();
      continue;
    }
    // A comment is a '#' standing alone as a word's start; "#1E2D45" is a colour.
    const bool sozinho = i + 1 == linha.size() || linha[i + 1] == ' ' || linha[i + 1] == '\t';
    if (!aspas && c == '#' && atual.empty() && sozinho) break;
    atual += c;
  }
  if (!atual.empty()) saida.push_back(std::move(atual));
  return saida;
}

std::string SemAspas(std::string v) {
  if (v.size() >= 2 && v.front() == '"' && v.back() == '"') v = v.substr(1, v.size() - 2);
  return v;
}

bool Inteiro(const std::string& v, int& saida) {
  const char* fim = v.data() + v.size();
  auto [p, ec] = std::from_chars(v.data(), fim, saida);
  return ec == std::errc() && p == fim;
}

bool Cor(const std::string& v, uint32_t& saida) {
  if (v.size() != 7 || v[0] != '#') return false;
  unsigned rgb = 0;
  auto [p, ec] = std::from_chars(v.data() + 1, v.data() + 7, rgb, 16);
  if (ec != std::errc() || p != v.data() + 7) return false;
  saida = ((rgb >> 16) & 0xFF) | (rgb & 0xFF00) | ((rgb & 0xFF) << 16);
  return true;
}

class TLeitor {
 public:
  TLeitor(std::string arquivo, int linha) : arquivo_(std::move(arquivo)), linha_(linha) {}

  bool Falha(const std::string& msg, std::string& erro) const {
    erro = arquivo_ + ":" + std::to_string(linha_) + ": " + msg;
    return false;
  }

  // key=value pairs into a record; art and page go apart.
  bool Campos(const std::vector<std::string>& pal, std::size_t desde, TElementoFonte& e,
              std::string& erro) {
    TRegistroFeicao& r = e.Registro;
    r.DefinirAnchorLeft(true);
    r.DefinirAnchorTop(true);
    for (std::size_t i = desde; i < pal.size(); ++i) {
      const auto igual = pal[i].find('=');
      if (igual == std::string::npos) return Falha("expected key=value: " + pal[i], erro);
      const std::string chave = pal[i].substr(0, igual);
      const std::string valor = SemAspas(pal[i].substr(igual + 1));
      int n = 0;
      uint32_t cor = 0;
      if (chave == "left" || chave == "top") {
        const bool centro = valor == "center";
        if (!centro && !Inteiro(valor, n)) return Falha("bad number: " + pal[i], erro);
        if (chave == "left") {
          r.DefinirAnchorLeft(true);
          r.DefinirLeft(centro ? -1 : n);
        } else {
          r.DefinirAnchorTop(true);
          r.DefinirTop(centro ? -1 : n);
        }
      } else if (chave == "fromright" || chave == "frombottom") {
        if (!Inteiro(valor, n)) return Falha("bad number: " + pal[i], erro);
        if (chave == "fromright") {
          r.DefinirAnchorLeft(false);
          r.DefinirLeft(n);
        } else {
          r.DefinirAnchorTop(false);
          r.DefinirTop(n);
        }
      } else if (chave == "width" || chave == "height" || chave == "minwidth" ||
                 chave == "minheight" || chave == "resize" || chave == "labelkind" ||
                 chave == "align") {
        if (!Inteiro(valor, n)) return Falha("bad number: " + pal[i], erro);
        if (chave == "width") r.DefinirWidth(n);
        if (chave == "height") r.DefinirHeight(n);
        if (chave == "minwidth") r.DefinirMinWidth(n);
        if (chave == "minheight") r.DefinirMinHeight(n);
        if (chave == "resize") r.DefinirResizeKind(static_cast<uint8_t>(n));
        if (chave == "labelkind") r.DefinirLabelKind(static_cast<uint8_t>(n));
        if (chave == "align") r.DefinirAlignment(static_cast<uint8_t>(n));
      } else if (chave == "color" || chave == "fontcolor" || chave == "disabledcolor") {
        if (!Cor(valor, cor)) return Falha("bad colour (#RRGGBB): " + pal[i], erro);
        if (chave == "color") r.DefinirColor(cor);
        if (chave == "fontcolor") r.DefinirFontColor(cor);
        if (chave == "disabledcolor") r.DefinirDisabledColor(cor);
      } else if (chave == "text") {
        const std::string t = ParaRegistro(valor);
        if (t.size() > campos::TextMaximo) return Falha("text longer than 30 characters", erro);
        r.DefinirText(t);
      } else if (chave == "codes") {
        std::stringstream lista(valor);
        std::string codigo;
        int linha = 0;
        while (std::getline(lista, codigo, ',')) {
          if (!Inteiro(codigo, n) || !r.DefinirCodigoDeOpcao(linha++, static_cast<uint8_t>(n))) {
            return Falha("bad option code list: " + pal[i], erro);
          }
        }
      } else if (chave == "arte") {
        const auto doisPontos = valor.find(':');
        e.Arte.Tipo = valor.substr(0, doisPontos);
        if (doisPontos != std::string::npos) e.Arte.Texto = SemAspas(valor.substr(doisPontos + 1));
      } else if (chave == "pagina") {
        e.Pagina = valor;
      } else {
        e.Extras[chave] = valor;
      }
    }
    return true;
  }

 private:
  std::string arquivo_;
  int linha_;
};

}  // namespace

std::string ParaRegistro(const std::string& utf8) {
  return cp1252::FromUtf8(utf8);
}

bool LerFonte(const std::string& caminho, TDescritorFonte& saida, std::string& erro) {
  std::ifstream arquivo(caminho);
  if (!arquivo) {
    erro = caminho + ": cannot open";
    return false;
  }
  saida = {};
  std::string linha;
  int numero = 0;
  bool temJanela = false;
  while (std::getline(arquivo, linha)) {
    ++numero;
    const auto pal = Palavras(linha);
    if (pal.empty()) continue;
    TLeitor leitor(caminho, numero);
    const std::string& cmd = pal[0];
    if (cmd == "descritor" && pal.size() == 2) {
      saida.Arquivo = pal[1];
    } else if (cmd == "titulo" && pal.size() >= 2) {
      saida.Titulo = SemAspas(pal[1]);
      for (std::size_t i = 2; i < pal.size(); ++i) {
        if (pal[i] == "logo") saida.Logo = true;
        if (pal[i].rfind("barra=", 0) == 0 && !Inteiro(pal[i].substr(6), saida.BarraDeTitulo)) {
          return leitor.Falha("bad title bar height", erro);
        }
      }
    } else if (cmd == "moldura" && pal.size() >= 2) {
      saida.TemMoldura = true;
      TMolduraFonte& m = saida.Moldura;
      m.Nome = pal[1];
      for (std::size_t i = 2; i < pal.size(); ++i) {
        const auto igual = pal[i].find('=');
        const std::string chave = pal[i].substr(0, igual);
        const std::string valor = igual == std::string::npos ? "" : pal[i].substr(igual + 1);
        bool ok = true;
        if (chave == "corte") {
          const auto virgula = valor.find(',');
          ok = virgula != std::string::npos && Inteiro(valor.substr(0, virgula), m.CorteX) &&
               Inteiro(valor.substr(virgula + 1), m.CorteY);
        } else if (chave == "cortebase") {
          ok = Inteiro(valor, m.CorteBaseX);
        } else if (chave == "base") {
          ok = Inteiro(valor, m.Base);
        } else if (chave == "lado") {
          ok = Inteiro(valor, m.Lado);
        } else if (chave == "ladrilho") {
          ok = Inteiro(valor, m.Ladrilho) && m.Ladrilho > 0;
        } else {
          ok = false;
        }
        if (!ok) return leitor.Falha("bad frame option: " + pal[i], erro);
      }
    } else if (cmd == "faixa" && pal.size() >= 2) {
      if (!Inteiro(pal[1], saida.Faixa)) return leitor.Falha("bad band height", erro);
      if (pal.size() >= 3 && !Cor(pal[2], saida.CorDaFaixa))
        return leitor.Falha("bad colour", erro);
    } else if (cmd == "arte" && pal.size() >= 3) {
      TElementoFonte e;
      e.Linha = numero;
      e.Registro.DefinirNome(pal[1]);
      if (!leitor.Campos(pal, 2, e, erro)) return false;
      saida.Artes.push_back(e);
    } else if (cmd == "pagina" && pal.size() >= 2) {
      TPaginaFonte p;
      p.Arquivo = pal[1];
      TElementoFonte tmp;
      if (!leitor.Campos(pal, 2, tmp, erro)) return false;
      p.Largura = tmp.Registro.Width();
      p.Altura = tmp.Registro.Height();
      p.Cor = tmp.Registro.Color();
      if (auto it = tmp.Extras.find("titulo"); it != tmp.Extras.end()) p.Titulo = it->second;
      if (p.Largura <= 0 || p.Altura <= 0) return leitor.Falha("a page needs its size", erro);
      saida.Paginas.push_back(p);
    } else if (cmd == "janela") {
      if (temJanela) return leitor.Falha("second window record", erro);
      TElementoFonte e;
      e.Linha = numero;
      if (!leitor.Campos(pal, 1, e, erro)) return false;
      e.Registro.DefinirNome("Janela");
      saida.Elementos.insert(saida.Elementos.begin(), e);
      temJanela = true;
    } else if (cmd == "elemento" && pal.size() >= 3) {
      if (!temJanela) return leitor.Falha("the window record comes first", erro);
      TElementoFonte e;
      e.Linha = numero;
      int id = 0;
      if (!Inteiro(pal[1], id) || id < 0 || id > 255) return leitor.Falha("bad element id", erro);
      e.Registro.DefinirId(static_cast<uint8_t>(id));
      e.Registro.DefinirNome(pal[2]);
      if (!leitor.Campos(pal, 3, e, erro)) return false;
      saida.Elementos.push_back(e);
    } else {
      return leitor.Falha("unknown line: " + linha, erro);
    }
  }
  if (saida.Arquivo.empty()) {
    erro = caminho + ": no 'descritor' line";
    return false;
  }
  if (!temJanela) {
    erro = caminho + ": no 'janela' record";
    return false;
  }
  return true;
}

}  // namespace tazu::skinc
