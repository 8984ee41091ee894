#include "ErrorPrinting.h"
#include "StoredJson.h"
#include "TempDir.h"
#include "TunnelKit/TunnelStore.h"

#include <gtest/gtest.h>
#include <limits>
#include <sys/stat.h>
#include <unistd.h>

using namespace tunnelkit;
using testing_support::storedJson;
using testing_support::TempDir;

namespace {

Tunnel storedTunnel(const std::string& name) {
    Tunnel tunnel = Tunnel::created(*parseIsoDate("2026-03-01T10:00:00Z"));
    tunnel.name = name;
    tunnel.host = "h.example";
    tunnel.forwards.push_back(Forward::make(Uuid::random(), Forward::Kind::remote, true,
                                            Endpoint::tcp("", 9000), Endpoint::socket("/run/app.sock"), ""));
    return tunnel;
}

Uuid uuid(const char* text) {
    return *Uuid::parse(text);
}
Date date(const char* text) {
    return *parseIsoDate(text);
}

// Every field, every forward kind and endpoint, a target where the kind has none, unicode, control
// characters, "/", quotes and backslashes, invalid UTF-8, extreme numbers and dates.
std::vector<Tunnel> variedTunnels() {
    Tunnel full = Tunnel::created(date("0001-01-01T00:00:00Z"));
    full.id = uuid("0a1b2c3d-4e5f-4a6b-8c7d-9e0f1a2b3c4d");
    full.name = "Café \"prod\" 中文 😀 \u2028 back\\slash / tab\tnew\nline\r\b\f\x01\x1f\x7f end";
    full.host = "db.example.com";
    full.port = 2222;
    full.user = "ops";
    full.identityFile = "~/.ssh/id_ed25519";
    full.certificateFile = "/etc/ssh/ops-cert.pub";
    full.jumpHosts = "jump1,jump2:2200";
    full.forwards = {
        Forward::make(uuid("10000000-0000-4000-8000-000000000001"), Forward::Kind::local, true,
                      Endpoint::tcp("127.0.0.1", 8080), Endpoint::tcp("::1", 80), "web / admin"),
        Forward::make(uuid("10000000-0000-4000-8000-000000000002"), Forward::Kind::remote, false,
                      Endpoint::socket("/run/remote.sock"), Endpoint::socket("~/local.sock"), ""),
        Forward::make(uuid("10000000-0000-4000-8000-000000000003"), Forward::Kind::dynamic, true,
                      Endpoint::tcp("", 1080), std::nullopt, "socks"),
        Forward{uuid("10000000-0000-4000-8000-000000000004"), Forward::Kind::remoteDynamic, true,
                Endpoint::tcp("0.0.0.0", 0), Endpoint::tcp("kept", 1), "target kept as decoded"},
    };
    full.options = {
        SSHOptionValue{uuid("20000000-0000-4000-8000-000000000001"), "ServerAliveInterval", "30"},
        SSHOptionValue{uuid("20000000-0000-4000-8000-000000000002"), "ProxyCommand", "nc -X 5 %h %p"}};
    full.tags = {"a/b", "", "ünï", "z"};
    full.note = "line one\nline two \\u0041 \"quoted\" {not json} [x]: 1, 2";
    full.connectsAtLaunch = true;
    full.retryLimit = 0;
    full.isPinned = true;
    full.logFile = "/var/log/tunnel.log";
    full.deletedAt = date("9999-12-31T23:59:59Z") + std::chrono::microseconds(999'999);

    Tunnel bare = Tunnel::created(date("2026-03-01T10:00:00Z") + std::chrono::milliseconds(250));
    bare.id = uuid("30000000-0000-4000-8000-000000000000");
    bare.retryLimit = std::numeric_limits<int>::max();

    Tunnel extremes = Tunnel::created(date("1970-01-01T00:00:00Z"));
    extremes.id = uuid("ffffffff-ffff-4fff-bfff-ffffffffffff");
    extremes.name = std::string("nul \0 inside", 12);
    extremes.port = -1;
    extremes.retryLimit = std::numeric_limits<int>::min();
    extremes.identityFile = "";
    extremes.forwards = {Forward::make(uuid("40000000-0000-4000-8000-000000000001"), Forward::Kind::local,
                                       true, Endpoint::tcp("h", std::numeric_limits<int>::max()),
                                       Endpoint::tcp("", std::numeric_limits<int>::min()), "")};

    Tunnel invalidText = Tunnel::created(date("2300-06-15T12:34:56Z"));
    invalidText.id = uuid("50000000-0000-4000-8000-000000000000");
    invalidText.name = "bad \xff\xfe, cut \xe2\x82, overlong \xc0\xaf, surrogate \xed\xa0\x80, lone \x80 end";
    invalidText.host = "\xf4\x90\x80\x80 beyond, \xf0\x9f\x98 cut at the end \xe2";
    invalidText.tags = {"\xc3", "ok"};
    return {full, bare, extremes, invalidText};
}

std::string storedForm(const std::string& name) {
    return readFile(std::string(TEST_DATA_DIR) + "/stored/" + name).value();
}

void writeRaw(const std::string& path, std::string_view bytes) {
    ASSERT_TRUE(writeFileAtomically(path, bytes));
}

const DecodingError& decodingError(const StoreError& error) {
    return std::get<DecodingError>(error);
}

} // namespace

TEST(TunnelStore, MissingFileIsTheEmptyList) {
    TempDir dir;
    TunnelStore store(dir.file("tunnels.json"));
    const auto loaded = store.load();
    ASSERT_TRUE(loaded);
    EXPECT_TRUE(loaded->empty());
}

TEST(TunnelStore, SaveCreatesTheFolderAndRoundTrips) {
    TempDir dir;
    TunnelStore store(dir.file("app/support/tunnels.json"));
    auto trashed = storedTunnel("old");
    trashed.deletedAt = *parseIsoDate("2026-03-02T10:00:00Z");
    const std::vector<Tunnel> tunnels{storedTunnel("web"), trashed};
    ASSERT_TRUE(store.save(tunnels));
    const auto loaded = store.load();
    ASSERT_TRUE(loaded) << loaded.error();
    EXPECT_EQ(*loaded, tunnels);
}

TEST(TunnelStore, WrittenFileHasSortedKeysAndVersionOne) {
    TempDir dir;
    TunnelStore store(dir.file("tunnels.json"));
    ASSERT_TRUE(store.save({storedTunnel("web")}));
    const auto bytes = readFile(store.filePath()).value();
    EXPECT_LT(bytes.find("\"connectsAtLaunch\""), bytes.find("\"createdAt\""));
    EXPECT_LT(bytes.find("\"tunnels\""), bytes.find("\"version\""));
    EXPECT_EQ(bytes.find("\"port\""), bytes.rfind("\"port\""))
        << "only the endpoint's port; the tunnel has none";
    EXPECT_NE(bytes.find(R"("\/run\/app.sock")"), std::string::npos);
    EXPECT_EQ(nlohmann::json::parse(bytes)["version"], 1);
}

TEST(TunnelStore, FractionalSecondsAreLostOnWriting) {
    TempDir dir;
    TunnelStore store(dir.file("tunnels.json"));
    auto tunnel = storedTunnel("web");
    tunnel.createdAt += std::chrono::milliseconds(250);
    ASSERT_TRUE(store.save({tunnel}));
    const auto loaded = store.load().value();
    EXPECT_NE(loaded[0], tunnel);
    EXPECT_EQ(loaded[0].createdAt, std::chrono::floor<std::chrono::seconds>(tunnel.createdAt));
}

TEST(TunnelStore, VersionIsRequiredButNotChecked) {
    TempDir dir;
    TunnelStore store(dir.file("tunnels.json"));
    writeRaw(store.filePath(), R"({"version": 7, "tunnels": []})");
    EXPECT_TRUE(store.load());
    writeRaw(store.filePath(), R"({"tunnels": []})");
    const auto failed = store.load();
    ASSERT_FALSE(failed);
    EXPECT_EQ(decodingError(failed.error()).kind(), DecodingError::Kind::keyNotFound);
}

TEST(TunnelStore, BadFilesAreTypedErrorsNeverPartialLists) {
    TempDir dir;
    TunnelStore store(dir.file("tunnels.json"));
    const auto good = storedJson(storedTunnel("a"));
    auto broken = good;
    broken["forwards"][0]["listen"] = "8080";
    const nlohmann::json mixed{{"version", 1}, {"tunnels", {good, broken}}};
    const std::string validFile = nlohmann::json{{"version", 1}, {"tunnels", {good}}}.dump();
    for (const auto& bytes :
         {std::string(), std::string("{"), validFile.substr(0, validFile.size() / 2),
          std::string(R"({"version": 1, "tunnels": {}})"), std::string(R"({"version": "1", "tunnels": []})"),
          std::string("[]"), mixed.dump(), std::string("\xff\xfe")}) {
        writeRaw(store.filePath(), bytes);
        const auto loaded = store.load();
        ASSERT_FALSE(loaded) << bytes;
        EXPECT_TRUE(std::holds_alternative<DecodingError>(loaded.error())) << bytes;
    }
}

TEST(TunnelStore, UnreadableFileIsAFileError) {
    TempDir dir;
    TunnelStore store(dir.file("tunnels.json"));
    ASSERT_TRUE(createDirectories(store.filePath())); // a folder where the file should be
    const auto loaded = store.load();
    ASSERT_FALSE(loaded);
    EXPECT_TRUE(std::holds_alternative<FileError>(loaded.error()));
    EXPECT_FALSE(store.save({storedTunnel("x")})) << "a folder in the way of the file refuses the write";
}

TEST(TunnelArchive, ExportDropsTrashStateAndRoundTrips) {
    auto trashed = storedTunnel("gone");
    trashed.deletedAt = *parseIsoDate("2026-03-05T00:00:00Z");
    const auto archive =
        TunnelArchive::make({storedTunnel("web"), trashed}, *parseIsoDate("2026-04-01T12:00:00Z"));
    const auto bytes = archive.encoded();
    EXPECT_EQ(bytes.find("deletedAt"), std::string::npos);
    EXPECT_LT(bytes.find("\"exportedAt\""), bytes.find("\"format\""));
    const auto decoded = TunnelArchive::decode(bytes);
    ASSERT_TRUE(decoded) << decoded.error();
    EXPECT_EQ(decoded->format, "burrowlight");
    ASSERT_EQ(decoded->tunnels.size(), 2u);
    EXPECT_EQ(decoded->tunnels[0].name, "web");
    EXPECT_FALSE(decoded->tunnels[1].deletedAt);
    EXPECT_EQ(decoded->exportedAt, *parseIsoDate("2026-04-01T12:00:00Z"));
}

TEST(TunnelArchive, FormatWordIsExactVersionIsNotChecked) {
    auto body = nlohmann::json::parse(TunnelArchive::make({storedTunnel("web")}, currentDate()).encoded());
    body["format"] = "BURROWLIGHT";
    const auto wrongFormat = TunnelArchive::decode(body.dump());
    ASSERT_FALSE(wrongFormat);
    EXPECT_EQ(wrongFormat.error(), (DecodingError{DecodingError::Problem::notAnArchive, ""}));

    body["format"] = "burrowlight";
    body["version"] = 2;
    EXPECT_TRUE(TunnelArchive::decode(body.dump()));

    body["tunnels"][0]["deletedAt"] = "2026-01-01T00:00:00Z";
    EXPECT_TRUE(TunnelArchive::decode(body.dump())->tunnels[0].deletedAt)
        << "stored trash state is kept on import";

    body.erase("exportedAt");
    EXPECT_EQ(TunnelArchive::decode(body.dump()).error().kind(), DecodingError::Kind::keyNotFound);
}

TEST(TunnelArchive, ATunnelsFileIsNotAnArchive) {
    const auto failed = TunnelArchive::decode(R"({"version": 1, "tunnels": []})");
    ASSERT_FALSE(failed);
    EXPECT_EQ(failed.error().kind(), DecodingError::Kind::keyNotFound);
}

TEST(TunnelStore, ANumberBeyondEveryDoubleIsADecodingError) {
    TempDir dir;
    TunnelStore store(dir.file("tunnels.json"));
    writeRaw(store.filePath(), R"({"version":1,"tunnels":[],"x":1e400})");
    const auto loaded = store.load();
    ASSERT_FALSE(loaded);
    EXPECT_EQ(loaded.error(), StoreError(DecodingError{DecodingError::Problem::numberOutOfRange, ""}));
}

TEST(TunnelStore, OnlyARegularFileIsReadAndNoneLargerThanTheLimit) {
    TempDir dir;
    TunnelStore fifo(dir.file("fifo.json"));
    ASSERT_EQ(::mkfifo(fifo.filePath().c_str(), 0600), 0);
    // Opening a FIFO without a writer used to wait for one forever.
    EXPECT_EQ(fifo.load().error(), StoreError(FileError{FileError::Operation::read, fifo.filePath(),
                                                        FileError::Kind::notRegularFile, 0}));

    TunnelStore huge(dir.file("huge.json"));
    writeRaw(huge.filePath(), "");
    ASSERT_EQ(::truncate(huge.filePath().c_str(), static_cast<off_t>(maximumFileSize + 1)), 0); // sparse
    EXPECT_EQ(huge.load().error(), StoreError(FileError{FileError::Operation::read, huge.filePath(),
                                                        FileError::Kind::tooLarge, 0}));
    EXPECT_EQ(
        TunnelArchive::load(huge.filePath()).error(),
        StoreError(FileError{FileError::Operation::read, huge.filePath(), FileError::Kind::tooLarge, 0}));
}

// The system clock's nanoseconds reach only from 1678 to 2261: beyond, dates wrapped around silently.
TEST(TunnelStore, DatesOfEveryFourDigitYearRoundTripUnchanged) {
    TempDir dir;
    TunnelStore store(dir.file("tunnels.json"));
    auto early = storedTunnel("early");
    early.createdAt = *parseIsoDate("0999-05-06T07:08:09Z");
    auto late = storedTunnel("late");
    late.deletedAt = *parseIsoDate("2300-01-01T00:00:00Z");
    auto edges = storedTunnel("edges");
    edges.createdAt = *parseIsoDate("0001-01-01T00:00:00Z");
    edges.deletedAt = *parseIsoDate("9999-12-31T23:59:59Z");
    ASSERT_TRUE(store.save({early, late, edges}));

    const auto bytes = readFile(store.filePath()).value_or("");
    for (const char* text :
         {"0999-05-06T07:08:09Z", "2300-01-01T00:00:00Z", "0001-01-01T00:00:00Z", "9999-12-31T23:59:59Z"}) {
        EXPECT_NE(bytes.find(text), std::string::npos) << text;
    }
    EXPECT_EQ(store.load().value_or(std::vector<Tunnel>{}), (std::vector<Tunnel>{early, late, edges}));
    EXPECT_LT(early.createdAt, late.createdAt);
    EXPECT_LT(*late.deletedAt, *edges.deletedAt);
}

TEST(TunnelArchive, FarDatesAndHugeNumbersDecodeOrFailWithoutACrash) {
    const auto farFuture = TunnelArchive::decode(
        R"({"format":"burrowlight","version":1,"exportedAt":"3000-01-01T00:00:00Z","tunnels":[]})");
    ASSERT_TRUE(farFuture) << farFuture.error();
    EXPECT_EQ(formatIsoDate(farFuture->exportedAt), "3000-01-01T00:00:00Z");

    const auto huge = TunnelArchive::decode(
        R"({"format":"burrowlight","version":1,"exportedAt":"2024-01-01T00:00:00Z","tunnels":[],"n":-1e999})");
    ASSERT_FALSE(huge);
    EXPECT_EQ(huge.error(), (DecodingError{DecodingError::Problem::numberOutOfRange, ""}));
}

// The stored forms as they have always been written, byte for byte.
TEST(TunnelStore, StoredFormsAreWrittenExactlyAsBefore) {
    EXPECT_EQ(TunnelStore::encode(variedTunnels()), storedForm("tunnels.json"));
    EXPECT_EQ(TunnelArchive::make(variedTunnels(), date("2026-04-01T12:00:00Z")).encoded(),
              storedForm("archive.burrowlight"));
}
