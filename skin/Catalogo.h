// What each skinned window makes of its descriptor's elements, element id by
// element id: the type the window's callback answers and, for the elements a
// window places itself, the kind of control it puts there. The gallery builds
// every window from this table; the tests hold each shipped descriptor to it.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "skin/UFrmEncapado.h"

namespace tazu::catalogo {

enum class TControle {
  Nenhum,
  Edicao,    // one-line edit box
  Senha,     // edit box showing '*'
  Texto,     // multi-line edit box
  Conversa,  // rich text view
  Marcador,  // check or radio box
  Rotulo,    // a label of the window's own
  Figura,    // a picture control
  Animacao,
  BotaoFigura,    // a picture button
  Chaveador,      // the network switch strip
  Contatos,       // the manager's contact lists
  Identificacao,  // the manager's status picture and nickname
  Pagina,         // the area where pages go
  Seletor,        // a row selector picture
  ListaMarcada,   // a check-list box
  Resultados,     // a report list view
};

struct TElementoEsperado {
  uint8_t Id;
  TTipoFeicao Tipo;
  TControle Controle = TControle::Nenhum;
  // What the gallery shows in it (UTF-8): a caption, a sample text, or a skin
  // file for pictures.
  std::string Exemplo = {};
  // Page controls: the id of the page area they sit in.
  uint8_t Pai = 0;
};

struct TJanelaEsperada {
  std::string Descritor;  // "Login.cap"
  std::string Pecas;      // frame set
  std::string Titulo;     // window caption, UTF-8
  std::vector<TElementoEsperado> Elementos;
};

// Every skinned window of the program.
const std::vector<TJanelaEsperada>& Janelas();

}  // namespace tazu::catalogo
