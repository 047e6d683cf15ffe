#include "subscriptions/fetch.h"

#include <algorithm>
#include <cctype>
#include <memory>
#include <string_view>

#include "subscriptions/curl_library.h"

namespace subscriptions {

namespace {

// What the transfer's callbacks gather.
struct Transfer {
    std::string body;
    Validators validators;
    std::size_t largest = 0;
    bool tooLarge = false;
    const std::atomic<bool>* stop = nullptr;
};

bool StartsWithNoCase(std::string_view text, std::string_view start) {
    return text.size() >= start.size() &&
           std::equal(start.begin(), start.end(), text.begin(), [](char expected, char written) {
               return std::tolower(static_cast<unsigned char>(written)) == expected;
           });
}

std::string_view Trimmed(std::string_view text) {
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.back()))) text.remove_suffix(1);
    return text;
}

std::size_t TakeBody(char* bytes, std::size_t size, std::size_t count, void* data) {
    auto& transfer = *static_cast<Transfer*>(data);
    const std::size_t length = size * count;
    // Counted as decoded: a small compressed answer that swells is cut as well.
    if (transfer.body.size() + length > transfer.largest) {
        transfer.tooLarge = true;
        return 0;  // libcurl stops with CURLE_WRITE_ERROR
    }
    transfer.body.append(bytes, length);
    return length;
}

// Each response's header lines, those of a redirect included: a status line starts
// a new response, whose validators alone count.
std::size_t TakeHeader(char* bytes, std::size_t size, std::size_t count, void* data) {
    auto& transfer = *static_cast<Transfer*>(data);
    const std::size_t length = size * count;
    const std::string_view line(bytes, length);
    if (StartsWithNoCase(line, "http/")) {
        transfer.validators = {};
    } else if (StartsWithNoCase(line, "etag:")) {
        transfer.validators.etag = Trimmed(line.substr(5));
    } else if (StartsWithNoCase(line, "last-modified:")) {
        transfer.validators.lastModified = Trimmed(line.substr(14));
    }
    return length;
}

int Progress(void* data, curl_off_t, curl_off_t, curl_off_t, curl_off_t) {
    const auto& transfer = *static_cast<Transfer*>(data);
    return transfer.stop != nullptr && transfer.stop->load() ? 1 : 0;
}

Fetched Failure(std::string sentence) {
    return {.kind = Fetched::Kind::Failed, .body = {}, .validators = {}, .sentence = std::move(sentence)};
}

std::string Seconds(std::chrono::milliseconds duration) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(duration).count();
    return std::to_string(seconds) + (seconds > 1 ? " secondes" : " seconde");
}

std::string Megabytes(std::size_t bytes) {
    const std::size_t megabytes = bytes / 1'000'000;
    return megabytes > 0 ? std::to_string(megabytes) + " Mo" : std::to_string(bytes / 1000) + " ko";
}

// What a status other than 200 and 304 says, in French.
std::string StatusSentence(long status) {
    const std::string code = std::to_string(status);
    switch (status) {
    case 401:
    case 403: return "le serveur refuse l'accès à cet agenda (réponse " + code + ").";
    case 404:
    case 410: return "le serveur ne connaît pas cette adresse (réponse " + code + ").";
    default: break;
    }
    if (status >= 500) return "le serveur est en panne (réponse " + code + ").";
    if (status >= 300 && status < 400) return "le serveur renvoie ailleurs sans dire où (réponse " + code + ").";
    if (status < 300) return "le serveur n'a pas envoyé d'agenda (réponse " + code + ").";
    return "le serveur refuse la demande (réponse " + code + ").";
}

// The outcome of a transfer that libcurl ended with `code`.
Fetched Ended(CURLcode code, const Transfer& transfer, long status, bool connected, const FetchLimits& limits) {
    switch (code) {
    case CURLE_OK: break;
    case CURLE_ABORTED_BY_CALLBACK:
        return {.kind = Fetched::Kind::Stopped, .body = {}, .validators = {}, .sentence = {}};
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT: return {.kind = Fetched::Kind::Offline, .body = {}, .validators = {}, .sentence = {}};
    case CURLE_OPERATION_TIMEDOUT:
        if (!connected) return {.kind = Fetched::Kind::Offline, .body = {}, .validators = {}, .sentence = {}};
        return Failure("la réponse n'a pas fini d'arriver en " + Seconds(limits.longest) + " : elle est abandonnée.");
    case CURLE_FILESIZE_EXCEEDED:
    case CURLE_WRITE_ERROR:
        if (code == CURLE_WRITE_ERROR && !transfer.tooLarge) break;
        return Failure("la réponse dépasse " + Megabytes(limits.largestBytes) + " : elle est refusée.");
    case CURLE_TOO_MANY_REDIRECTS:
        return Failure("l'adresse renvoie vers une autre plus de " + std::to_string(limits.redirects) +
                       " fois de suite : le chargement est abandonné.");
    case CURLE_PEER_FAILED_VERIFICATION:
        return Failure("le certificat du serveur n'est pas reconnu : la connexion n'est pas sûre, rien n'est chargé.");
    case CURLE_SSL_CONNECT_ERROR: return Failure("la connexion chiffrée avec le serveur a échoué.");
    case CURLE_SSL_CACERT_BADFILE: return Failure("les certificats du système ne se lisent pas : rien n'est chargé.");
    case CURLE_UNSUPPORTED_PROTOCOL:
        return Failure("l'adresse mène vers un autre protocole que http et https : elle n'est pas suivie.");
    case CURLE_URL_MALFORMAT: return Failure("l'adresse est mal écrite.");
    case CURLE_GOT_NOTHING:
    case CURLE_RECV_ERROR:
    case CURLE_SEND_ERROR:
    case CURLE_PARTIAL_FILE: return Failure("le serveur a coupé la connexion avant la fin de la réponse.");
    case CURLE_BAD_CONTENT_ENCODING: return Failure("la réponse du serveur est mal compressée.");
    default: break;
    }
    if (code != CURLE_OK)
        return Failure("le chargement a échoué (erreur " + std::to_string(int(code)) + " de libcurl).");
    if (status == 304) return {.kind = Fetched::Kind::NotModified, .body = {}, .validators = {}, .sentence = {}};
    if (status != 200) return Failure(StatusSentence(status));
    if (!LooksLikeICalendar(transfer.body)) return Failure("la réponse n'est pas un agenda iCalendar.");
    return {.kind = Fetched::Kind::Fresh, .body = transfer.body, .validators = transfer.validators, .sentence = {}};
}

// Header lines carry no line breaks: a validator that holds one is not sent back.
bool OneLine(const std::string& value) { return value.find_first_of("\r\n") == std::string::npos; }

}  // namespace

bool LooksLikeICalendar(const std::string& body) {
    std::string_view text = body;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    return StartsWithNoCase(text, "begin:vcalendar");
}

Fetched Fetch(const std::string& address, const Validators& previous, const FetchLimits& limits,
              const std::atomic<bool>* stop) {
    const CurlLibrary* curl = Curl();
    if (curl == nullptr) {
        return Failure("la bibliothèque libcurl est introuvable sur ce système : les abonnements ne se chargent pas.");
    }
    const std::unique_ptr<CURL, void (*)(CURL*)> handle(curl->easyInit(), curl->easyCleanup);
    if (!handle) return Failure("le chargement n'a pas pu commencer (libcurl).");
    CURL* easy = handle.get();

    Transfer transfer;
    transfer.largest = limits.largestBytes;
    transfer.stop = stop;
    curl_slist* headers = nullptr;
    if (!previous.etag.empty() && OneLine(previous.etag)) {
        headers = curl->slistAppend(headers, ("If-None-Match: " + previous.etag).c_str());
    }
    if (!previous.lastModified.empty() && OneLine(previous.lastModified)) {
        headers = curl->slistAppend(headers, ("If-Modified-Since: " + previous.lastModified).c_str());
    }
    const std::unique_ptr<curl_slist, void (*)(curl_slist*)> requestHeaders(headers, curl->slistFreeAll);

    curl->easySetopt(easy, CURLOPT_URL, address.c_str());
    curl->easySetopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl->easySetopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl->easySetopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl->easySetopt(easy, CURLOPT_MAXREDIRS, long(limits.redirects));
    curl->easySetopt(easy, CURLOPT_TIMEOUT_MS, long(limits.longest.count()));
    curl->easySetopt(easy, CURLOPT_CONNECTTIMEOUT_MS, long(limits.connection.count()));
    curl->easySetopt(easy, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(limits.largestBytes));
    curl->easySetopt(easy, CURLOPT_ACCEPT_ENCODING, "");  // every encoding this libcurl decodes
    curl->easySetopt(easy, CURLOPT_USERAGENT, "Solvane/" SOLVANE_VERSION);
    curl->easySetopt(easy, CURLOPT_HTTPHEADER, requestHeaders.get());
    curl->easySetopt(easy, CURLOPT_NOSIGNAL, 1L);  // no SIGALRM for the resolver's timeout: other threads run
    curl->easySetopt(easy, CURLOPT_WRITEFUNCTION, &TakeBody);
    curl->easySetopt(easy, CURLOPT_WRITEDATA, &transfer);
    curl->easySetopt(easy, CURLOPT_HEADERFUNCTION, &TakeHeader);
    curl->easySetopt(easy, CURLOPT_HEADERDATA, &transfer);
    curl->easySetopt(easy, CURLOPT_NOPROGRESS, 0L);
    curl->easySetopt(easy, CURLOPT_XFERINFOFUNCTION, &Progress);
    curl->easySetopt(easy, CURLOPT_XFERINFODATA, &transfer);

    const CURLcode code = curl->easyPerform(easy);
    long status = 0;
    curl->easyGetinfo(easy, CURLINFO_RESPONSE_CODE, &status);
    curl_off_t connectMicroseconds = 0;
    curl->easyGetinfo(easy, CURLINFO_CONNECT_TIME_T, &connectMicroseconds);
    return Ended(code, transfer, status, connectMicroseconds > 0 || status != 0, limits);
}

}  // namespace subscriptions
