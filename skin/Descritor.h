// Skin descriptors (".cap"): a bare run of 224-byte records, the first for the
// window itself and one per element after it, and the anchoring arithmetic that
// turns a record into a rectangle for any size of its parent. Plain C++: the
// skin compiler and the tests use it without a window in sight.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace tazu {

inline constexpr std::size_t TamanhoDoRegistro = 224;

// Where each field the program reads lies in a record. Everything else is
// carried unchanged.
namespace campos {
inline constexpr std::size_t Id = 0;
inline constexpr std::size_t ResizeKind = 1;
inline constexpr std::size_t Nome =
    2;  // free for tools: the compiler keeps the element's name here
inline constexpr std::size_t NomeMaximo = 51;
inline constexpr std::size_t Left = 54;
inline constexpr std::size_t Top = 58;
inline constexpr std::size_t AnchorLeft = 62;
inline constexpr std::size_t AnchorTop = 63;
inline constexpr std::size_t Height = 64;
inline constexpr std::size_t Width = 68;
inline constexpr std::size_t Color = 72;
inline constexpr std::size_t FontColor = 92;
inline constexpr std::size_t MinWidth = 96;
inline constexpr std::size_t MinHeight = 100;
inline constexpr std::size_t Text = 112;
inline constexpr std::size_t TextMaximo = 30;
inline constexpr std::size_t LabelKind = 143;
inline constexpr std::size_t Alignment = 144;
inline constexpr std::size_t DisabledColor = 156;
// The options menu keeps one option code per row from LabelKind on, up to the
// byte before DisabledColor.
inline constexpr int LinhasDeOpcao = static_cast<int>(DisabledColor - LabelKind);
}  // namespace campos

// One record, kept as its bytes so that what the program never reads survives
// a read and a write untouched. Colours are 0x00BBGGRR.
class TRegistroFeicao {
 public:
  using TBytes = std::array<uint8_t, TamanhoDoRegistro>;

  TRegistroFeicao() { bytes_.fill(0); }
  explicit TRegistroFeicao(const TBytes& bytes) : bytes_(bytes) {}

  const TBytes& Bytes() const { return bytes_; }

  uint8_t Id() const { return bytes_[campos::Id]; }
  uint8_t ResizeKind() const { return bytes_[campos::ResizeKind]; }
  int32_t Left() const { return Inteiro(campos::Left); }
  int32_t Top() const { return Inteiro(campos::Top); }
  bool AnchorLeft() const { return bytes_[campos::AnchorLeft] != 0; }
  bool AnchorTop() const { return bytes_[campos::AnchorTop] != 0; }
  int32_t Height() const { return Inteiro(campos::Height); }
  int32_t Width() const { return Inteiro(campos::Width); }
  uint32_t Color() const { return Natural(campos::Color); }
  uint32_t FontColor() const { return Natural(campos::FontColor); }
  int32_t MinWidth() const { return Inteiro(campos::MinWidth); }
  int32_t MinHeight() const { return Inteiro(campos::MinHeight); }
  // Windows-1252 bytes; a length byte beyond the field reads as the whole field.
  std::string Text() const { return Curta(campos::Text, campos::TextMaximo); }
  uint8_t LabelKind() const { return bytes_[campos::LabelKind]; }
  uint8_t Alignment() const { return bytes_[campos::Alignment]; }
  uint32_t DisabledColor() const { return Natural(campos::DisabledColor); }
  std::string Nome() const { return Curta(campos::Nome, campos::NomeMaximo); }
  // Option code of a menu row; rows outside the stored range answer 0.
  uint8_t CodigoDeOpcao(int linha) const;

  void DefinirId(uint8_t v) { bytes_[campos::Id] = v; }
  void DefinirResizeKind(uint8_t v) { bytes_[campos::ResizeKind] = v; }
  void DefinirLeft(int32_t v) { GravarInteiro(campos::Left, static_cast<uint32_t>(v)); }
  void DefinirTop(int32_t v) { GravarInteiro(campos::Top, static_cast<uint32_t>(v)); }
  void DefinirAnchorLeft(bool v) { bytes_[campos::AnchorLeft] = v ? 1 : 0; }
  void DefinirAnchorTop(bool v) { bytes_[campos::AnchorTop] = v ? 1 : 0; }
  void DefinirHeight(int32_t v) { GravarInteiro(campos::Height, static_cast<uint32_t>(v)); }
  void DefinirWidth(int32_t v) { GravarInteiro(campos::Width, static_cast<uint32_t>(v)); }
  void DefinirColor(uint32_t v) { GravarInteiro(campos::Color, v); }
  void DefinirFontColor(uint32_t v) { GravarInteiro(campos::FontColor, v); }
  void DefinirMinWidth(int32_t v) { GravarInteiro(campos::MinWidth, static_cast<uint32_t>(v)); }
  void DefinirMinHeight(int32_t v) { GravarInteiro(campos::MinHeight, static_cast<uint32_t>(v)); }
  // Longer texts are cut to the field.
  void DefinirText(std::string_view v) { GravarCurta(campos::Text, campos::TextMaximo, v); }
  void DefinirLabelKind(uint8_t v) { bytes_[campos::LabelKind] = v; }
  void DefinirAlignment(uint8_t v) { bytes_[campos::Alignment] = v; }
  void DefinirDisabledColor(uint32_t v) { GravarInteiro(campos::DisabledColor, v); }
  void DefinirNome(std::string_view v) { GravarCurta(campos::Nome, campos::NomeMaximo, v); }
  // Answers false for a row outside the stored range.
  bool DefinirCodigoDeOpcao(int linha, uint8_t codigo);

 private:
  int32_t Inteiro(std::size_t pos) const { return static_cast<int32_t>(Natural(pos)); }
  uint32_t Natural(std::size_t pos) const;
  void GravarInteiro(std::size_t pos, uint32_t v);
  std::string Curta(std::size_t pos, std::size_t maximo) const;
  void GravarCurta(std::size_t pos, std::size_t maximo, std::string_view v);

  TBytes bytes_;
};

enum class TResultadoDaLeitura { Lido, Ausente, Ilegivel };

// Reads every whole record of the file in order. A missing or unreadable file
// gives no records; bytes after the last whole record are ignored.
TResultadoDaLeitura LerDescritor(const std::string& caminho,
                                 std::vector<TRegistroFeicao>& registros);
std::vector<TRegistroFeicao> DecodificarDescritor(std::string_view conteudo);
std::string CodificarDescritor(const std::vector<TRegistroFeicao>& registros);
// Replaces the file atomically; for tools.
bool GravarDescritor(const std::string& caminho, const std::vector<TRegistroFeicao>& registros,
                     std::string* erro = nullptr);

// The client size of the parent an element is anchored in.
struct TTamanho {
  int32_t Largura = 0;
  int32_t Altura = 0;
};

// A rectangle by its edges; right and bottom are the anchored edges, so width
// is right - left.
struct TRetangulo {
  int32_t Esquerda = 0;
  int32_t Topo = 0;
  int32_t Direita = 0;
  int32_t Base = 0;
  int64_t Largura() const { return int64_t{Direita} - Esquerda; }
  int64_t Altura() const { return int64_t{Base} - Topo; }
  // Hot rectangles count their right and bottom edges as inside.
  bool Contem(int32_t x, int32_t y) const {
    return x >= Esquerda && x <= Direita && y >= Topo && y <= Base;
  }
  bool operator==(const TRetangulo&) const = default;
};

// Anchoring of an element inside its parent. Arithmetic saturates at the
// 32-bit range: a record is data from a file and must not overflow.
int32_t ElementTop(const TRegistroFeicao& r, TTamanho pai);
int32_t ElementLeft(const TRegistroFeicao& r, TTamanho pai);
int32_t ElementHeight(const TRegistroFeicao& r, TTamanho pai);
int32_t ElementWidth(const TRegistroFeicao& r, TTamanho pai);
int32_t ElementBottom(const TRegistroFeicao& r, TTamanho pai);
int32_t ElementRight(const TRegistroFeicao& r, TTamanho pai);
TRetangulo RetanguloDoElemento(const TRegistroFeicao& r, TTamanho pai);

// Windows are never placed larger than this, whatever a record asks: the frame
// is painted into a picture of the window's size.
inline constexpr int32_t TamanhoMaximoDeJanela = 4096;

// The window record's client rectangle on a screen of the given size; sizes
// are kept within 1 .. TamanhoMaximoDeJanela.
TRetangulo PosicaoDaJanela(const TRegistroFeicao& janela, TTamanho tela);

}  // namespace tazu
