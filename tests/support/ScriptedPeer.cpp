#include "tests/support/ScriptedPeer.h"

#include <stdexcept>

#include "tests/support/HexDump.h"

namespace tazu::test {
ScriptedPeer::ScriptedPeer(std::string_view transcript, Dialect& dialect, Side plays)
    : dialect_(&dialect) {
  Parse(transcript, dialect, plays);
}

ScriptedPeer::ScriptedPeer(std::string_view transcript, std::string lineEnd, Side plays)
    : ownDialect_(std::make_unique<RawDialect>(std::move(lineEnd))), dialect_(ownDialect_.get()) {
  Parse(transcript, *ownDialect_, plays);
}

ScriptedPeer::~ScriptedPeer() {
  if (peer_ != nullptr) peer_->onClientData = nullptr;
}

void ScriptedPeer::Parse(std::string_view transcript, Dialect& dialect, Side plays) {
  const auto bad = [](int line, const std::string& what) {
    return std::invalid_argument("transcript line " + std::to_string(line) + ": " + what);
  };
  int line = 0;
  while (!transcript.empty()) {
    ++line;
    const std::size_t end = transcript.find('\n');
    std::string_view text = transcript.substr(0, end);
    transcript.remove_prefix(end == std::string_view::npos ? transcript.size() : end + 1);
    const std::size_t start = text.find_first_not_of(" \t");
    if (start == std::string_view::npos || text[start] == '#') continue;
    text.remove_prefix(start);
    const std::string source(text);
    const bool valid = text.size() >= 2 && (text[0] == 'C' || text[0] == 'S') &&
                       (text[1] == ':' || text == "C! close" || text == "S! close");
    if (!valid)
      throw bad(line, "expected \"C: \", \"S: \", \"C! close\" or \"S! close\": " + source);
    const bool ours = (text[0] == 'C') == (plays == Side::kClient);
    if (text[1] == '!') {
      steps_.push_back({ours, true, false, {}, line, source});
      continue;
    }
    text.remove_prefix(text.size() > 2 && text[2] == ' ' ? 3 : 2);
    if (text == "*") {
      if (ours) throw bad(line, "a script cannot send \"any message\"");
      steps_.push_back({ours, false, true, {}, line, source});
      continue;
    }
    std::string bytes;
    try {
      bytes = dialect.Encode(text, source[0] == 'C');
    } catch (const std::invalid_argument& e) {
      throw bad(line, e.what());
    }
    if (bytes.empty()) throw bad(line, "no bytes");
    steps_.push_back({ours, false, false, std::move(bytes), line, source});
  }
  for (std::size_t i = 0; i + 1 < steps_.size(); ++i) {
    if (steps_[i].close && !steps_[i].ours) {
      throw bad(steps_[i].line, "nothing can follow the other side's close");
    }
  }
}

void ScriptedPeer::PlayOver(net::FakePeer& peer) {
  peer_ = &peer;
  if (peer.GetState() == net::FakePeer::State::Connecting) peer.Accept();
  peer.onClientData = [this] { Received(peer_->Take()); };
  PlayOurSteps();
  Received(peer.Take());  // whatever the client sent before the script came in
}

void ScriptedPeer::PlayOver(std::unique_ptr<net::TcpSocket> connection) {
  connection_ = std::move(connection);
  connection_->SetLineMode(false);
  connection_->onData = [this](std::string_view bytes) { Received(bytes); };
  connection_->onClosed = [this] { connectionEnded_ = true; };
  connection_->onError = [this](net::SocketError, const std::string&) { connectionEnded_ = true; };
  PlayOurSteps();
}

void ScriptedPeer::Received(std::string_view bytes) {
  if (failed_ || bytes.empty()) return;
  unmatched_.append(bytes);
  while (!unmatched_.empty() && !failed_) {
    if (next_ == steps_.size()) {
      Fail("bytes came after the transcript ended:\n" + dialect_->Describe(unmatched_));
      return;
    }
    const Step& step = steps_[next_];
    if (step.ours || step.close) {
      Fail(Where(step) + "\nbytes came instead:\n" + dialect_->Describe(unmatched_));
      return;
    }
    if (step.any) {
      const std::size_t length = dialect_->MessageLength(unmatched_);
      if (length == std::string::npos) return;  // the rest is still on its way
      unmatched_.erase(0, length);
      ++next_;
      PlayOurSteps();
      continue;
    }
    const std::string_view expected = step.bytes;
    const std::string_view got = std::string_view(unmatched_).substr(0, expected.size());
    if (got != expected.substr(0, got.size())) {
      Fail(Where(step) + "\nother bytes came; " + DescribeByteDifference(expected, got) +
           "expected, read:\n" + dialect_->Describe(expected) + "came, read:\n" +
           dialect_->Describe(unmatched_));
      return;
    }
    if (got.size() < expected.size()) return;  // the rest is still on its way
    unmatched_.erase(0, expected.size());
    ++next_;
    PlayOurSteps();
  }
}

void ScriptedPeer::PlayOurSteps() {
  while (next_ < steps_.size() && !failed_ && steps_[next_].ours) {
    const Step& step = steps_[next_++];
    if (peer_ != nullptr && step.close) peer_->Close();
    if (peer_ != nullptr && !step.close) peer_->Write(step.bytes);
    if (connection_ != nullptr && step.close) connection_->Close();
    if (connection_ != nullptr && !step.close) connection_->Send(step.bytes);
  }
}

bool ScriptedPeer::OtherSideClosed() const {
  if (peer_ != nullptr) return peer_->ClientClosed();
  return connectionEnded_;
}

ScriptedPeer::Outcome ScriptedPeer::Finished() const {
  if (failed_) return {false, failure_};
  std::size_t next = next_;
  if (next + 1 == steps_.size() && steps_[next].close && OtherSideClosed()) ++next;
  if (next == steps_.size()) return {true, {}};
  return {false, "the conversation stopped; " + Where(steps_[next]) +
                     "\nbytes received and not matched yet:\n" + dialect_->Describe(unmatched_)};
}

void ScriptedPeer::Fail(const std::string& message) {
  failed_ = true;
  failure_ = "ScriptedPeer: " + message;
  if (const auto handler = onFailure) handler(failure_);
}

std::string ScriptedPeer::Where(const Step& step) const {
  return std::string(step.ours ? "playing" : "waiting for") + " transcript line " +
         std::to_string(step.line) + ": " + step.source;
}

}  // namespace tazu::test
