// A program an end-to-end test runs, its standard output and error gathered
// line by line as they come. Qt's loop carries the output: the waits below
// turn it (a QCoreApplication must exist, see LoopQt.h).
#pragma once

#include <QProcess>
#include <cstdint>
#include <string>
#include <vector>

#include "tests/support/LoopQt.h"

namespace tazu::test {

class Program {
 public:
  Program(const QString& path, const QStringList& args,
          const QProcessEnvironment& env = QProcessEnvironment::systemEnvironment()) {
    p_.setProcessEnvironment(env);
    QObject::connect(&p_, &QProcess::readyReadStandardOutput, [this] { Gather(false); });
    QObject::connect(&p_, &QProcess::readyReadStandardError, [this] { Gather(true); });
    p_.start(path, args);
  }
  ~Program() { Kill(); }
  Program(const Program&) = delete;
  Program& operator=(const Program&) = delete;

  void Write(const std::string& line) { p_.write((line + "\n").c_str()); }

  // The first line of standard output (or error) holding every piece; empty
  // when there is none yet.
  std::string Line(const std::vector<std::string>& pieces, bool err = false) const {
    for (const std::string& l : err ? err_ : out_)
      if (Holds(l, pieces)) return l;
    return {};
  }
  // How many lines hold every piece.
  std::size_t Count(const std::vector<std::string>& pieces, bool err = false) const {
    std::size_t n = 0;
    for (const std::string& l : err ? err_ : out_) n += Holds(l, pieces);
    return n;
  }
  bool WaitFor(const std::vector<std::string>& pieces, bool err = false, int ms = 15000) {
    return EsperarAte([&] { return !Line(pieces, err).empty(); }, ms);
  }
  // The port a server names on standard error after `mark`; 0 if it never does.
  uint16_t Port(const std::string& mark = "listening on 127.0.0.1:") {
    if (!WaitFor({mark}, true)) return 0;
    const std::string l = Line({mark}, true);
    return static_cast<uint16_t>(std::stoi(l.substr(l.find(mark) + mark.size())));
  }
  // The exit status once the program ended of itself within `ms`; -1 if it
  // is still running or was killed.
  int Finish(int ms = 15000) {
    if (!EsperarAte([&] { return p_.state() == QProcess::NotRunning; }, ms)) return -1;
    Gather(false);
    Gather(true);
    return p_.exitStatus() == QProcess::NormalExit ? p_.exitCode() : -1;
  }
  // Ends it at once, as a crash would.
  void Kill() {
    if (p_.state() == QProcess::NotRunning) return;
    p_.kill();
    p_.waitForFinished(5000);
  }

  const std::vector<std::string>& Out() const { return out_; }
  const std::vector<std::string>& Err() const { return err_; }
  // Both, for a failure message.
  std::string Transcript() const {
    std::string t;
    for (const auto* lines : {&out_, &err_})
      for (const std::string& l : *lines) t += l + "\n";
    return t;
  }

 private:
  static bool Holds(const std::string& line, const std::vector<std::string>& pieces) {
    for (const std::string& p : pieces)
      if (line.find(p) == std::string::npos) return false;
    return true;
  }
  void Gather(bool err) {
    std::string& partial = err ? partialErr_ : partialOut_;
    partial += (err ? p_.readAllStandardError() : p_.readAllStandardOutput()).toStdString();
    for (std::size_t n; (n = partial.find('\n')) != std::string::npos; partial.erase(0, n + 1))
      (err ? err_ : out_).push_back(partial.substr(0, n));
  }

  QProcess p_;
  std::string partialOut_, partialErr_;
  std::vector<std::string> out_, err_;
};

}  // namespace tazu::test
