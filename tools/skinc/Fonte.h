// The readable source of one skin descriptor: its records, plus what the
// compiler draws for each element into the window's frame or page pictures.
//
//   descritor Login.cap
//   moldura Login corte=150,150 base=40 lado=6
//   titulo "Tazu Messenger (Login)"
//   janela width=300 height=220 left=center top=center color=#EEF2F7
//   elemento 1 EdtNIU left=120 top=60 width=150 height=20 color=#FFFFFF arte=campo
//   elemento 4 BtnOk fromright=176 frombottom=36 width=80 height=26 arte=botao:"Entrar"
//   arte Rotulo left=20 top=62 width=95 height=16 arte=texto:"Senha:" fontcolor=#1E2D45
//
// left/top anchor to the near edge ("center" centres), fromright/frombottom to
// the far one; width/height of 0 or less stretch to that many pixels from the
// far edge. Colours are #RRGGBB.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "skin/Descritor.h"

namespace tazu::skinc {

struct TArte {
  std::string Tipo;   // what to draw ("campo", "botao", ...); empty draws nothing
  std::string Texto;  // its text or argument, UTF-8
};

struct TElementoFonte {
  TRegistroFeicao Registro;
  TArte Arte;
  std::string Pagina;                         // the page picture the art goes to; empty: the frame
  std::map<std::string, std::string> Extras;  // options of the art (negrito=1, ...)
  int Linha = 0;
};

struct TMolduraFonte {
  std::string Nome;  // frame set, a sub-directory of the skin
  int CorteX = 0, CorteY = 0;
  int CorteBaseX = -1;  // -1: same as CorteX
  int Base = 0;         // height of the bottom band
  int Lado = 0;         // width of the side borders
  int Ladrilho = 2;     // width/height of the tiled edge pieces
};

struct TPaginaFonte {
  std::string Arquivo;  // "Cadastro\C1.bmp"
  int Largura = 0, Altura = 0;
  uint32_t Cor = 0xFFFFFF;
  std::string Titulo;
};

struct TDescritorFonte {
  std::string Arquivo;  // "Login.cap"
  std::string Titulo;   // caption drawn in the title bar, UTF-8
  int BarraDeTitulo = 28;
  bool Logo = false;
  int Faixa = 0;  // height of the band under the title bar
  uint32_t CorDaFaixa = 0xF3E7DC;
  bool TemMoldura = false;
  TMolduraFonte Moldura;
  std::vector<TPaginaFonte> Paginas;
  std::vector<TElementoFonte> Elementos;  // [0] is the window record
  // Drawing only: laid out like elements, never written to the descriptor.
  std::vector<TElementoFonte> Artes;
};

// Reads one source; on error answers false with "file:line: message".
bool LerFonte(const std::string& caminho, TDescritorFonte& saida, std::string& erro);

// UTF-8 to the record's Windows-1252.
std::string ParaRegistro(const std::string& utf8);

}  // namespace tazu::skinc
