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

 private:
  void Serve();

  Handler FHandler;
  int FListen = -1;
  int FPort = 0;
  std::atomic<bool> FStop{false};
  mutable std::mutex FLock;
  std::vector<std::string> FRequests;
  std::thread FThread;
};

} // namespace testsupport
