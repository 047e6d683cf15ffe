#include "subscriptions/fetch.h"

#include <algorithm>
#include <cctype>
#include <climits>
#include <memory>
#include <string_view>

#include "subscriptions/curl_library.h"

namespace subscriptions {

// One fetch under way: its handle, and what its callbacks gather.
struct Fetches::Transfer {
    std::string key;
    FetchLimits limits;
    CURL* easy = nullptr;
    curl_slist* headers = nullptr;
    std::string body;
    Validators validators;
    bool tooLarge = false;
};

namespace {

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

// A validator's value, or nothing when it is longer than kLongestValidatorBytes.
std::string Validator(std::string_view value) {
    const std::string_view trimmed = Trimmed(value);
    return trimmed.size() <= kLongestValidatorBytes ? std::string(trimmed) : std::string();
}

std::size_t TakeBody(char* bytes, std::size_t size, std::size_t count, void* data) {
    auto& transfer = *static_cast<Fetches::Transfer*>(data);
    const std::size_t length = size * count;
    // Counted as decoded: a small compressed answer that swells is cut as well.
    if (transfer.body.size() + length > transfer.limits.largestBytes) {
        transfer.tooLarge = true;
        return 0;  // libcurl stops with CURLE_WRITE_ERROR
    }
    // Room for the largest answer at once, which the system gives as it is written: a
    // growing string would copy itself, and hold its old and new text together
    // (32 MB on the way to the 20 MB limit).
    if (transfer.body.capacity() < transfer.limits.largestBytes) transfer.body.reserve(transfer.limits.largestBytes);
    transfer.body.append(bytes, length);
    return length;
}

// Each response's header lines, those of a redirect included: a status line starts
// a new response, whose validators alone count.
std::size_t TakeHeader(char* bytes, std::size_t size, std::size_t count, void* data) {
    auto& transfer = *static_cast<Fetches::Transfer*>(data);
    const std::size_t length = size * count;
    const std::string_view line(bytes, length);
    if (StartsWithNoCase(line, "http/")) {
        transfer.validators = {};
    } else if (StartsWithNoCase(line, "etag:")) {
        transfer.validators.etag = Validator(line.substr(5));
    } else if (StartsWithNoCase(line, "last-modified:")) {
        transfer.validators.lastModified = Validator(line.substr(14));
    }
    return length;
}

Fetched Failure(std::string sentence) {
    return {.kind = Fetched::Kind::Failed, .body = {}, .validators = {}, .sentence = std::move(sentence)};
}

std::string Seconds(std::chrono::milliseconds duration) {
    const auto seconds = std::chrono::duration_cast<std::chrono::seconds>(duration).count();
    return std::to_string(seconds) + (seconds > 1 ? " secondes" : " seconde");
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
Fetched Ended(CURLcode code, const Fetches::Transfer& transfer, long status, bool connected,
              const FetchLimits& limits) {
    switch (code) {
    case CURLE_OK: break;
    case CURLE_COULDNT_RESOLVE_HOST:
    case CURLE_COULDNT_RESOLVE_PROXY:
    case CURLE_COULDNT_CONNECT: return {.kind = Fetched::Kind::Offline, .body = {}, .validators = {}, .sentence = {}};
    case CURLE_OPERATION_TIMEDOUT:
        if (!connected) return {.kind = Fetched::Kind::Offline, .body = {}, .validators = {}, .sentence = {}};
        return Failure("la réponse n'a pas fini d'arriver en " + Seconds(limits.longest) + " : elle est abandonnée.");
    case CURLE_FILESIZE_EXCEEDED:
    case CURLE_WRITE_ERROR:
        if (code == CURLE_WRITE_ERROR && !transfer.tooLarge) break;
        return Failure("la réponse dépasse " + calendar::SizeText(limits.largestBytes) + " : elle est refusée.");
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
bool IsOneLine(const std::string& value) { return value.find_first_of("\r\n") == std::string::npos; }

// Sets `transfer`'s handle to fetch `address` within its limits.
void Prepare(const CurlLibrary& curl, Fetches::Transfer& transfer, const std::string& address,
             const Validators& previous) {
    if (!previous.etag.empty() && IsOneLine(previous.etag)) {
        transfer.headers = curl.slistAppend(transfer.headers, ("If-None-Match: " + previous.etag).c_str());
    }
    if (!previous.lastModified.empty() && IsOneLine(previous.lastModified)) {
        transfer.headers = curl.slistAppend(transfer.headers, ("If-Modified-Since: " + previous.lastModified).c_str());
    }
    CURL* easy = transfer.easy;
    const FetchLimits& limits = transfer.limits;
    curl.easySetopt(easy, CURLOPT_URL, address.c_str());
    curl.easySetopt(easy, CURLOPT_PROTOCOLS_STR, "http,https");
    curl.easySetopt(easy, CURLOPT_REDIR_PROTOCOLS_STR, "http,https");
    curl.easySetopt(easy, CURLOPT_FOLLOWLOCATION, 1L);
    curl.easySetopt(easy, CURLOPT_MAXREDIRS, long(limits.redirects));
    curl.easySetopt(easy, CURLOPT_TIMEOUT_MS, long(limits.longest.count()));
    curl.easySetopt(easy, CURLOPT_CONNECTTIMEOUT_MS, long(limits.connection.count()));
    curl.easySetopt(easy, CURLOPT_MAXFILESIZE_LARGE, curl_off_t(limits.largestBytes));
    curl.easySetopt(easy, CURLOPT_ACCEPT_ENCODING, "");  // every encoding this libcurl decodes
    curl.easySetopt(easy, CURLOPT_USERAGENT, "Solvane/" SOLVANE_VERSION);
    curl.easySetopt(easy, CURLOPT_HTTPHEADER, transfer.headers);
    curl.easySetopt(easy, CURLOPT_NOSIGNAL, 1L);  // no SIGALRM for the resolver's timeout: other threads run
    // An abandoned fetch does not wait for its name's resolution to end (libcurl 7.87
    // and later; an older one refuses the option and waits).
    curl.easySetopt(easy, CURLOPT_QUICK_EXIT, 1L);
    curl.easySetopt(easy, CURLOPT_WRITEFUNCTION, &TakeBody);
    curl.easySetopt(easy, CURLOPT_WRITEDATA, &transfer);
    curl.easySetopt(easy, CURLOPT_HEADERFUNCTION, &TakeHeader);
    curl.easySetopt(easy, CURLOPT_HEADERDATA, &transfer);
}

// The outcome of `transfer`, which libcurl ended with `code`.
Fetched Finished(const CurlLibrary& curl, CURLcode code, const Fetches::Transfer& transfer) {
    long status = 0;
    curl.easyGetinfo(transfer.easy, CURLINFO_RESPONSE_CODE, &status);
    curl_off_t connectMicroseconds = 0;
    curl.easyGetinfo(transfer.easy, CURLINFO_CONNECT_TIME_T, &connectMicroseconds);
    return Ended(code, transfer, status, connectMicroseconds > 0 || status != 0, transfer.limits);
}

// Takes `transfer` out of `multi`, ended or not, and frees its handle.
void Release(const CurlLibrary& curl, CURLM* multi, Fetches::Transfer& transfer) {
    curl.multiRemoveHandle(multi, transfer.easy);
    curl.easyCleanup(transfer.easy);
    curl.slistFreeAll(transfer.headers);
}

}  // namespace

bool LooksLikeICalendar(const std::string& body) {
    std::string_view text = body;
    if (text.starts_with("\xEF\xBB\xBF")) text.remove_prefix(3);
    while (!text.empty() && std::isspace(static_cast<unsigned char>(text.front()))) text.remove_prefix(1);
    return StartsWithNoCase(text, "begin:vcalendar");
}

Fetched Fetch(const std::string& address, const Validators& previous, const FetchLimits& limits) {
    Fetches fetches;
    fetches.Add(address, address, previous, limits);
    for (;;) {
        auto ended = fetches.Wait(limits.longest);
        if (!ended.empty()) return std::move(ended.front().second);
    }
}

Fetches::Fetches() = default;

Fetches::~Fetches() {
    const CurlLibrary* curl = Curl();
    auto* multi = static_cast<CURLM*>(multi_.load());
    if (curl == nullptr || multi == nullptr) return;
    for (const std::unique_ptr<Transfer>& transfer : transfers_) Release(*curl, multi, *transfer);
    curl->multiCleanup(multi);
}

void Fetches::Add(const std::string& key, const std::string& address, const Validators& previous,
                  const FetchLimits& limits) {
    const CurlLibrary* curl = Curl();
    if (curl == nullptr) {
        ended_.emplace_back(key, Failure("la bibliothèque libcurl est introuvable sur ce système : les abonnements "
                                         "ne se chargent pas."));
        return;
    }
    if (multi_.load() == nullptr) multi_ = curl->multiInit();
    auto* multi = static_cast<CURLM*>(multi_.load());
    auto transfer = std::make_unique<Transfer>();
    transfer->key = key;
    transfer->limits = limits;
    transfer->easy = curl->easyInit();
    if (multi == nullptr || transfer->easy == nullptr) {
        if (transfer->easy != nullptr) curl->easyCleanup(transfer->easy);
        ended_.emplace_back(key, Failure("le chargement n'a pas pu commencer (libcurl)."));
        return;
    }
    Prepare(*curl, *transfer, address, previous);
    if (curl->multiAddHandle(multi, transfer->easy) != CURLM_OK) {
        curl->easyCleanup(transfer->easy);
        curl->slistFreeAll(transfer->headers);
        ended_.emplace_back(key, Failure("le chargement n'a pas pu commencer (libcurl)."));
        return;
    }
    transfers_.push_back(std::move(transfer));
}

std::vector<std::pair<std::string, Fetched>> Fetches::Wait(std::chrono::milliseconds longest) {
    std::vector<std::pair<std::string, Fetched>> ended = std::exchange(ended_, {});
    const CurlLibrary* curl = Curl();
    auto* multi = static_cast<CURLM*>(multi_.load());
    if (!ended.empty() || curl == nullptr || multi == nullptr) return ended;
    const auto until = std::chrono::steady_clock::now() + longest;
    for (;;) {
        int running = 0;
        curl->multiPerform(multi, &running);
        int queued = 0;
        while (const CURLMsg* message = curl->multiInfoRead(multi, &queued)) {
            if (message->msg != CURLMSG_DONE) continue;
            const auto found = std::find_if(transfers_.begin(), transfers_.end(), [&](const auto& transfer) {
                return transfer->easy == message->easy_handle;
            });
            if (found == transfers_.end()) continue;
            const CURLcode code = message->data.result;  // read before the handle goes
            ended.emplace_back((*found)->key, Finished(*curl, code, **found));
            Release(*curl, multi, **found);
            transfers_.erase(found);
        }
        const auto left =
            std::chrono::duration_cast<std::chrono::milliseconds>(until - std::chrono::steady_clock::now());
        if (!ended.empty() || transfers_.empty() || left.count() <= 0 || woken_.exchange(false)) return ended;
        // libcurl wakes sooner when one of its own timeouts (a fetch's limits) is due.
        curl->multiPoll(multi, nullptr, 0, int(std::min<long long>(left.count(), INT_MAX)), nullptr);
    }
}

void Fetches::Wake() {
    woken_ = true;
    // The flag for a Wait that has yet to poll, the wake-up for one that polls.
    if (void* multi = multi_.load()) Curl()->multiWakeup(static_cast<CURLM*>(multi));
}

bool Fetches::Empty() const { return transfers_.empty() && ended_.empty(); }

bool Fetches::UnderWay(const std::string& key) const {
    return std::any_of(transfers_.begin(), transfers_.end(),
                       [&](const auto& transfer) { return transfer->key == key; });
}

}  // namespace subscriptions
