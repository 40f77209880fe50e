// The program's general HTTP(S) request routine and the text helpers it is built from: URL parts,
// header text rebuilding, cookie merging. The cloud software list fetches its page through it.
//
// Texts are GBK byte strings. Searches never match inside a double-byte character; case-insensitive
// comparison touches only the ASCII letters. "Trimmed" means spaces removed at both ends.
// All functions are free of shared state and may be called from any thread; WebRequest blocks its
// caller until the body has been read or a time-out ended the exchange (60 s to connect, then 30 s
// in which no data moves).
#pragma once

#include <string>
#include <string_view>

// Performs one request and returns the response body exactly as received (no decoding).
//
// url          "http://", "https://" or no scheme (then http); host, optional ":port", path and query.
// method       0 GET, 1 POST, 2 HEAD, 3 PUT, 4 OPTIONS, 5 DELETE, 6 TRACE, 7 CONNECT; others mean GET.
// postText     the body as text; used when the verb is not GET and `postBytes` is empty or omitted.
//              HEAD never carries a body (its response has none either).
// cookies      in/out, nullptr = omitted. Present (even empty): sent as a Cookie header when not empty
//              ("a=1; b=2", or a text holding a whole "Cookie:" header), and with `mergeCookies` it
//              receives the merged cookie text on return.
// returnedCookies  out: the first name=value pair of every Set-Cookie header, joined by "; " (merged
//              with `cookies` when merging applies).
// extraHeaders request headers, one "Name: value" per CRLF-separated line; a User-Agent line sets the
//              agent. Without one the agent is "Mozilla/4.0 (compatible; MSIE 9.0; Windows NT 6.1)".
// returnedHeaders  out: the final response's raw header block (status line first, CRLF line ends,
//              empty line last); 5,000 spaces when no header block arrived or it is 5,000 bytes or more
//              (a text that long does not fit the routine's header buffer).
// noRedirect   return a redirect response instead of following it.
// postBytes    in/out, nullptr = omitted: the body as bytes, preferred to `postText`; when it is empty
//              and the verb is not GET it receives the bytes of `postText`.
// proxy        "host:port" of a proxy; empty = direct (proxy settings of the environment are not used).
//              `socksProxy`: it is a SOCKS version 4 proxy (names resolved here); else an HTTP proxy
//              (https goes through it as a CONNECT tunnel).
// mergeCookies merge `cookies` with the received ones (only when `cookies` is present).
// completeHeaders  add Accept, Referer (the url), Accept-Language (zh-cn) and, for POST, a form
//              Content-Type when `extraHeaders` lack them.
// normalizeHeaderNames  rebuild `extraHeaders` with capitalised names first (drops lines without ":").
//
// When the request cannot even be set up (a host that is no host name, a port outside 0..65535; port
// 0 means the scheme's default) the result is empty and no out or in/out parameter is touched.
// Otherwise every given out parameter is written, also when the server could not be reached (then
// the body is empty and `returnedHeaders` holds the 5,000 spaces). A body cut short by the server or
// a time-out is returned as far as it arrived. Redirects are followed at most 20 times; then the last
// redirect response is the result. Certificate errors never fail a request. No cookie is sent except
// those in `cookies`.
std::string WebRequest(const std::string &url, int method = 0, const std::string &postText = {},
                       std::string *cookies = nullptr, std::string *returnedCookies = nullptr,
                       const std::string &extraHeaders = {}, std::string *returnedHeaders = nullptr,
                       bool noRedirect = false, std::string *postBytes = nullptr, const std::string &proxy = {},
                       bool mergeCookies = true, bool completeHeaders = true, bool normalizeHeaderNames = true,
                       bool socksProxy = false);

// ---- header text ---------------------------------------------------------------------------------

// The text split at CRLF; each line with a ":" keeps it with its name's first letter and every letter
// after a "-" raised to upper case (content-type -> Content-Type, CONTENT-type -> CONTENT-Type; no other
// letter changes); lines without ":" are dropped; joined with CRLF, none after the last line.
std::string NormalizeHeaderNames(std::string_view headers);
// The text with its first byte upper-cased when it is an ASCII letter.
std::string CapitalizeFirst(std::string_view text);

// ---- text pieces ---------------------------------------------------------------------------------

// The text between the first `startMarker` found at or after the 1-based `startPosition` (0 or 1: the
// beginning) and the first `endMarker` after it; empty when either is missing. In both markers every
// "#引号" is first replaced by a double quote.
std::string TextBetween(std::string_view text, std::string_view startMarker, std::string_view endMarker,
                        size_t startPosition = 0, bool ignoreCase = false);
// The text after the first ":", trimmed; empty when there is no colon.
std::string TextAfterFirstColon(std::string_view text);
// The text before the first occurrence of `separator`; empty when it does not occur.
std::string TextBeforeSeparator(std::string_view text, std::string_view separator);
// Spaces removed at both ends.
std::string TrimSpaces(std::string_view text);
// 0-based position of the first occurrence of `needle` at or after the 0-based `from`, never inside a
// double-byte character; std::string::npos when there is none. An empty needle is found at `from`.
size_t FindText(std::string_view text, std::string_view needle, size_t from = 0, bool ignoreCase = false);

// ---- URL parts -----------------------------------------------------------------------------------

// The host of the url in lower case (after an assumed "http://" when the url names no scheme), with
// ":port" only when `keepPort` is set.
std::string UrlHost(std::string_view url, bool keepPort);
// The port: the number after the host's last ":", else 443 for an https url, else 80. A port text
// that is no number gives 0; digits are read up to the first other character.
int UrlPort(std::string_view url);
// The path to request, from the first "/" after the host to the end (query included, case kept);
// "/" when there is none.
std::string UrlPath(std::string_view url);

// ---- cookies -------------------------------------------------------------------------------------

// Old and new "; "-separated name=value texts merged: a name the new text carries replaces the old
// value, old cookies follow the new ones, values ending in "=deleted" are dropped, repeats removed.
std::string MergeCookies(std::string_view oldCookies, std::string_view newCookies);
// The trimmed text before the first "=" of one name=value piece (the whole piece trimmed without "=").
std::string CookieName(std::string_view piece);
// The pieces of the text split at `separator`, each repeated piece dropped (first occurrences kept in
// order), joined by `separator`.
std::string DedupeJoined(std::string_view text, std::string_view separator);
// The cookies a response header block sets: the first name=value pair of every Set-Cookie line (the
// header name in any letter case), trimmed, joined by "; "; pairs that come out empty are left out.
std::string CookiesFromHeaders(std::string_view rawHeaders);
