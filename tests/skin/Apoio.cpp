#include "tests/skin/Apoio.h"

#include <gtest/gtest.h>

#include <QMouseEvent>
#include <fstream>

#include "skin/UFeicoesVariaveis.h"

namespace tazu::teste {

namespace {

int argc = 1;
char nome[] = "skin-tests";
char* argv[] = {nome, nullptr};
QApplication* aplicacao = nullptr;

// The application goes away once the tests are over, while Qt is still whole;
// a static one would outlive Qt's own statics and crash the exit.
class TAmbiente : public ::testing::Environment {
 public:
  void TearDown() override {
    delete aplicacao;
    aplicacao = nullptr;
  }
};

[[maybe_unused]] ::testing::Environment* const ambiente =
    ::testing::AddGlobalTestEnvironment(new TAmbiente);

}  // namespace

QApplication& Aplicacao() {
  if (!aplicacao) aplicacao = new QApplication(argc, argv);
  return *aplicacao;
}

void TSkinTemporaria::Descritor(const std::string& nome,
                                const std::vector<TRegistroFeicao>& registros) const {
  std::ofstream(Skin() / nome, std::ios::binary) << CodificarDescritor(registros);
}

void TSkinTemporaria::Imagem(const std::string& relativo, const QImage& imagem) const {
  const auto caminho = Skin() / relativo;
  std::filesystem::create_directories(caminho.parent_path());
  imagem.convertToFormat(QImage::Format_RGB32)
      .save(QString::fromStdString(caminho.string()), "BMP");
}

std::string DiretorioDaSkinPadrao() {
  return TAZU_DIRETORIO_DOS_PROGRAMAS;
}

QImage Cheia(int largura, int altura, QRgb cor) {
  QImage i(largura, altura, QImage::Format_RGB32);
  i.fill(cor);
  return i;
}

namespace {
void Enviar(QWidget* alvo, QEvent::Type tipo, QPoint p, Qt::MouseButton botao,
            Qt::MouseButtons botoes) {
  QMouseEvent e(tipo, QPointF(p), QPointF(alvo->mapToGlobal(p)), botao, botoes, Qt::NoModifier);
  QApplication::sendEvent(alvo, &e);
}
}  // namespace

void Pressionar(QWidget* alvo, QPoint p) {
  Enviar(alvo, QEvent::MouseButtonPress, p, Qt::LeftButton, Qt::LeftButton);
}
void Mover(QWidget* alvo, QPoint p, bool botao) {
  Enviar(alvo, QEvent::MouseMove, p, Qt::NoButton, botao ? Qt::LeftButton : Qt::NoButton);
}
void Soltar(QWidget* alvo, QPoint p) {
  Enviar(alvo, QEvent::MouseButtonRelease, p, Qt::LeftButton, Qt::NoButton);
}
void Clicar(QWidget* alvo, QPoint p) {
  Mover(alvo, p);
  Pressionar(alvo, p);
  Soltar(alvo, p);
}

}  // namespace tazu::teste
