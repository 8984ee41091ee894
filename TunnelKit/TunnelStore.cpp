#include "TunnelKit/TunnelStore.h"

namespace tunnelkit {

namespace {

// Room for a typical tunnel's text, so that a long list is not copied over and over as it grows.
constexpr size_t expectedBytesPerTunnel = 1200;

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
    json::PrettyWriter writer(tunnels.size() * expectedBytesPerTunnel);
    writer.beginObject();
    writer.key("tunnels");
    json::write(writer, tunnels);
    writer.key("version");
    writer.integer(1);
    writer.endObject();
    return std::move(writer).take();
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
    json::PrettyWriter writer(tunnels.size() * expectedBytesPerTunnel);
    writer.beginObject();
    writer.key("exportedAt");
    writer.string(formatIsoDate(exportedAt));
    writer.key("format");
    writer.string(format);
    writer.key("tunnels");
    json::write(writer, tunnels);
    writer.key("version");
    writer.integer(version);
    writer.endObject();
    return std::move(writer).take();
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
