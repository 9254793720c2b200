// Skin elements as a window holds them, the eight frame pieces and how they are
// painted, and the placement of a window from its descriptor.
#pragma once

#include <QColor>
#include <QImage>
#include <QObject>
#include <QPointer>
#include <QWidget>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "core/Listas.h"
#include "skin/Descritor.h"

class QPainter;

namespace tazu {

// One element of a window: its record and the object the window built for it.
// The window owns that object; the element only points at it.
struct TFeicao {
  TRegistroFeicao Registro;
  QPointer<QObject> Objeto;
};

// A window's elements in file order: the first is the window record. Owns its
// elements.
class TListaDeFeicoes : public TLista<TFeicao> {
 public:
  TListaDeFeicoes();
  ~TListaDeFeicoes() override;

  TFeicao* Adicionar(const TRegistroFeicao& registro);
  // Empties the list and reads the descriptor; a file that cannot be read
  // leaves the list empty, silently.
  void Carregar(const std::string& caminho);
  // The window record, or null for an empty list.
  TFeicao* Janela() const;
  // The element `indice` places after the window record (1 = the first
  // element), or null.
  TFeicao* Elemento(std::size_t indice) const;
  // The first element with this Id, or null.
  TFeicao* PorId(uint8_t id) const;
};

// The eight frame pieces in their fixed order. A missing piece is a null image.
enum TPeca : int { SE, CS, SD, CD, ID, CI, IE, CE };
inline constexpr const char* NomesDasPecas[8] = {"SE", "CS", "SD", "CD", "ID", "CI", "IE", "CE"};
using TPecasMoldura = std::array<QImage, 8>;

// Reads "<skin>/<janela>/<peça>.bmp" for each piece that exists.
TPecasMoldura CarregarPecas(const std::string& janela);
// The process-wide sets ("Info", "Gerente", "Mens", "Menu"), read on first use.
// Pieces are shared images: a window's copy never disturbs the set.
const TPecasMoldura& PecasCompartilhadas(const std::string& janela);
// Reads the set again, for a skin that changed on disk.
void RecarregarPecasCompartilhadas(const std::string& janela);

// Paints the frame of a surface of the given size: the colour first, then the
// four edges tiled, then the corners over them.
void PintarMoldura(int altura, int largura, QPainter& tela, const TPecasMoldura& pecas,
                   const QColor& cor);
// The same into a fresh opaque picture of that size.
QImage PintarMoldura(int altura, int largura, const TPecasMoldura& pecas, const QColor& cor);

// Sizes and places a top-level window from its record against the primary
// screen: client size, then position, and the background colour.
void PosicionarJanela(QWidget& janela, const TRegistroFeicao& registro);

}  // namespace tazu
