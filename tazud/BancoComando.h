// One use of a cached statement of TBanco: binds, steps, and resets on
// destruction. A step that fails is recorded in the store (TBanco::Falhou).
#pragma once

#include <sqlite3.h>

#include <string>
#include <string_view>

#include "tazud/Banco.h"

namespace tazu::tazud {

class TBanco::TComando {
 public:
  TComando(TBanco& banco, const char* sql) : banco_(banco), s_(banco.Preparar(sql)) {}
  ~TComando() {
    if (s_ != nullptr) {
      sqlite3_reset(s_);
      sqlite3_clear_bindings(s_);
    }
  }
  TComando(const TComando&) = delete;
  TComando& operator=(const TComando&) = delete;

  TComando& Int(int64_t v) {
    sqlite3_bind_int64(s_, ++n_, v);
    return *this;
  }
  TComando& Blob(std::string_view v) {
    sqlite3_bind_blob(s_, ++n_, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
  }
  TComando& Texto(std::string_view v) {
    sqlite3_bind_text(s_, ++n_, v.data(), static_cast<int>(v.size()), SQLITE_TRANSIENT);
    return *this;
  }
  // True while a row is available.
  bool Linha() {
    if (s_ == nullptr) return false;
    const int rc = sqlite3_step(s_);
    if (rc == SQLITE_ROW) return true;
    if (rc != SQLITE_DONE) banco_.RegistrarFalha(rc);
    return false;
  }
  void Executar() { Linha(); }
  int64_t I(int col) const { return sqlite3_column_int64(s_, col); }
  std::string B(int col) const {
    const void* p = sqlite3_column_blob(s_, col);
    const int n = sqlite3_column_bytes(s_, col);
    return p == nullptr ? std::string() : std::string(static_cast<const char*>(p), n);
  }
  sqlite3_stmt* S() const { return s_; }

 private:
  TBanco& banco_;
  sqlite3_stmt* s_;
  int n_ = 0;
};

}  // namespace tazu::tazud
