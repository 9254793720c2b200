// TcpSocket and TcpListener over QTcpSocket and QTcpServer.
#pragma once

#include <QAbstractSocket>
#include <QMetaObject>
#include <QPointer>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "net/Runtime.h"

class QTcpServer;
class QTcpSocket;

namespace tazu::net {

SocketError FromQt(QAbstractSocket::SocketError error);

class QtTcpSocket final : public TcpSocket {
 public:
  explicit QtTcpSocket(QObject* home);
  // An accepted connection, already connected; takes `socket` over.
  QtTcpSocket(QObject* home, QTcpSocket* socket);
  ~QtTcpSocket() override;

  bool Connect(const std::string& host, uint16_t port) override;
  void Send(std::string_view bytes) override;
  void Close() override;
  bool IsConnected() const override { return connected_; }
  std::string LocalAddress() const override;
  uint16_t LocalPort() const override;
  std::string PeerAddress() const override;
  uint16_t PeerPort() const override;
  std::size_t BytesQueued() const override;
  uint64_t BytesTaken() const override { return taken_; }
  uint64_t BytesUnacknowledged() const override;

 protected:
  void FailLineTooLong() override;

 private:
  void Attach(QTcpSocket* socket);
  // Lets go of the current QTcpSocket: none of its signals reach us again, and
  // it is deleted once Qt is done with it.
  void Retire(bool flush);
  // Runs a signal's handler now, or from the loop when Qt signalled from inside
  // one of our own calls; handlers keep their order either way.
  void Dispatch(std::function<void()> handler);
  void RunDeferred();

  void HandleConnected();
  void HandleReadyRead();
  void HandlePeerClosed();
  void HandleError(QAbstractSocket::SocketError error);

  QPointer<QObject> home_;
  QPointer<QTcpSocket> socket_;
  std::vector<QMetaObject::Connection> connections_;
  std::deque<std::function<void()>> deferred_;
  bool runScheduled_ = false;
  bool connected_ = false;
  int inCall_ = 0;  // Connect or Send in progress
  uint64_t taken_ = 0;
  mutable uint64_t unacknowledged_ = 0;  // the last figure read
  Lifetime life_;
};

class QtTcpListener final : public TcpListener {
 public:
  explicit QtTcpListener(QObject* home);
  ~QtTcpListener() override;
  bool Listen(const std::string& host, uint16_t port, std::string* error) override;
  void Close() override;
  uint16_t Port() const override;

 private:
  void HandleNewConnection();

  QPointer<QObject> home_;
  QPointer<QTcpServer> server_;
  Lifetime life_;
};

}  // namespace tazu::net
