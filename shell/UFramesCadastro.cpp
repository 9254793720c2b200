#include "shell/UFramesCadastro.h"

#include <QEvent>
#include <QTimer>

#include "core/FormatarNome.h"
#include "shell/Textos.h"
#include "skin/Skin.h"
#include "skin/Texto.h"
#include "skin/UFeicoesVariaveis.h"

namespace tazu {

namespace {

// Puts a new control of the page where element `id` says.
template <typename T>
T* Em(TPagina& pagina, TListaDeFeicoes& feicoes, uint8_t id, T* controle) {
  if (const TFeicao* f = feicoes.PorId(id)) pagina.Colocar(*controle, f->Registro);
  return controle;
}

QLineEdit* Caixa(TPagina& p, TListaDeFeicoes& f, uint8_t id, int maximo, bool senha = false) {
  return Em(p, f, id, NovaCaixa(&p, maximo, senha));
}

QCheckBox* Marca(TPagina& p, TListaDeFeicoes& f, uint8_t id, std::string_view texto) {
  auto* c = new QCheckBox(ParaQString(texto), &p);
  c->setFont(FonteDaSkin(8));
  return Em(p, f, id, c);
}

QLabel* Rotulo(TPagina& p, TListaDeFeicoes& f, uint8_t id, bool negrito = false) {
  auto* l = new QLabel(&p);
  l->setTextFormat(Qt::PlainText);
  l->setFont(FonteDaSkin(8, negrito));
  return Em(p, f, id, l);
}

QPlainTextEdit* Texto(TPagina& p, TListaDeFeicoes& f, uint8_t id) {
  auto* t = new QPlainTextEdit(&p);
  t->setReadOnly(true);
  t->setFrameShape(QFrame::NoFrame);
  t->setFont(FonteDaSkin(8));
  return Em(p, f, id, t);
}

QString Q(const std::string& s) {
  return ParaQString(s);
}
std::string T(const QLineEdit* e) {
  return ParaCp1252(e->text());
}

}  // namespace

// ---- Page 0: who you are ----------------------------------------------------

TFrameCadastro1::TFrameCadastro1(QWidget* pai, TListaDeFeicoes& f, const TFichaCadastral& ficha)
    : TPagina(pai, "Cadastro\\C1.bmp") {
  resize(pai->size());
  EdtApelido = Caixa(*this, f, 20, 15);
  EdtNome = Caixa(*this, f, 21, 35);
  EdtEMail = Caixa(*this, f, 22, 35);
  EdtSenha = Caixa(*this, f, 23, 15, true);
  EdtConfirma = Caixa(*this, f, 24, 15, true);
  ChkSenha = Marca(*this, f, 25, textos_shell::LembrarSenhaNoComputador);
  EdtApelido->setText(Q(ficha.Apelido));
  EdtNome->setText(Q(ficha.Nome));
  EdtEMail->setText(Q(ficha.EMail));
  EdtSenha->setText(Q(ficha.Senha));
  EdtConfirma->setText(Q(ficha.Confirmacao));
  ChkSenha->setChecked(ficha.LembrarSenha);
  connect(EdtNome, &QLineEdit::editingFinished, this,
          [this] { EdtNome->setText(Q(FormatarNome(T(EdtNome)))); });
}

void TFrameCadastro1::Copiar(TFichaCadastral& ficha) const {
  ficha.Apelido = T(EdtApelido);
  ficha.Nome = T(EdtNome);
  ficha.EMail = T(EdtEMail);
  ficha.Senha = T(EdtSenha);
  ficha.Confirmacao = T(EdtConfirma);
  ficha.LembrarSenha = ChkSenha->isChecked();
}

// ---- Page 1: more about you ---------------------------------------------------

TFrameCadastro2::TFrameCadastro2(QWidget* pai, TListaDeFeicoes& f, const TFichaCadastral& ficha)
    : TPagina(pai, "Cadastro\\C2.bmp") {
  resize(pai->size());
  ChkMasculino = Marca(*this, f, 30, textos_shell::Masculino);
  ChkFeminino = Marca(*this, f, 31, textos_shell::Feminino);
  EdtNascimentoDia = Caixa(*this, f, 42, 2);
  EdtNascimentoMes = Caixa(*this, f, 43, 2);
  EdtNascimentoAno = Caixa(*this, f, 44, 4);
  EdtCidade = Caixa(*this, f, 32, 50);
  EdtEstado = Caixa(*this, f, 33, 25);
  EdtPais = Caixa(*this, f, 34, 50);
  EdtCEP = Caixa(*this, f, 35, 10);
  EdtCelular = Caixa(*this, f, 36, 15);
  EdtCasa = Caixa(*this, f, 37, 15);
  EdtTrabalho = Caixa(*this, f, 38, 15);
  for (int i = 0; i < 3; ++i) EdtLingua[i] = Caixa(*this, f, static_cast<uint8_t>(39 + i), 20);
  for (QLineEdit* e : {EdtNascimentoDia, EdtNascimentoMes, EdtNascimentoAno, EdtCelular})
    SomenteAlgarismos(*e);
  // Either sex or none: choosing one gives the other up.
  connect(ChkMasculino, &QCheckBox::toggled, this, [this](bool v) {
    if (v) ChkFeminino->setChecked(false);
  });
  connect(ChkFeminino, &QCheckBox::toggled, this, [this](bool v) {
    if (v) ChkMasculino->setChecked(false);
  });
  // A full day or month moves on by itself.
  connect(EdtNascimentoDia, &QLineEdit::textEdited, this, [this](const QString& t) {
    if (t.size() == 2 && EdtNascimentoDia->hasFocus()) EdtNascimentoMes->setFocus();
  });
  connect(EdtNascimentoMes, &QLineEdit::textEdited, this, [this](const QString& t) {
    if (t.size() == 2 && EdtNascimentoMes->hasFocus()) EdtNascimentoAno->setFocus();
  });
  EdtCelular->installEventFilter(this);

  ChkMasculino->setChecked(ficha.Sexo == 'M');
  ChkFeminino->setChecked(ficha.Sexo == 'F');
  const std::pair<QLineEdit*, const std::string*> valores[] = {{EdtCidade, &ficha.Cidade},
                                                               {EdtEstado, &ficha.Estado},
                                                               {EdtPais, &ficha.Pais},
                                                               {EdtCEP, &ficha.CEP},
                                                               {EdtCelular, &ficha.Celular},
                                                               {EdtCasa, &ficha.Casa},
                                                               {EdtTrabalho, &ficha.Trabalho},
                                                               {EdtLingua[0], &ficha.Linguas[0]},
                                                               {EdtLingua[1], &ficha.Linguas[1]},
                                                               {EdtLingua[2], &ficha.Linguas[2]},
                                                               {EdtNascimentoDia, &ficha.Dia},
                                                               {EdtNascimentoMes, &ficha.Mes},
                                                               {EdtNascimentoAno, &ficha.Ano}};
  for (const auto& [caixa, valor] : valores) caixa->setText(Q(*valor));
}

void TFrameCadastro2::Copiar(TFichaCadastral& ficha) const {
  ficha.Sexo = ChkMasculino->isChecked() ? 'M' : ChkFeminino->isChecked() ? 'F' : 'D';
  ficha.Cidade = T(EdtCidade);
  ficha.Estado = T(EdtEstado);
  ficha.Pais = T(EdtPais);
  ficha.CEP = T(EdtCEP);
  ficha.Celular = T(EdtCelular);
  ficha.Casa = T(EdtCasa);
  ficha.Trabalho = T(EdtTrabalho);
  for (std::size_t i = 0; i < 3; ++i) ficha.Linguas[i] = T(EdtLingua[i]);
  ficha.Dia = T(EdtNascimentoDia);
  ficha.Mes = T(EdtNascimentoMes);
  ficha.Ano = T(EdtNascimentoAno);
}

bool TFrameCadastro2::VerificarCelular() {
  if (CelularAceito(T(EdtCelular))) return true;
  // The box below takes the focus: that must not check the number again.
  avisando_ = true;
  if (AoRecusar) AoRecusar(std::string(textos_shell::AvisoCelular));
  avisando_ = false;
  EdtCelular->clear();
  EdtCelular->setFocus();
  return false;
}

bool TFrameCadastro2::eventFilter(QObject* objeto, QEvent* evento) {
  if (objeto == EdtCelular && evento->type() == QEvent::FocusOut && !avisando_) {
    QTimer::singleShot(0, this, [this] { VerificarCelular(); });
  }
  return TPagina::eventFilter(objeto, evento);
}

// ---- Page 2: summary and privacy ---------------------------------------------

TFrameCadastro3::TFrameCadastro3(QWidget* pai, TListaDeFeicoes& f, const TFichaCadastral& ficha)
    : TPagina(pai, "Cadastro\\C3.bmp") {
  resize(pai->size());
  LblApelido = Rotulo(*this, f, 50, true);
  LblNome = Rotulo(*this, f, 51);
  ChkAutorizacao = Marca(*this, f, 52, textos_shell::ExigirAutorizacao);
  ChkPublicacao = Marca(*this, f, 53, textos_shell::PublicarDados);
  LblApelido->setText(Q(ficha.Apelido));
  LblNome->setText(Q(ficha.Nome));
  ChkAutorizacao->setChecked(ficha.ExigeAutorizacao);
  ChkPublicacao->setChecked(!ficha.NaoPublicar);
}

void TFrameCadastro3::Copiar(TFichaCadastral& ficha) const {
  ficha.ExigeAutorizacao = ChkAutorizacao->isChecked();
  ficha.NaoPublicar = !ChkPublicacao->isChecked();
}

// ---- Results -------------------------------------------------------------------

TFrameCadastroOk::TFrameCadastroOk(QWidget* pai, TListaDeFeicoes& f)
    : TPagina(pai, "Cadastro\\COk.bmp") {
  resize(pai->size());
  LblApelido = Rotulo(*this, f, 60, true);
  LblNIU = Rotulo(*this, f, 61, true);
  StxBoasVindas = Texto(*this, f, 62);
}

TFrameCadastroErro::TFrameCadastroErro(QWidget* pai, TListaDeFeicoes& f)
    : TPagina(pai, "Cadastro\\CErro.bmp") {
  resize(pai->size());
  StxErro = Texto(*this, f, 70);
}

}  // namespace tazu
