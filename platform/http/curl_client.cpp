// The HTTP client service over libcurl: builds one easy handle per request so that the bytes on the
// wire are exactly the request's, collects the final response's header block and body, and maps
// libcurl's result to an Outcome.
#include "platform/http/http.h"

#include <curl/curl.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstring>
#include <mutex>

namespace platform::http {
namespace {

bool startsWithNoCase(std::string_view text, std::string_view prefix)
{
    if (text.size() < prefix.size())
        return false;
    for (size_t i = 0; i < prefix.size(); ++i) {
        const unsigned char a = static_cast<unsigned char>(text[i]);
        const unsigned char b = static_cast<unsigned char>(prefix[i]);
        if ((a >= 'A' && a <= 'Z' ? a + 32 : a) != (b >= 'A' && b <= 'Z' ? b + 32 : b))
            return false;
    }
    return true;
}

// True when one of the lines is a header with this name (case-insensitive, "Name:" at the start).
bool hasHeader(const std::vector<std::string> &lines, std::string_view name)
{
    for (const std::string &line : lines) {
        const size_t colon = line.find(':');
        if (colon == std::string::npos)
            continue;
        std::string_view lineName(line.data(), colon);
        while (!lineName.empty() && (lineName.back() == ' ' || lineName.back() == '\t'))
            lineName.remove_suffix(1);
        if (lineName.size() == name.size() && startsWithNoCase(lineName, name))
            return true;
    }
    return false;
}

// A host we can put into a URL unchanged: no structure characters, no spaces or controls.
bool isPlainHost(std::string_view host)
{
    if (host.empty())
        return false;
    for (const char c : host) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b == 0x7F || std::strchr("/\\?#@:[]%", c) != nullptr)
            return false;
    }
    return true;
}

// libcurl refuses controls and spaces in a URL; they are sent percent-encoded (as browsers do).
// Every other byte, GBK bytes included, goes out as it is.
std::string encodeTarget(std::string_view path)
{
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    out.reserve(path.size());
    for (const char c : path) {
        const unsigned char b = static_cast<unsigned char>(c);
        if (b <= 0x20 || b == 0x7F) {
            out += '%';
            out += kHex[b >> 4];
            out += kHex[b & 0x0F];
        } else {
            out += c;
        }
    }
    return out;
}

struct Transfer {
    CURL *handle = nullptr;
    Response response;
    bool inHeaderBlock = false;
    bool headerBlockComplete = false;
    // Stall watch: the last moment data moved in either direction, once the connection is set up.
    std::chrono::steady_clock::duration stallLimit{};
    std::chrono::steady_clock::time_point lastActivity = std::chrono::steady_clock::now();
    curl_off_t lastDown = 0;
    curl_off_t lastUp = 0;
    bool stalled = false;
};

// Called by libcurl about once a second, and whenever data moves.
int onProgress(void *user, curl_off_t, curl_off_t downNow, curl_off_t, curl_off_t upNow)
{
    auto *t = static_cast<Transfer *>(user);
    const auto now = std::chrono::steady_clock::now();
    curl_off_t setUp = 0; // microseconds until the transfer could begin (TCP, proxy and TLS done)
    curl_easy_getinfo(t->handle, CURLINFO_PRETRANSFER_TIME_T, &setUp);
    if (setUp == 0 || downNow != t->lastDown || upNow != t->lastUp) {
        t->lastActivity = now;
        t->lastDown = downNow;
        t->lastUp = upNow;
        return 0;
    }
    if (now - t->lastActivity >= t->stallLimit) {
        t->stalled = true;
        return 1;
    }
    return 0;
}

size_t onHeader(char *data, size_t size, size_t count, void *user)
{
    auto *t = static_cast<Transfer *>(user);
    const size_t n = size * count;
    t->lastActivity = std::chrono::steady_clock::now();
    std::string_view line(data, n);
    // Each response of the exchange (1xx interim answers, redirects) opens with its status line; only
    // the last one is reported. Lines after a completed block without a status line are trailers.
    if (line.size() >= 5 && line.substr(0, 5) == "HTTP/") {
        t->response.rawHeaders.clear();
        t->response.body.clear();
        t->inHeaderBlock = true;
        t->headerBlockComplete = false;
    }
    if (!t->inHeaderBlock)
        return n;
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r'))
        line.remove_suffix(1);
    t->response.rawHeaders.append(line);
    t->response.rawHeaders.append("\r\n");
    if (line.empty()) {
        t->inHeaderBlock = false;
        t->headerBlockComplete = true;
    }
    return n;
}

size_t onBody(char *data, size_t size, size_t count, void *user)
{
    auto *t = static_cast<Transfer *>(user);
    t->response.body.append(data, size * count);
    return size * count;
}

struct SlistDeleter {
    void operator()(curl_slist *list) const { curl_slist_free_all(list); }
};
struct EasyDeleter {
    void operator()(CURL *easy) const { curl_easy_cleanup(easy); }
};

class CurlClient final : public Client {
public:
    explicit CurlClient(Timeouts timeouts) : timeouts_(timeouts) {}
    Response perform(const Request &request) override;

private:
    Timeouts timeouts_;
};

bool globalInit()
{
    static std::once_flag once;
    static bool ok = false;
    std::call_once(once, [] { ok = curl_global_init(CURL_GLOBAL_DEFAULT) == CURLE_OK; });
    return ok;
}

Response CurlClient::perform(const Request &request)
{
    Response notStarted;
    notStarted.outcome = Outcome::NotStarted;
    if (!globalInit()) {
        notStarted.error = "libcurl could not be initialised";
        return notStarted;
    }
    if (!isPlainHost(request.host) || request.port < 1 || request.port > 65535 || request.path.empty()
        || request.path[0] != '/') {
        notStarted.error = "bad host, port or request target";
        return notStarted;
    }
    std::unique_ptr<CURL, EasyDeleter> easy(curl_easy_init());
    if (!easy) {
        notStarted.error = "no libcurl handle";
        return notStarted;
    }
    CURL *h = easy.get();

    const std::string url = std::string(request.secure ? "https://" : "http://") + request.host + ":"
                            + std::to_string(request.port) + encodeTarget(request.path);
    curl_easy_setopt(h, CURLOPT_URL, url.c_str());
    curl_easy_setopt(h, CURLOPT_PATH_AS_IS, 1L);
    curl_easy_setopt(h, CURLOPT_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl_easy_setopt(h, CURLOPT_HTTP_VERSION, static_cast<long>(CURL_HTTP_VERSION_1_1));
    curl_easy_setopt(h, CURLOPT_NOSIGNAL, 1L);
    curl_easy_setopt(h, CURLOPT_HTTP_CONTENT_DECODING, 0L);
    curl_easy_setopt(h, CURLOPT_SUPPRESS_CONNECT_HEADERS, 1L);

    // Certificate problems never fail a request: the program talks to hosts with self-made or
    // outdated certificates as happily as to any other.
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYPEER, 0L);
    curl_easy_setopt(h, CURLOPT_SSL_VERIFYHOST, 0L);

    curl_easy_setopt(h, CURLOPT_FOLLOWLOCATION, request.followRedirects ? 1L : 0L);
    curl_easy_setopt(h, CURLOPT_MAXREDIRS, static_cast<long>(kMaxRedirects));

    const long connectMs = static_cast<long>(std::max<long long>(1, timeouts_.connect.count()));
    curl_easy_setopt(h, CURLOPT_CONNECTTIMEOUT_MS, connectMs);

    std::string proxyUrl;
    switch (request.proxyKind) {
    case ProxyKind::None:
        break;
    case ProxyKind::Http:
        proxyUrl = request.proxy.find("://") == std::string::npos ? "http://" + request.proxy : request.proxy;
        break;
    case ProxyKind::Socks4:
        proxyUrl = "socks4://" + request.proxy;
        break;
    }
    // An empty proxy string also keeps libcurl from taking one from http_proxy and friends, and an
    // empty no-proxy list keeps a given proxy in use for every host, local ones included.
    curl_easy_setopt(h, CURLOPT_PROXY, proxyUrl.c_str());
    curl_easy_setopt(h, CURLOPT_NOPROXY, "");

    // Header lines: ours, in order. libcurl would add Accept, Expect and (for bodies) Content-Type
    // of its own; an entry "Name:" without value removes such a header, "Name;" sends it empty.
    std::unique_ptr<curl_slist, SlistDeleter> headers;
    auto add = [&headers](const std::string &line) {
        curl_slist *grown = curl_slist_append(headers.get(), line.c_str());
        if (grown != nullptr) {
            (void)headers.release();
            headers.reset(grown);
        }
        return grown != nullptr;
    };
    for (const std::string &line : request.headerLines) {
        const size_t colon = line.find(':');
        if (colon == std::string::npos || line.find_first_of("\r\n") != std::string::npos
            || line.find('\0') != std::string::npos)
            continue;
        if (line.find_first_not_of(" \t", colon + 1) == std::string::npos)
            add(line.substr(0, colon) + ";");
        else
            add(line);
    }
    for (const char *name : {"Accept", "Expect", "Content-Type"}) {
        if (!hasHeader(request.headerLines, name))
            add(std::string(name) + ":");
    }
    curl_easy_setopt(h, CURLOPT_HTTPHEADER, headers.get());
    if (!request.userAgent.empty() && !hasHeader(request.headerLines, "User-Agent")
        && request.userAgent.find_first_of("\r\n") == std::string::npos)
        curl_easy_setopt(h, CURLOPT_USERAGENT, request.userAgent.c_str());

    // HEAD goes through libcurl's own HEAD support, which knows that no response body follows; POST
    // with a body through its POST support, which turns into GET on a 301/302/303 redirect. Every
    // other verb is sent as named.
    const bool isHead = request.method == "HEAD";
    if (isHead) {
        curl_easy_setopt(h, CURLOPT_NOBODY, 1L);
    } else if (request.sendBody) {
        curl_easy_setopt(h, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(request.body.size()));
        curl_easy_setopt(h, CURLOPT_POSTFIELDS, request.body.data());
    }
    if (request.method != "GET" && !isHead && !(request.method == "POST" && request.sendBody))
        curl_easy_setopt(h, CURLOPT_CUSTOMREQUEST, request.method.c_str());

    Transfer transfer;
    transfer.handle = h;
    transfer.stallLimit =
        std::max<std::chrono::steady_clock::duration>(timeouts_.stall, std::chrono::milliseconds(100));
    curl_easy_setopt(h, CURLOPT_NOPROGRESS, 0L);
    curl_easy_setopt(h, CURLOPT_XFERINFOFUNCTION, onProgress);
    curl_easy_setopt(h, CURLOPT_XFERINFODATA, &transfer);
    char errorText[CURL_ERROR_SIZE] = {};
    curl_easy_setopt(h, CURLOPT_ERRORBUFFER, errorText);
    curl_easy_setopt(h, CURLOPT_HEADERFUNCTION, onHeader);
    curl_easy_setopt(h, CURLOPT_HEADERDATA, &transfer);
    curl_easy_setopt(h, CURLOPT_WRITEFUNCTION, onBody);
    curl_easy_setopt(h, CURLOPT_WRITEDATA, &transfer);

    const CURLcode rc = curl_easy_perform(h);
    Response &r = transfer.response;
    if (!transfer.headerBlockComplete)
        r.rawHeaders.clear();
    long status = 0;
    if (curl_easy_getinfo(h, CURLINFO_RESPONSE_CODE, &status) == CURLE_OK)
        r.status = static_cast<int>(status);
    switch (rc) {
    case CURLE_OK:
        r.outcome = Outcome::Completed;
        break;
    case CURLE_URL_MALFORMAT:
    case CURLE_UNSUPPORTED_PROTOCOL:
        r.outcome = Outcome::NotStarted;
        r.rawHeaders.clear();
        r.body.clear();
        r.status = 0;
        break;
    default:
        r.outcome = Outcome::Failed;
        break;
    }
    if (transfer.stalled)
        r.error = "no data received for too long";
    else if (rc != CURLE_OK)
        r.error = errorText[0] != '\0' ? errorText : curl_easy_strerror(rc);
    return std::move(r);
}

Client &defaultClient()
{
    static CurlClient client{Timeouts{}};
    return client;
}

std::atomic<Client *> g_override{nullptr};

} // namespace

std::unique_ptr<Client> makeCurlClient(Timeouts timeouts) { return std::make_unique<CurlClient>(timeouts); }

Response perform(const Request &request)
{
    Client *client = g_override.load();
    return client != nullptr ? client->perform(request) : defaultClient().perform(request);
}

void setClientForTesting(Client *client) { g_override.store(client); }

} // namespace platform::http
