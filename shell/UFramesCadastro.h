// The pages of the registration wizard: who you are, more about you, privacy,
// and the two results (accepted with the new number, or refused with the
// server's reason). Each copies its boxes to and from the wizard's form.
#pragma once

#include <QCheckBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <functional>
#include <string>

#include "shell/Controles.h"
#include "shell/FichaCadastral.h"

namespace tazu {

class TListaDeFeicoes;

class TFrameCadastro1 : public TPagina {
 public:
  TFrameCadastro1(QWidget* pai, TListaDeFeicoes& feicoes, const TFichaCadastral& ficha);
  void Copiar(TFichaCadastral& ficha) const;
  QLineEdit *EdtApelido, *EdtNome, *EdtEMail, *EdtSenha, *EdtConfirma;
  QCheckBox* ChkSenha;
};

class TFrameCadastro2 : public TPagina {
 public:
  TFrameCadastro2(QWidget* pai, TListaDeFeicoes& feicoes, const TFichaCadastral& ficha);
  void Copiar(TFichaCadastral& ficha) const;
  // A mobile number that is neither empty nor ten digits: the user is told,
  // the box emptied and given the focus. False then.
  bool VerificarCelular();
  // Tells the user.
  std::function<void(const std::string&)> AoRecusar;

  QCheckBox *ChkMasculino, *ChkFeminino;
  QLineEdit *EdtCidade, *EdtEstado, *EdtPais, *EdtCEP, *EdtCelular, *EdtCasa, *EdtTrabalho;
  QLineEdit* EdtLingua[3];
  QLineEdit *EdtNascimentoDia, *EdtNascimentoMes, *EdtNascimentoAno;

 protected:
  bool eventFilter(QObject* objeto, QEvent* evento) override;

 private:
  bool avisando_ = false;
};

class TFrameCadastro3 : public TPagina {
 public:
  TFrameCadastro3(QWidget* pai, TListaDeFeicoes& feicoes, const TFichaCadastral& ficha);
  void Copiar(TFichaCadastral& ficha) const;
  QLabel *LblApelido, *LblNome;
  QCheckBox *ChkAutorizacao, *ChkPublicacao;
};

class TFrameCadastroOk : public TPagina {
 public:
  TFrameCadastroOk(QWidget* pai, TListaDeFeicoes& feicoes);
  QLabel *LblApelido, *LblNIU;
  QPlainTextEdit* StxBoasVindas;
};

class TFrameCadastroErro : public TPagina {
 public:
  TFrameCadastroErro(QWidget* pai, TListaDeFeicoes& feicoes);
  QPlainTextEdit* StxErro;
};

}  // namespace tazu
