#include "http/url_parts.h"

#include <gtest/gtest.h>

#include <ostream>

#include "http/doc_name.h"

void PrintTo(const UrlParts& p, std::ostream* os) {
    *os << "{" << p.protocol << " | " << p.user << " | " << p.password << " | " << p.host << " | "
        << p.port << " | " << p.path << "}";
}

namespace {

TEST(UrlParts, SplitEveryFormOfAddress) {
    struct Case {
        const char* url;
        const char* previousPath;
        UrlParts parts;  // protocol, user, password, host, port, path
    };
    const Case cases[] = {
        {"http://example.com/products/Telvarn/version",
         "",
         {"http", "", "", "example.com", "", "/products/Telvarn/version"}},
        {"http://example.com:8080/x", "", {"http", "", "", "example.com", "8080", "/x"}},
        {"http://example.com", "", {"http", "", "", "example.com", "", ""}},
        {"HTTP://Example.com/P", "", {"http", "", "", "Example.com", "", "/P"}},
        {"svn+ssh.v-2://h/x", "", {"svn+ssh.v-2", "", "", "h", "", "/x"}},
        // An invalid protocol: the "://" does not count and the text is host and path.
        {"ht_tp://host/x", "", {"http", "", "", "ht_tp", "", "//host/x"}},
        {"http://user:pw@example.com:81/p", "", {"http", "user", "pw", "example.com", "81", "/p"}},
        // A ":" before the "@" is the password's, not a port.
        {"http://user:pw@example.com/p", "", {"http", "user", "pw", "example.com", "", "/p"}},
        {"http://a@b:c@host:81/x", "", {"http", "a@b", "c", "host", "81", "/x"}},
        {"http://example.com?q=1/2", "", {"http", "", "", "example.com", "", "?q=1/2"}},
        {"http://example.com/a?b=/c", "", {"http", "", "", "example.com", "", "/a?b=/c"}},
        {"/just/a/path", "", {"http", "", "", "", "", "/just/a/path"}},
        {"HTTP:/local/path", "", {"http", "", "", "", "", "/local/path"}},
        {"mailto:someone@example.com", "", {"mailto", "someone", "", "example.com", "", ""}},
        {"example.com:8080/x", "", {"", "", "", "example.com", "8080", "/x"}},
        {"./b.txt", "/a/c.txt", {"", "", "", "", "", "/a/b.txt"}},
        {"../b.txt", "/a/c.txt", {"", "", "", "", "", "/b.txt"}},
        {"../../b.txt", "/x/y/z.txt", {"", "", "", "", "", "/b.txt"}},
    };
    for (const Case& c : cases) {
        EXPECT_EQ(parseUrl(c.url, c.previousPath), c.parts) << c.url;
    }
}

TEST(DocName, IsThePathsLastSegmentOrDocumentHtm) {
    const std::pair<const char*, const char*> cases[] = {
        {"/products/Telvarn/version", "version"},
        {"/products/Telvarn/Telvarn.exe", "Telvarn.exe"},
        {"/d/f.txt?a=/b", "f.txt"},
        {"/", "document.htm"},
        {"/dir/", "document.htm"},
        {"/dir/?x=1", "document.htm"},
        {"", "document.htm"},
    };
    for (const auto& [path, name] : cases) EXPECT_EQ(docNameOfPath(path), name) << path;
}

TEST(DocName, OfAnHtmlPageUnderAProgramsOrBareNameEndsInHtm) {
    const std::tuple<const char*, const char*, const char*> cases[] = {
        {"Telvarn.exe", "text/html", "Telvarn.htm"},
        {"SETUP.EXE", "text/html", "SETUP.htm"},
        {"version", "text/html", "version.htm"},
        {"b.txt", "text/html", "b.txt"},
        {"Telvarn.exe", "application/octet-stream", "Telvarn.exe"},
        {"y.exe", "text/html; charset=utf-8", "y.exe"},
    };
    for (const auto& [name, type, adjusted] : cases) {
        EXPECT_EQ(docNameForContent(name, type), adjusted) << name << " " << type;
    }
}

}  // namespace
