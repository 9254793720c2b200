// The wait window: two lines of text and the sending animation, shown while the
// program waits for the server. Only one exists at a time; asking for another
// while it is open changes nothing.
#pragma once

#include <QLabel>
#include <QPointer>
#include <QTimer>
#include <string>

#include "skin/Animacao.h"
#include "skin/UFrmEncapado.h"

namespace tazu {

class TFrmAguarde : public TFrmEncapado {
 public:
  TFrmAguarde();

  // Windows-1252.
  void DefinirLinhas(const std::string& linha1, const std::string& linha2);
  QLabel* Linha1() const { return linha1_; }
  QLabel* Linha2() const { return linha2_; }
  TAnimacao* Animacao() const { return animacao_; }

 private:
  QLabel* linha1_;
  QLabel* linha2_;
  TAnimacao* animacao_;
};

// The one wait window of the program. Everything runs on the main thread, so
// "at most one open" needs no lock: the check and the creation cannot be
// interleaved.
class TAguarde {
 public:
  static TAguarde& Instancia();

  // Opens the window with its two lines, modal (returns when it closes) or
  // not; does nothing while one is open.
  void Mostrar(const std::string& linha1, const std::string& linha2, bool modal);
  // Closes the open window from the main loop, a short moment later, so a
  // caller in the middle of an event may close it safely.
  void Fechar();
  void FecharAgora();

  TFrmAguarde* Janela() const { return janela_; }
  bool Aberta() const { return janela_ != nullptr; }

  static constexpr int IntervaloDeFechamento = 200;  // ms

 private:
  TAguarde() = default;
  QTimer& Temporizador();

  QPointer<TFrmAguarde> janela_;
  QPointer<QTimer> temporizador_;
};

}  // namespace tazu
