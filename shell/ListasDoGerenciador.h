// The manager's four contact lists as one model: "Conectados", "Fora da
// Lista", "Desconectados" and "Aguardando", stacked in that order, each
// sorted by nickname and headed by its title while it has rows. A contact has
// at most one row, found by its key "Comunicador:Identificador" in a hash, and
// each list is a sorted array: placing, moving or removing a row costs a
// binary search and one array shift, whatever the size of the lists.
//
// Rows carry copies of what they show, never the contact itself: the client
// frees its contacts when the connection ends, and a row must not outlive
// what it points at.
#pragma once

#include <QAbstractListModel>
#include <array>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "core/Listas.h"

namespace tazu {

class TListasDoGerenciador : public QAbstractListModel {
 public:
  enum TLista : int { OnLine = 0, ForaDaLista = 1, OffLine = 2, Autorizando = 3 };
  static constexpr int QuantidadeDeListas = 4;

  // Indexes of the contact image list: the status code itself for 1..8 (code
  // 4 shows "Status1"), 0 for any other status, then the unread-message
  // picture and the origin icons.
  enum TImagem : int {
    SemImagem = -1,
    ImagemDesconhecido = 0,
    ImagemDesconectado = 3,
    ImagemMensagem = 9,
    OrigemCelular = 10,
    OrigemGlobo = 11,
    OrigemICQ = 12,
    OrigemMSN = 14,
    OrigemYahoo = 16,  // +1 for each: the grey icon of an offline contact
  };

  enum TPapel : int {
    PapelImagem = Qt::UserRole + 1,  // int, SemImagem for none
    PapelOrigem,                     // int
    PapelCabecalho,                  // bool
    PapelChave,                      // QString
    PapelLista,                      // int (TLista)
  };

  struct TLinha {
    std::string Chave;
    std::string Comunicador;
    std::string Identificador;
    std::string Apelido;
    std::string Ordem;  // sort key: upper-case nickname, then the key
    int Lista = OffLine;
    int Imagem = ImagemDesconectado;
    int ImagemDoStatus = ImagemDesconectado;
    int Origem = SemImagem;
  };

  explicit TListasDoGerenciador(QObject* pai = nullptr);
  ~TListasDoGerenciador() override;

  // Raised when a new row enters "Conectados" (the contact came online).
  std::function<void()> AoEntrarEmConectados;

  // Places or moves the contact's row, sets its caption, status image and
  // origin icon.
  void AtualizaContato(const TContato& contato);
  void RemoveContato(const std::string& comunicador, const std::string& identificador);
  void LimpaListas();
  // The row's image back to its status picture (after the blinking).
  void RestauraIcone(const std::string& chave);
  // One blink step over the rows of these keys: the unread picture on phase
  // on, no picture on phase off. Costs as much as the keys, not the lists.
  void Piscar(const std::vector<std::string>& chaves, bool fase);

  static int ImagemDoStatus(int32_t status);
  static int OrigemConectado(const std::string& origem);
  static int OrigemDesconectado(const std::string& origem);
  static std::string Chave(const std::string& comunicador, const std::string& identificador);

  std::size_t Quantidade(TLista lista) const { return listas_[lista].size(); }
  const TLinha* Linha(TLista lista, std::size_t i) const { return listas_[lista].at(i); }
  const TLinha* PorChave(const std::string& chave) const;
  // The row of a model index; null for a header.
  const TLinha* Linha(const QModelIndex& indice) const;
  QModelIndex Indice(const std::string& chave) const;
  // The model row of a list's header, or -1 while the list is empty.
  int LinhaDoCabecalho(TLista lista) const;

  int rowCount(const QModelIndex& pai = QModelIndex()) const override;
  QVariant data(const QModelIndex& indice, int papel = Qt::DisplayRole) const override;
  Qt::ItemFlags flags(const QModelIndex& indice) const override;

 private:
  // Where a list starts in the model (its header, when it has rows); the
  // views ask for the row count once per row when they lay out, so it is kept
  // rather than counted.
  int Inicio(int lista) const { return inicios_[static_cast<std::size_t>(lista)]; }
  void Recontar();
  std::size_t Posicao(const TLinha& linha) const;
  void Inserir(std::unique_ptr<TLinha> linha);
  std::unique_ptr<TLinha> Retirar(const std::string& chave);
  void Mudou(const TLinha& linha);

  std::array<std::vector<TLinha*>, QuantidadeDeListas> listas_;
  std::unordered_map<std::string, std::unique_ptr<TLinha>> linhas_;
  std::array<QString, QuantidadeDeListas> titulos_;
  std::array<int, QuantidadeDeListas + 1> inicios_{};
};

}  // namespace tazu
