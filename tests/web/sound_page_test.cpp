// From a sound page served over HTTP to the information block, as the
// parse command does it: one fresh fetch per field, in the field table's order.
#include <gtest/gtest.h>

#include <string>

#include "sound/fields.h"
#include "tests/web/loopback_server.h"
#include "text/codepage.h"
#include "web/fetch.h"

namespace {

const std::string kPage =
    "<!DOCTYPE html><html><head><meta charset=\"utf-8\"><title>\xE6\xB5\x8B\xE8\xAF\x95</title></head><body>\n"
    "<div class=\"voice-wp-left fl book_radio\" data-url=\"http://sound.example/s/42.mp3\">\n"
    "<span class=\"hide\">03:35</span>\n"
    "<div class=\"voice-cover-bg\" style=\"background-image:url(http://img.example/c/42.jpg-500);\"></div>\n"
    "<h1 class=\"s_name\"  title=\"\xE6\xB5\x8B\xE8\xAF\x95 Song\">\xE6\xB5\x8B\xE8\xAF\x95 Song</h1>\n"
    "</body></html>";

std::string ParseAndShow(const std::string& address) {
    for (const SoundFieldRow& row : SoundFieldTable())
        StoreSoundField(row, ExtractSoundField(FetchPageText(address), row));
    std::string block;
    for (int line = 1; line <= kInfoBlockLines; ++line) block += InfoBlockLine(line).View();
    return block;
}

std::string Ansi(const char* utf8) { return std::string(Utf8ToAnsi(utf8).View()); }

TEST(SoundPageOverHttp, BecomesTheInformationBlock) {
    LoopbackServer server(LoopbackServer::Replying(HttpResponse("200 OK", "Content-Type: text/html; charset=utf-8\r\n", kPage)));
    const std::string address = "127.0.0.1:" + std::to_string(server.Port()) + "/sound/42";
    const std::string separator(73, '=');
    EXPECT_EQ(ParseAndShow(address), separator + "\r\n\r\n" + Ansi("声音名称：") + "\xB2\xE2\xCA\xD4 Song\r\n\r\n" +
                                         Ansi("声音时长：") + "03:35\r\n\r\n" + Ansi("声音封面：") +
                                         "http://img.example/c/42.jpg\r\n\r\n" + Ansi("Echo链接：") +
                                         "http://sound.example/s/42.mp3\r\n\r\n" + separator + "\r\n");
    EXPECT_EQ(server.Requests().size(), 4u);
    for (const ReceivedRequest& request : server.Requests()) EXPECT_EQ(request.RequestLine(), "GET /sound/42 HTTP/1.1");
}

TEST(SoundPageOverHttp, AFailedFetchLeavesEveryFieldEmpty) {
    std::string port;
    {
        LoopbackServer closed(LoopbackServer::Replying(""));
        port = std::to_string(closed.Port());
    }
    // Nobody listens on that port any more: the connection is refused.
    const std::string separator(73, '=');
    EXPECT_EQ(ParseAndShow("127.0.0.1:" + port + "/sound/1"),
              separator + "\r\n\r\n" + Ansi("声音名称：") + "\r\n\r\n" + Ansi("声音时长：") + "\r\n\r\n" +
                  Ansi("声音封面：") + "\r\n\r\n" + Ansi("Echo链接：") + "\r\n\r\n" + separator + "\r\n");
    EXPECT_EQ(std::string(SoundLink.View()), "");
}

}  // namespace
