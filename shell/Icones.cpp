#include "shell/Icones.h"

#include "core/Caminhos.h"
#include "core/UGlobal.h"
#include "skin/Skin.h"

namespace tazu {

namespace {

// One line of "Icones.dsc": a folder of the skin and an extension, "§" between.
struct TLinhaDsc {
  std::string Pasta;
  std::string Extensao;
};

std::vector<TLinhaDsc> LerDsc() {
  std::string conteudo;
  if (LerArquivo(CaminhoNaSkin("Icones.dsc"), conteudo) != TLeitura::Lido) return {};
  std::vector<TLinhaDsc> linhas;
  for (std::string linha : DividirLinhas(conteudo)) {
    TLinhaDsc l;
    l.Pasta = ProximoCampo(linha, Separador);
    l.Extensao = linha;
    linhas.push_back(std::move(l));
  }
  return linhas;
}

std::string NomeDoStatus(const TLinhaDsc& l, int codigo) {
  return l.Pasta + "Status" + std::to_string(codigo) + "." + l.Extensao;
}

}  // namespace

QPixmap TIcones::Figura(const std::string& relativo) {
  const std::string extensao =
      relativo.size() >= 3 ? MaiusculasAnsi(relativo.substr(relativo.size() - 3)) : std::string();
  if (extensao == "BMP") return QPixmap::fromImage(SemCor(CarregarImagemDaSkin(relativo)));
  if (extensao == "ICO") return QPixmap::fromImage(CarregarImagemDaSkin(relativo));
  return {};
}

TIcones TIcones::Carregar() {
  TIcones icones;
  const std::vector<TLinhaDsc> dsc = LerDsc();
  for (int codigo : CodigosDasImagens) {
    icones.Contatos.push_back(dsc.size() >= 1 ? Figura(NomeDoStatus(dsc[0], codigo)) : QPixmap());
    icones.Menu.push_back(dsc.size() >= 2 ? Figura(NomeDoStatus(dsc[1], codigo)) : QPixmap());
    icones.Bandeja.emplace_back(Figura("Icones\\Tray\\Status" + std::to_string(codigo) + ".ico"));
  }
  icones.Contatos.push_back(Figura("Icones\\Sistema\\TelaMsg.bmp"));
  for (const char* origem : {"Celular", "Globo", "ICQ1", "ICQ2", "MSN1", "MSN2", "YAH1", "YAH2"}) {
    icones.Contatos.push_back(Figura(std::string("Icones\\Origens\\") + origem + ".bmp"));
  }
  icones.Bandeja.emplace_back(Figura("Icones\\Sistema\\TelaMsg.ico"));
  if (dsc.size() >= 3) icones.DiretorioStatusGrande = dsc[2].Pasta;
  return icones;
}

}  // namespace tazu
