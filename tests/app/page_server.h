// A web server on 127.0.0.1 for the window tests: it serves fixed pages by
// path, on a port the system picks, and counts the requests for each path.
//
//   PageServer server;
//   server.Serve("/sound/1", "<html>...</html>");
//   server.Address("/sound/1");   // "http://127.0.0.1:<port>/sound/1"
//   server.Requests("/sound/1");  // 0 until something asks for it
#pragma once

#include <map>
#include <memory>
#include <mutex>
#include <string>
#include <string_view>
#include <thread>

namespace httplib {
class Server;
}

class PageServer {
   public:
    PageServer();
    ~PageServer();
    PageServer(const PageServer&) = delete;
    PageServer& operator=(const PageServer&) = delete;

    // Serves `body` (200, text/html; charset=utf-8) for GET `path` from now
    // on. Unknown paths get 404 with an empty body.
    void Serve(const std::string& path, std::string body);
    std::string Address(std::string_view path) const;
    int Requests(const std::string& path) const;

   private:
    std::unique_ptr<httplib::Server> server_;
    int port_ = 0;
    mutable std::mutex mutex_;
    std::map<std::string, std::string> pages_;
    std::map<std::string, int> requests_;
    std::thread thread_;
};

// A sound page holding the four fields, in UTF-8, as the service writes it.
std::string SoundPage(std::string_view link, std::string_view duration, std::string_view cover,
                      std::string_view name);

// The same page with at least `proseBytes` of Chinese comments in UTF-8
// before the fields and as many after them, as a long page holds.
std::string SoundPageAmidProse(size_t proseBytes, std::string_view link, std::string_view duration,
                               std::string_view cover, std::string_view name);
