#include "skin/UFeicoesVariaveis.h"

#include <QFile>
#include <QGuiApplication>
#include <QPainter>
#include <QScreen>
#include <algorithm>
#include <map>

#include "skin/Skin.h"

namespace tazu {

TListaDeFeicoes::TListaDeFeicoes() {
  AoLiberar = [](TFeicao* f) { delete f; };
}

TListaDeFeicoes::~TListaDeFeicoes() {
  Limpar();
}

TFeicao* TListaDeFeicoes::Adicionar(const TRegistroFeicao& registro) {
  auto* feicao = new TFeicao{registro, {}};
  IrPara(-1);
  Inserir(feicao);
  return feicao;
}

void TListaDeFeicoes::Carregar(const std::string& caminho) {
  Limpar();
  std::vector<TRegistroFeicao> registros;
  LerDescritor(caminho, registros);
  for (const auto& r : registros) Adicionar(r);
}

TFeicao* TListaDeFeicoes::Janela() const {
  return Elemento(0);
}

TFeicao* TListaDeFeicoes::Elemento(std::size_t indice) const {
  std::size_t i = 0;
  for (TFeicao* f : *this) {
    if (i++ == indice) return f;
  }
  return nullptr;
}

TFeicao* TListaDeFeicoes::PorId(uint8_t id) const {
  bool janela = true;
  for (TFeicao* f : *this) {
    if (!janela && f->Registro.Id() == id) return f;
    janela = false;
  }
  return nullptr;
}

TPecasMoldura CarregarPecas(const std::string& janela) {
  TPecasMoldura pecas;
  for (int i = 0; i < 8; ++i) {
    const QString caminho = CaminhoNaSkinQt(janela + "/" + NomesDasPecas[i] + ".bmp");
    if (QFile::exists(caminho)) pecas[i] = QImage(caminho);
  }
  return pecas;
}

namespace {
std::map<std::string, TPecasMoldura>& Compartilhadas() {
  static std::map<std::string, TPecasMoldura> conjuntos;
  return conjuntos;
}
}  // namespace

const TPecasMoldura& PecasCompartilhadas(const std::string& janela) {
  auto& conjuntos = Compartilhadas();
  auto it = conjuntos.find(janela);
  if (it == conjuntos.end()) it = conjuntos.emplace(janela, CarregarPecas(janela)).first;
  return it->second;
}

void RecarregarPecasCompartilhadas(const std::string& janela) {
  Compartilhadas()[janela] = CarregarPecas(janela);
}

namespace {

// Tiles that would not fit at all draw nothing: the count is rounded down, so a
// negative room gives a negative count.
int Repeticoes(int espaco, int passo) {
  if (passo <= 0) return -1;
  return espaco >= 0 ? espaco / passo : -((-espaco + passo - 1) / passo);
}

}  // namespace

void PintarMoldura(int altura, int largura, QPainter& tela, const TPecasMoldura& pecas,
                   const QColor& cor) {
  tela.fillRect(0, 0, largura, altura, cor);
  const QImage& se = pecas[SE];
  const int seL = se.width();
  const int seA = se.height();

  if (const QImage& p = pecas[CS]; !p.isNull()) {
    const int n = Repeticoes(largura - p.width() - seL, p.width());
    for (int i = 0; i <= n; ++i) tela.drawImage(seL + i * p.width(), 0, p);
  }
  if (const QImage& p = pecas[CD]; !p.isNull()) {
    const int n = Repeticoes(altura - p.height(), p.height());
    for (int i = 0; i <= n; ++i) tela.drawImage(largura - p.width(), i * p.height(), p);
  }
  if (const QImage& p = pecas[CI]; !p.isNull()) {
    const int n = Repeticoes(largura - p.width(), p.width());
    for (int i = 0; i <= n; ++i) tela.drawImage(i * p.width(), altura - p.height(), p);
  }
  if (const QImage& p = pecas[CE]; !p.isNull()) {
    const int n = Repeticoes(altura - p.height() - seA, p.height());
    for (int i = 0; i <= n; ++i) tela.drawImage(0, seA + i * p.height(), p);
  }
  if (!se.isNull()) tela.drawImage(0, 0, se);
  if (const QImage& p = pecas[SD]; !p.isNull()) tela.drawImage(largura - p.width(), 0, p);
  if (const QImage& p = pecas[ID]; !p.isNull()) {
    tela.drawImage(largura - p.width(), altura - p.height(), p);
  }
  if (const QImage& p = pecas[IE]; !p.isNull()) tela.drawImage(0, altura - p.height(), p);
}

QImage PintarMoldura(int altura, int largura, const TPecasMoldura& pecas, const QColor& cor) {
  QImage imagem(std::max(largura, 1), std::max(altura, 1), QImage::Format_RGB32);
  QPainter tela(&imagem);
  PintarMoldura(imagem.height(), imagem.width(), tela, pecas, cor);
  return imagem;
}

void PosicionarJanela(QWidget& janela, const TRegistroFeicao& registro) {
  QRect tela(0, 0, 1024, 768);
  if (const QScreen* s = QGuiApplication::primaryScreen()) tela = s->geometry();
  const TRetangulo r = PosicaoDaJanela(registro, ParaTamanho(tela.size()));
  QPalette paleta = janela.palette();
  paleta.setColor(QPalette::Window, CorDaSkin(registro.Color()));
  janela.setPalette(paleta);
  janela.resize(static_cast<int>(r.Largura()), static_cast<int>(r.Altura()));
  janela.move(tela.left() + r.Esquerda, tela.top() + r.Topo);
}

}  // namespace tazu
