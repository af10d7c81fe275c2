#include "tests/app/page_server.h"

#include <httplib.h>

PageServer::PageServer() : server_(std::make_unique<httplib::Server>()) {
    server_->Get(".*", [this](const httplib::Request& request, httplib::Response& response) {
        std::lock_guard lock(mutex_);
        ++requests_[request.path];
        const auto page = pages_.find(request.path);
        if (page == pages_.end()) {
            response.status = 404;
            return;
        }
        response.set_content(page->second, "text/html; charset=utf-8");
    });
    // Bound and listening from here on: connections wait in the backlog
    // until the thread takes them.
    port_ = server_->bind_to_any_port("127.0.0.1");
    thread_ = std::thread([this] { server_->listen_after_bind(); });
}

PageServer::~PageServer() {
    server_->stop();
    thread_.join();
}

void PageServer::Serve(const std::string& path, std::string body) {
    std::lock_guard lock(mutex_);
    pages_[path] = std::move(body);
}

std::string PageServer::Address(std::string_view path) const {
    return "http://127.0.0.1:" + std::to_string(port_) + std::string(path);
}

int PageServer::Requests(const std::string& path) const {
    std::lock_guard lock(mutex_);
    const auto count = requests_.find(path);
    return count == requests_.end() ? 0 : count->second;
}

std::string SoundPage(std::string_view link, std::string_view duration, std::string_view cover,
                      std::string_view name) {
    std::string page = "<!DOCTYPE html>\n<html><head><meta charset=\"utf-8\"><title>Echo</title></head><body>\n";
    page += "<h1 class=\"s_name\"  title=\"" + std::string(name) + "\">" + std::string(name) + "</h1>\n";
    page += "<div class=\"voice-wp-left fl book_radio\" data-url=\"" + std::string(link) + "\">\n";
    page += "<span class=\"hide\">" + std::string(duration) + "</span>\n";
    page += "<div class=\"voice-cover-bg\" style=\"background-image:url(" + std::string(cover) + "-500);\"></div>\n";
    page += "</div>\n</body></html>\n";
    return page;
}

std::string SoundPageAmidProse(size_t proseBytes, std::string_view link, std::string_view duration,
                               std::string_view cover, std::string_view name) {
    std::string prose;
    while (prose.size() < proseBytes) prose += "<p class=\"comment\">这段声音很好听，我每天都会听一遍。Echo 回声</p>\n";
    const std::string page = SoundPage(link, duration, cover, name);
    const size_t body = page.find("<body>\n") + 7;
    return page.substr(0, body) + prose + page.substr(body) + prose;
}
