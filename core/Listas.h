// The program's ordered collections: a doubly linked list with one built-in
// cursor through which reading and deleting are done, and the contact list of
// the Tazu client built on it.
#pragma once

#include <cstddef>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <unordered_map>
#include <vector>

#include "base/Eventos.h"
#include "core/StringCurta.h"
#include "core/Textos.h"

namespace tazu {

// Cursor list of item pointers. The list owns its nodes; it owns items only
// through AoLiberar, called with an item after its node has been unlinked.
//
// Handlers of AoLiberar may read the list and even delete other items: the
// whole-list operations (Limpar and those of derived lists) keep walking
// correctly, because nodes unlinked while a notification runs are freed only
// once the outermost operation is over.
template <typename T>
class TLista {
 protected:
  struct No {
    T* item;
    No* anterior;
    No* proximo;
    bool desligado = false;
  };

 public:
  std::function<void(T* item)> AoLiberar;
  // The notice for misuse ("Fora da Lista.": Remover past the end), for the
  // owner to show.
  std::function<void(const std::string& texto)> AoInformar;

  TLista() = default;
  TLista(const TLista&) = delete;
  TLista& operator=(const TLista&) = delete;
  // Derived lists whose AoLiberar needs their own members call Limpar in their
  // own destructor.
  virtual ~TLista() {
    Limpar();
    LiberarNos();
  }

  // With a cursor the item goes immediately before the cursor node; at the end
  // of the list it is appended. The cursor moves to the new node.
  virtual void Inserir(T* item) {
    No* no = new No{item, nullptr, nullptr};
    if (atual_) {
      no->anterior = atual_->anterior;
      no->proximo = atual_;
      if (atual_->anterior) atual_->anterior->proximo = no; else primeiro_ = no;
      atual_->anterior = no;
    } else {
      no->anterior = ultimo_;
      if (ultimo_) ultimo_->proximo = no; else primeiro_ = no;
      ultimo_ = no;
    }
    atual_ = no;
    ++quantidade_;
    NoLigado(no);
  }

  // −1 puts the cursor at the end (true). 0 or more walks that many steps from
  // the first node: true with the cursor there, false with the cursor unchanged
  // when the list is shorter. Any other index answers false.
  virtual bool IrPara(int indice) {
    if (indice == -1) {
      atual_ = nullptr;
      return true;
    }
    if (indice < 0) return false;
    No* no = primeiro_;
    for (int i = 0; no && i < indice; ++i) no = no->proximo;
    if (!no) return false;
    atual_ = no;
    return true;
  }

  // Deletes the cursor node. The cursor moves to the successor, or to the
  // predecessor when there is none. At the end of the list: the "Fora da
  // Lista." box and nothing else.
  void Remover();

  void Primeiro() { atual_ = primeiro_; }
  void Proximo() {
    if (atual_) atual_ = atual_->proximo;
  }
  void Ultimo() { atual_ = ultimo_; }
  bool FimDaLista() const { return atual_ == nullptr; }
  // The item under the cursor; null at the end of the list.
  T* Atual() const { return atual_ ? atual_->item : nullptr; }
  bool EhPrimeiro() const { return atual_ && atual_ == primeiro_; }
  bool EhUltimo() const { return atual_ && atual_ == ultimo_; }
  void Limpar();

  std::size_t Quantidade() const { return quantidade_; }
  bool Vazia() const { return quantidade_ == 0; }

  // Walking without the cursor, for readers that must not disturb it.
  // Not for use while the list changes.
  class Iterador {
   public:
    using value_type = T*;
    using difference_type = std::ptrdiff_t;
    Iterador() = default;
    T* operator*() const { return no_->item; }
    Iterador& operator++() {
      no_ = no_->proximo;
      return *this;
    }
    Iterador operator++(int) {
      Iterador c = *this;
      ++*this;
      return c;
    }
    bool operator==(const Iterador&) const = default;

   private:
    friend class TLista;
    explicit Iterador(const No* no) : no_(no) {}
    const No* no_ = nullptr;
  };
  Iterador begin() const { return Iterador(primeiro_); }
  Iterador end() const { return Iterador(nullptr); }

 protected:
  // Hooks for derived lists that keep an index; called as a node is linked and
  // right after it is unlinked (before AoLiberar).
  virtual void NoLigado(No*) {}
  virtual void NoDesligado(No*) {}

  No* NoPrimeiro() const { return primeiro_; }
  No* NoAtual() const { return atual_; }
  void PosicionarEm(No* no) { atual_ = no; }

  // Keeps unlinked nodes alive (marked `desligado`) until the outermost guarded
  // operation ends, so a walk may hold a node across a notification.
  class Guarda {
   public:
    explicit Guarda(TLista& lista) : lista_(lista) { ++lista_.emUso_; }
    ~Guarda() {
      if (--lista_.emUso_ == 0) lista_.LiberarNos();
    }
    Guarda(const Guarda&) = delete;
    Guarda& operator=(const Guarda&) = delete;

   private:
    TLista& lista_;
  };

 private:
  void LiberarNos() {
    for (No* no : cemiterio_) delete no;
    cemiterio_.clear();
  }

  No* atual_ = nullptr;
  No* primeiro_ = nullptr;
  No* ultimo_ = nullptr;
  std::size_t quantidade_ = 0;
  int emUso_ = 0;
  std::vector<No*> cemiterio_;
};

template <typename T>
void TLista<T>::Remover() {
  No* no = atual_;
  if (!no) {
    Disparar(AoInformar, std::string(textos::ForaDaLista));
    return;
  }
  if (no == primeiro_) primeiro_ = no->proximo;
  if (no == ultimo_) ultimo_ = no->anterior;
  if (no->anterior) no->anterior->proximo = no->proximo;
  if (no->proximo) no->proximo->anterior = no->anterior;
  atual_ = no->proximo ? no->proximo : no->anterior;
  --quantidade_;
  no->desligado = true;
  NoDesligado(no);
  T* item = no->item;
  Guarda guarda(*this);
  cemiterio_.push_back(no);
  if (AoLiberar) {
    const auto liberar = AoLiberar;
    liberar(item);
  }
}

template <typename T>
void TLista<T>::Limpar() {
  Guarda guarda(*this);
  while (primeiro_) {
    atual_ = primeiro_;
    Remover();
  }
}

class TFrmComunicando;  // the chat window, owned by the windows

// One contact of the user, on any network. (Comunicador, Identificador) is its
// key: set both before the contact joins a TListaDeContatos, or tell the list
// with Reindexar.
struct TContato {
  uint16_t NIU = 0;
  TApelido Apelido;
  char Lista = '\0';  // 'A' in the list, 'P' waiting for authorisation, 'F' not in the list
  int32_t Status = 0;
  StringCurta<5> Origem = "D";
  bool Conectado = false;
  bool Nativo = true;
  std::string Identificador;
  TApelido Comunicador = "Tazu";
  TFrmComunicando* Janela = nullptr;
};

// The contacts of every community. Owns its contacts: each deletion raises
// AoLiberarContato with the contact before it is freed.
//
// Localizar answers the first contact in list order whose community matches
// exactly and whose identifier matches in upper case; an index keyed on both
// keeps that a hash look-up whatever the list's size.
class TListaDeContatos : public TLista<TContato> {
 public:
  std::function<void(TContato* contato)> AoLiberarContato;

  TListaDeContatos();
  ~TListaDeContatos() override;

  // Appends the contact; the list takes it over.
  TContato* Adicionar(std::unique_ptr<TContato> contato);
  bool Localizar(const std::string& comunidade, const std::string& identificador);
  TContato* ContatoAtual() const { return Atual(); }
  void RemoverDaComunidade(const std::string& comunidade);
  // After a contact's community or identifier changed while listed.
  void Reindexar(TContato* contato);

 protected:
  void NoLigado(No* no) override;
  void NoDesligado(No* no) override;

 private:
  static std::string Chave(const std::string& comunidade, const std::string& identificador);
  void Indexar(No* no);
  void Desindexar(No* no);

  std::unordered_map<std::string, std::vector<No*>> indice_;
  std::unordered_map<const No*, std::string> chaveDoNo_;
};

}  // namespace tazu
