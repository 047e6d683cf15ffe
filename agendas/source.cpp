#include "agendas/source.h"

#include <sys/stat.h>
#include <cstdlib>

#include "subscriptions/address.h"

namespace agendas {

namespace {

bool StartsWithNoCase(std::string_view text, std::string_view start) {
    if (text.size() < start.size()) return false;
    for (std::size_t at = 0; at < start.size(); ++at) {
        char c = text[at];
        if (c >= 'A' && c <= 'Z') c = char(c - 'A' + 'a');
        if (c != start[at]) return false;
    }
    return true;
}

}  // namespace

Source SourceOf(std::string_view written, const char* home) {
    if (subscriptions::IsSubscriptionAddress(written)) {
        return {.kind = Source::Kind::Url, .location = std::string(written), .name = {}};
    }
    std::string path(written);
    if (home != nullptr && *home != '\0' && (path == "~" || path.starts_with("~/"))) path = home + path.substr(1);
    struct stat status = {};
    const bool folder = stat(path.c_str(), &status) == 0 && S_ISDIR(status.st_mode);
    return {.kind = folder ? Source::Kind::Folder : Source::Kind::File, .location = path, .name = {}};
}

Source SourceOf(std::string_view written) { return SourceOf(written, std::getenv("HOME")); }

std::string NameFromPath(std::string_view path) {
    while (path.size() > 1 && path.back() == '/') path.remove_suffix(1);
    const std::size_t slash = path.rfind('/');
    std::string_view name = slash == std::string_view::npos ? path : path.substr(slash + 1);
    const std::size_t dot = name.rfind('.');
    if (dot != std::string_view::npos && dot > 0) {
        const std::string_view extension = name.substr(dot);
        if (extension.size() == 4 && (StartsWithNoCase(extension, ".ics") || StartsWithNoCase(extension, ".vcf"))) {
            name = name.substr(0, dot);
        }
    }
    return std::string(name);
}

}  // namespace agendas
