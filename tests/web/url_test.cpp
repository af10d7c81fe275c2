// Taking addresses apart into host, port and path.
#include "web/url.h"

#include <gtest/gtest.h>

#include <string>

namespace {

struct AddressCase {
    std::string address;
    std::string host;
    std::string hostWithPort;
    int port;
    std::string path;
};

const AddressCase kAddresses[] = {
    {"http://Echo.Example/Sound/1", "echo.example", "echo.example", 80, "/Sound/1"},
    {"echo.example/x", "echo.example", "echo.example", 80, "/x"},
    {"https://echo.example", "echo.example", "echo.example", 443, "/"},
    {"HTTPS://Echo.Example/A/b?C=D", "echo.example", "echo.example", 443, "/A/b?C=D"},
    {"echo.example:8080", "echo.example", "echo.example:8080", 8080, "/"},
    {"http://echo.example:8080/a:b", "echo.example", "echo.example:8080", 8080, "/a:b"},
    // A bare colon reads as port 0; the host ends before it either way.
    {"echo.example:", "echo.example", "echo.example:", 0, "/"},
    {"https://echo.example:/p", "echo.example", "echo.example:", 0, "/p"},
    // A query without "/" stays in the host.
    {"echo.example?q=1", "echo.example?q=1", "echo.example?q=1", 80, "/"},
    // An inner "http://" of a scheme-less address is where the host is read.
    // The path then starts at the first "/" behind where that host is found.
    {"a.example/go?to=http://b.example/x", "b.example", "b.example", 80, "/x"},
    {"", "", "", 80, "/"},
    {"http://echo.example/", "echo.example", "echo.example", 80, "/"},
    {"ECHO.example/Q?Z=1/2", "echo.example", "echo.example", 80, "/Q?Z=1/2"},
    // Anything but the two schemes is read as the start of a host.
    {"https:/echo.example/a", "https", "https:", 0, "/echo.example/a"},
    {"ftp://echo.example/a", "ftp", "ftp:", 0, "//echo.example/a"},
};

TEST(UrlParts, TableOfAddresses) {
    for (const AddressCase& c : kAddresses) {
        SCOPED_TRACE(c.address);
        EXPECT_EQ(UrlHost(Text(c.address)).View(), c.host);
        EXPECT_EQ(UrlHost(Text(c.address), true).View(), c.hostWithPort);
        EXPECT_EQ(UrlPort(Text(c.address)), c.port);
        EXPECT_EQ(UrlPath(Text(c.address)).View(), c.path);
    }
}

TEST(UrlParts, ThePathKeepsTheAddressAsWrittenAndAnAbsentAddressReadsAsEmpty) {
    const Text address = "http://Echo.Example/Sound/AbC";
    EXPECT_EQ(UrlPath(address).View(), "/Sound/AbC");
    EXPECT_EQ(address.View(), "http://Echo.Example/Sound/AbC");
    EXPECT_EQ(UrlHost(Text()).View(), "");
    EXPECT_EQ(UrlPort(Text()), 80);
    EXPECT_EQ(UrlPath(Text()).View(), "/");
}

TEST(UrlParts, PortsAreReadAsWrittenWithoutRangeCheck) {
    EXPECT_EQ(UrlPort("echo.example:70000/a"), 70000);
    EXPECT_EQ(UrlPort("echo.example:-5"), -5);
    EXPECT_EQ(UrlPort("echo.example:12ab"), 12);
    // The last colon of the host with its port counts.
    EXPECT_EQ(UrlPort("echo.example:1:2"), 2);
}

TEST(UrlParts, HostFoundIgnoringCaseBeforeThePathIsSought) {
    // The host is sought in the address in any letter case; the path is the
    // first "/" from there on.
    EXPECT_EQ(UrlPath("HTTP://WWW.ECHO.EXAMPLE/Path").View(), "/Path");
    // A host that occurs earlier in the address (inside the scheme-less
    // text before an inner "http://") is found there first.
    EXPECT_EQ(UrlPath("b.example/x?to=http://b.example/y").View(), "/x?to=http://b.example/y");
}

TEST(AddressIsHttps, FirstFiveBytesInAnyCase) {
    EXPECT_TRUE(AddressIsHttps("https://a"));
    EXPECT_TRUE(AddressIsHttps("HTTPS://a"));
    EXPECT_TRUE(AddressIsHttps("https"));
    EXPECT_FALSE(AddressIsHttps("http://a"));
    EXPECT_FALSE(AddressIsHttps(" https://a"));
    EXPECT_FALSE(AddressIsHttps(Text()));
}

}  // namespace
