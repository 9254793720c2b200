// Short strings with a fixed maximum: longer values are cut on assignment, as
// the program's records and protocol fields expect.
#pragma once

#include <cstddef>
#include <ostream>
#include <string>
#include <string_view>

namespace tazu {

template <std::size_t Max>
class StringCurta {
 public:
  static constexpr std::size_t Maximo = Max;

  StringCurta() = default;
  StringCurta(std::string_view s) : s_(s.substr(0, Max)) {}
  StringCurta(const std::string& s) : StringCurta(std::string_view(s)) {}
  StringCurta(const char* s) : StringCurta(std::string_view(s)) {}
  template <std::size_t M>
  StringCurta(const StringCurta<M>& o) : StringCurta(std::string_view(o.str())) {}

  const std::string& str() const { return s_; }
  operator const std::string&() const { return s_; }
  const char* c_str() const { return s_.c_str(); }
  std::size_t size() const { return s_.size(); }
  bool empty() const { return s_.empty(); }
  void clear() { s_.clear(); }

  friend bool operator==(const StringCurta& a, std::string_view b) { return a.s_ == b; }
  template <std::size_t M>
  friend bool operator==(const StringCurta& a, const StringCurta<M>& b) {
    return a.s_ == b.str();
  }
  friend std::string operator+(const StringCurta& a, std::string_view b) {
    std::string r(a.s_);
    r.append(b);
    return r;
  }
  friend std::string operator+(std::string_view a, const StringCurta& b) {
    std::string r(a);
    r.append(b.s_);
    return r;
  }
  friend std::ostream& operator<<(std::ostream& os, const StringCurta& s) { return os << s.s_; }

 private:
  std::string s_;
};

using TApelido = StringCurta<25>;
using TString15 = StringCurta<15>;
using TString50 = StringCurta<50>;

}  // namespace tazu
