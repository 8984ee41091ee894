#include "SSHTranscripts.h"
#include "TunnelKit/SessionInfo.h"

#include <gtest/gtest.h>

using namespace tunnelkit;

namespace {

SessionInfo after(std::initializer_list<std::string_view> lines) {
    SessionInfo session;
    for (auto line : lines) {
        session.update(line);
    }
    return session;
}

} // namespace

TEST(SessionInfo, StartsEmptyAndFillsFromSSHsLines) {
    SessionInfo session;
    EXPECT_TRUE(session.isEmpty());
    EXPECT_FALSE(session.isPostQuantum());

    session.update("debug1: Connecting to 127.0.0.1 [127.0.0.1] port 2222.");
    EXPECT_FALSE(session.isEmpty());
    session.update(
        "debug1: Remote protocol version 2.0, remote software version OpenSSH_9.2p1 Debian-2+deb12u10");
    session.update("debug1: kex: algorithm: sntrup761x25519-sha512");
    session.update("debug1: kex: host key algorithm: ssh-ed25519");
    session.update(
        "debug1: kex: server->client cipher: aes128-ctr MAC: umac-64-etm@openssh.com compression: none");
    session.update("debug1: kex: client->server cipher: chacha20-poly1305@openssh.com MAC: <implicit> "
                   "compression: none");
    session.update("debug1: Server host key: ssh-ed25519 SHA256:U7kxWvw+V1PiSJaicGa0sjw8OOw/k69K5R8RniGiVz8");
    session.update("Authenticated to 127.0.0.1 ([127.0.0.1]:2222) using \"publickey\".");

    EXPECT_EQ(session.address, "127.0.0.1:2222");
    EXPECT_EQ(session.serverSoftware, "OpenSSH_9.2p1 Debian-2+deb12u10");
    EXPECT_EQ(session.keyExchange, "sntrup761x25519-sha512");
    EXPECT_EQ(session.hostKeyAlgorithm, "ssh-ed25519");
    EXPECT_EQ(session.cipherFromServer, "aes128-ctr + umac-64-etm@openssh.com");
    EXPECT_EQ(session.cipherToServer, "chacha20-poly1305@openssh.com");
    EXPECT_EQ(session.hostKey, "ssh-ed25519 SHA256:U7kxWvw+V1PiSJaicGa0sjw8OOw/k69K5R8RniGiVz8");
    EXPECT_EQ(session.authentication, "publickey");
    EXPECT_TRUE(session.isPostQuantum());
}

TEST(SessionInfo, Address) {
    EXPECT_EQ(after({"debug1: Connecting to db.example [2001:db8::5] port 22."}).address, "[2001:db8::5]:22");
    EXPECT_EQ(after({"debug1: Connecting to example.org [93.184.215.14] port 2222."}).address,
              "93.184.215.14:2222");
    EXPECT_EQ(after({"debug1: Connecting to example.org [10.0.0.1] port ..22.."}).address, "10.0.0.1:22");
    // Through a proxy command ssh names no address in brackets.
    EXPECT_EQ(after({"debug1: Connecting to jump.example port 22."}).address, std::nullopt);
    EXPECT_EQ(after({"debug1: Connecting to x ]10.0.0.1[ port 22."}).address, std::nullopt);
    EXPECT_EQ(after({"debug1: Connecting to x [10.0.0.1]:22"}).address, std::nullopt);
    // A later line of the same kind replaces, any other line leaves the value alone.
    EXPECT_EQ(after({"debug1: Connecting to a [10.0.0.1] port 22.",
                     "debug1: Connecting to b [10.0.0.2] port 23.", "debug1: Connecting to c port 24."})
                  .address,
              "10.0.0.2:23");
}

TEST(SessionInfo, CipherText) {
    auto toServer = [](std::string_view rest) {
        return after({std::string("debug1: kex: client->server cipher: ").append(rest)}).cipherToServer;
    };
    EXPECT_EQ(toServer("aes256-gcm@openssh.com MAC: <implicit> compression: none"), "aes256-gcm@openssh.com");
    EXPECT_EQ(toServer("aes128-ctr MAC: hmac-sha2-256-etm@openssh.com compression: zlib@openssh.com"),
              "aes128-ctr + hmac-sha2-256-etm@openssh.com");
    EXPECT_EQ(toServer("aes128-ctr MAC: hmac-sha2-256"), "aes128-ctr + hmac-sha2-256");
    EXPECT_EQ(toServer("aes128-ctr compression: none"), "aes128-ctr compression: none");
}

TEST(SessionInfo, ServerSoftwareNeedsItsMarker) {
    EXPECT_EQ(after({"debug1: Remote protocol version 2.0, remote software version dropbear_2022.83"})
                  .serverSoftware,
              "dropbear_2022.83");
    EXPECT_EQ(after({"debug1: Remote protocol version 2.0"}).serverSoftware, std::nullopt);
}

TEST(SessionInfo, AuthenticationMethodNeedsBothQuotes) {
    EXPECT_EQ(after({"Authenticated to h ([10.0.0.1]:22) using \"keyboard-interactive\"."}).authentication,
              "keyboard-interactive");
    EXPECT_EQ(after({"Authenticated to h ([10.0.0.1]:22) using \"password"}).authentication, std::nullopt);
    EXPECT_EQ(after({"Authenticated to h ([10.0.0.1]:22) using publickey."}).authentication, std::nullopt);
    EXPECT_EQ(after({"Authenticated to h ([10.0.0.1]:22) using  \"publickey\"."}).authentication,
              std::nullopt);
    EXPECT_EQ(after({"debug1: Authenticated to h using \"publickey\"."}).authentication, std::nullopt);
}

TEST(SessionInfo, LinesThatNameNothingKnownChangeNothing) {
    auto session =
        after({"debug1: kex: algorithm: curve25519-sha256", "debug2: kex: algorithm: sntrup761x25519-sha512",
               "debug1: kex: algorithm:curve25519-sha256@libssh.org",
               " debug1: kex: algorithm: mlkem768x25519-sha256", "debug1: Connection established.",
               "Transferred: sent 3576, received 3448 bytes, in 2.9 seconds"});
    SessionInfo expected;
    expected.keyExchange = "curve25519-sha256";
    EXPECT_EQ(session, expected);
    EXPECT_FALSE(session.isPostQuantum());
}

TEST(SessionInfo, PostQuantumKeyExchanges) {
    EXPECT_TRUE(after({"debug1: kex: algorithm: mlkem768x25519-sha256"}).isPostQuantum());
    EXPECT_TRUE(after({"debug1: kex: algorithm: sntrup761x25519-sha512@openssh.com"}).isPostQuantum());
    EXPECT_FALSE(after({"debug1: kex: algorithm: ecdh-sha2-nistp256"}).isPostQuantum());
    EXPECT_FALSE(after({"debug1: kex: host key algorithm: sntrup"}).isPostQuantum());
}

TEST(SessionInfo, RealTranscriptsLeaveAPartialSessionWhereSSHStoppedEarly) {
    SessionInfo refused;
    for (const auto& line : testing_support::loadSSHTranscript("f_refused").lines) {
        refused.update(line);
    }
    SessionInfo expected;
    expected.address = "127.0.0.1:2223";
    EXPECT_EQ(refused, expected);

    SessionInfo changedKey;
    for (const auto& line : testing_support::loadSSHTranscript("i_hostkey_changed").lines) {
        changedKey.update(line);
    }
    EXPECT_EQ(changedKey.hostKey, "ssh-ed25519 SHA256:U7kxWvw+V1PiSJaicGa0sjw8OOw/k69K5R8RniGiVz8");
    EXPECT_EQ(changedKey.authentication, std::nullopt);
}
