#include "skin/Descritor.h"

#include <algorithm>
#include <limits>

#include "core/Caminhos.h"

namespace tazu {

namespace {

int32_t Saturar(int64_t v) {
  constexpr int64_t menor = std::numeric_limits<int32_t>::min();
  constexpr int64_t maior = std::numeric_limits<int32_t>::max();
  return static_cast<int32_t>(std::clamp(v, menor, maior));
}

// The offset along one axis; -1 with the near-edge anchor centres the element.
int32_t Origem(bool ancoradoNoInicio, int32_t deslocamento, int32_t tamanho, int32_t pai) {
  if (!ancoradoNoInicio) return Saturar(int64_t{pai} - deslocamento);
  if (deslocamento == -1) return Saturar((int64_t{pai} - tamanho) / 2);
  return deslocamento;
}

int32_t Extensao(int32_t tamanho, int32_t origem, int32_t pai) {
  if (tamanho > 0) return tamanho;
  return Saturar(int64_t{pai} + tamanho - origem);
}

int32_t Fim(int32_t tamanho, int32_t origem, int32_t pai) {
  if (tamanho < 1) return Saturar(int64_t{pai} + tamanho);
  return Saturar(int64_t{origem} + tamanho);
}

}  // namespace

uint32_t TRegistroFeicao::Natural(std::size_t pos) const {
  return static_cast<uint32_t>(bytes_[pos]) | static_cast<uint32_t>(bytes_[pos + 1]) << 8 |
         static_cast<uint32_t>(bytes_[pos + 2]) << 16 |
         static_cast<uint32_t>(bytes_[pos + 3]) << 24;
}

void TRegistroFeicao::GravarInteiro(std::size_t pos, uint32_t v) {
  for (int i = 0; i < 4; ++i) bytes_[pos + i] = static_cast<uint8_t>(v >> (8 * i));
}

std::string TRegistroFeicao::Curta(std::size_t pos, std::size_t maximo) const {
  const std::size_t n = std::min<std::size_t>(bytes_[pos], maximo);
  return std::string(reinterpret_cast<const char*>(&bytes_[pos + 1]), n);
}

void TRegistroFeicao::GravarCurta(std::size_t pos, std::size_t maximo, std::string_view v) {
  const std::size_t n = std::min(v.size(), maximo);
  std::fill_n(&bytes_[pos], maximo + 1, uint8_t{0});
  bytes_[pos] = static_cast<uint8_t>(n);
  std::copy_n(reinterpret_cast<const uint8_t*>(v.data()), n, &bytes_[pos + 1]);
}

uint8_t TRegistroFeicao::CodigoDeOpcao(int linha) const {
  if (linha < 0 || linha >= campos::LinhasDeOpcao) return 0;
  return bytes_[campos::LabelKind + static_cast<std::size_t>(linha)];
}

bool TRegistroFeicao::DefinirCodigoDeOpcao(int linha, uint8_t codigo) {
  if (linha < 0 || linha >= campos::LinhasDeOpcao) return false;
  bytes_[campos::LabelKind + static_cast<std::size_t>(linha)] = codigo;
  return true;
}

std::vector<TRegistroFeicao> DecodificarDescritor(std::string_view conteudo) {
  std::vector<TRegistroFeicao> registros;
  registros.reserve(conteudo.size() / TamanhoDoRegistro);
  for (std::size_t pos = 0; pos + TamanhoDoRegistro <= conteudo.size(); pos += TamanhoDoRegistro) {
    TRegistroFeicao::TBytes bytes;
    std::copy_n(reinterpret_cast<const uint8_t*>(conteudo.data() + pos), TamanhoDoRegistro,
                bytes.begin());
    registros.emplace_back(bytes);
  }
  return registros;
}

std::string CodificarDescritor(const std::vector<TRegistroFeicao>& registros) {
  std::string conteudo;
  conteudo.reserve(registros.size() * TamanhoDoRegistro);
  for (const auto& r : registros) {
    conteudo.append(reinterpret_cast<const char*>(r.Bytes().data()), TamanhoDoRegistro);
  }
  return conteudo;
}

TResultadoDaLeitura LerDescritor(const std::string& caminho,
                                 std::vector<TRegistroFeicao>& registros) {
  registros.clear();
  std::string conteudo;
  switch (LerArquivo(caminho, conteudo)) {
    case TLeitura::Ausente:
      return TResultadoDaLeitura::Ausente;
    case TLeitura::Falhou:
      return TResultadoDaLeitura::Ilegivel;
    case TLeitura::Lido:
      break;
  }
  registros = DecodificarDescritor(conteudo);
  return TResultadoDaLeitura::Lido;
}

bool GravarDescritor(const std::string& caminho, const std::vector<TRegistroFeicao>& registros,
                     std::string* erro) {
  return SubstituirArquivo(caminho, CodificarDescritor(registros), 0644, erro);
}

int32_t ElementTop(const TRegistroFeicao& r, TTamanho pai) {
  return Origem(r.AnchorTop(), r.Top(), r.Height(), pai.Altura);
}

int32_t ElementLeft(const TRegistroFeicao& r, TTamanho pai) {
  return Origem(r.AnchorLeft(), r.Left(), r.Width(), pai.Largura);
}

int32_t ElementHeight(const TRegistroFeicao& r, TTamanho pai) {
  return Extensao(r.Height(), ElementTop(r, pai), pai.Altura);
}

int32_t ElementWidth(const TRegistroFeicao& r, TTamanho pai) {
  return Extensao(r.Width(), ElementLeft(r, pai), pai.Largura);
}

int32_t ElementBottom(const TRegistroFeicao& r, TTamanho pai) {
  return Fim(r.Height(), ElementTop(r, pai), pai.Altura);
}

int32_t ElementRight(const TRegistroFeicao& r, TTamanho pai) {
  return Fim(r.Width(), ElementLeft(r, pai), pai.Largura);
}

TRetangulo RetanguloDoElemento(const TRegistroFeicao& r, TTamanho pai) {
  return {ElementLeft(r, pai), ElementTop(r, pai), ElementRight(r, pai), ElementBottom(r, pai)};
}

TRetangulo PosicaoDaJanela(const TRegistroFeicao& janela, TTamanho tela) {
  auto lado = [](int32_t pedido, int32_t telaLado) {
    const int64_t v = pedido > 0 ? int64_t{pedido} : int64_t{telaLado} + pedido;
    return static_cast<int32_t>(std::clamp<int64_t>(v, 1, TamanhoMaximoDeJanela));
  };
  const int32_t altura = lado(janela.Height(), tela.Altura);
  const int32_t largura = lado(janela.Width(), tela.Largura);
  // Far off-screen positions mean nothing to any window system; kept in a
  // range every one of them takes, the rectangle keeps its size.
  auto posicao = [](int32_t v) { return std::clamp(v, -32768, 32767); };
  const int32_t topo = posicao(Origem(janela.AnchorTop(), janela.Top(), altura, tela.Altura));
  const int32_t esquerda =
      posicao(Origem(janela.AnchorLeft(), janela.Left(), largura, tela.Largura));
  return {esquerda, topo, esquerda + largura, topo + altura};
}

}  // namespace tazu
