#pragma once
// A tiny HTTP/1.0 server on a local port, run by a test on its own thread: each request gets the answer the
// test's handler gives for its path. One request at a time, which is all the tests need.
#include <atomic>
#include <functional>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

namespace testsupport {

struct HttpAnswer {
  int Status = 200;
  std::string Body;
  std::string ContentType = "text/html; charset=utf-8";
  bool SendLength = true; // without it, the body ends when the connection closes
  // Above 0: the body one byte at a time, this many milliseconds apart, over and over until the client hangs
  // up (or the server stops): an answer that never ends and is never silent for long.
  int DripMs = 0;
};

class LocalHttpServer {
 public:
  using Handler = std::function<HttpAnswer(const std::string& Path)>;
  explicit LocalHttpServer(Handler H);
  ~LocalHttpServer();
  LocalHttpServer(const LocalHttpServer&) = delete;
  LocalHttpServer& operator=(const LocalHttpServer&) = delete;

  int Port() const { return FPort; }
  // "http://127.0.0.1:<port>" + Path.
  std::string Url(const std::string& Path) const;
  // The paths asked for so far, in order.
  std::vector<std::string> Requests() const;
  // Answers the client hung up on before the server was done with them.
  int HungUp() const { return FHungUp; }

 private:
  void Serve();

  Handler FHandler;
  int FListen = -1;
  int FPort = 0;
  std::atomic<bool> FStop{false};
  std::atomic<int> FHungUp{0};
  mutable std::mutex FLock;
  std::vector<std::string> FRequests;
  std::thread FThread;
};

} // namespace testsupport
