#include "TunnelKit/TunnelStore.h"

namespace tunnelkit {

namespace {

nlohmann::json tunnelsJson(const std::vector<Tunnel>& tunnels) {
    auto list = nlohmann::json::array();
    for (const auto& tunnel : tunnels) {
        list.push_back(toJson(tunnel));
    }
    return list;
}

} // namespace

Result<std::vector<Tunnel>, StoreError> TunnelStore::load() const {
    if (!fileExists(filePath_)) {
        return std::vector<Tunnel>{};
    }
    auto bytes = readFile(filePath_);
    if (!bytes) {
        return Failure(StoreError{bytes.error()});
    }
    auto decoded = decode(*bytes);
    if (!decoded) {
        return Failure(StoreError{decoded.error()});
    }
    return std::move(*decoded);
}

Result<std::vector<Tunnel>, DecodingError> TunnelStore::decode(std::string_view bytes) {
    return json::decode(bytes, [](const json::Reader& top) {
        top.required("version").intValue();
        return json::decodeTunnels(top.required("tunnels"));
    });
}

std::string TunnelStore::encode(const std::vector<Tunnel>& tunnels) {
    return json::encodePretty(nlohmann::json{{"version", 1}, {"tunnels", tunnelsJson(tunnels)}});
}

Result<void, StoreError> TunnelStore::save(const std::vector<Tunnel>& tunnels) const {
    auto written = writeFileAtomically(filePath_, encode(tunnels));
    if (!written) {
        return Failure(StoreError{written.error()});
    }
    return {};
}

TunnelArchive TunnelArchive::make(const std::vector<Tunnel>& tunnels, Date exportedAt) {
    TunnelArchive archive;
    archive.exportedAt = exportedAt;
    archive.tunnels = tunnels;
    for (auto& tunnel : archive.tunnels) {
        tunnel.deletedAt.reset();
    }
    return archive;
}

std::string TunnelArchive::encoded() const {
    const nlohmann::json body{{"format", format},
                              {"version", version},
                              {"exportedAt", formatIsoDate(exportedAt)},
                              {"tunnels", tunnelsJson(tunnels)}};
    return json::encodePretty(body);
}

Result<TunnelArchive, DecodingError> TunnelArchive::decode(std::string_view bytes) {
    auto decoded = json::decode(bytes, [](const json::Reader& top) {
        TunnelArchive archive;
        archive.format = top.required("format").string();
        archive.version = top.required("version").intValue();
        archive.exportedAt = top.required("exportedAt").date();
        archive.tunnels = json::decodeTunnels(top.required("tunnels"));
        return archive;
    });
    if (decoded && decoded->format != formatIdentifier) {
        return Failure(DecodingError{DecodingError::Problem::notAnArchive, ""});
    }
    return decoded;
}

Result<TunnelArchive, StoreError> TunnelArchive::load(const std::string& path) {
    const auto bytes = readFile(path);
    if (!bytes) {
        return Failure(StoreError{bytes.error()});
    }
    auto archive = decode(*bytes);
    if (!archive) {
        return Failure(StoreError{archive.error()});
    }
    return std::move(*archive);
}

} // namespace tunnelkit
