#include "TunnelKit/SecretStore.h"

#include <gtest/gtest.h>

using namespace tunnelkit;

namespace {

const Uuid tunnel = *Uuid::parse("6f9619ff-8b86-4d01-b42d-00c04fc964ff");
const std::string tunnelText = "6F9619FF-8B86-4D01-B42D-00C04FC964FF";

} // namespace

TEST(SecretStoreAccount, TextRoundTrips) {
    const std::vector<SecretKey> keys{
        {SecretKind::password, "alice@db.example.com"},
        {SecretKind::passphrase, "/home/alice/.ssh/id_ed25519"},
        {SecretKind::passphrase, "keys/with/relative/slashes"},
        {SecretKind::password, "user@host/with/slashes"},
        {SecretKind::password, "ünïcødé@hôst"},
    };
    for (const auto& key : keys) {
        const auto account = SecretStore::account(tunnel, key);
        EXPECT_EQ(SecretStore::parseAccount(account, tunnel), key) << account;
    }
    EXPECT_EQ(SecretStore::account(tunnel, {SecretKind::password, "alice@db"}),
              tunnelText + "/password/alice@db");
    EXPECT_EQ(SecretStore::account(tunnel, {SecretKind::passphrase, "/home/a/k"}),
              tunnelText + "/passphrase//home/a/k")
        << "an absolute path makes two slashes in a row";
}

TEST(SecretStoreAccount, ForeignAccountsGiveNoKey) {
    const auto other = Uuid::random();
    EXPECT_EQ(SecretStore::parseAccount(SecretStore::account(other, {SecretKind::password, "a@h"}), tunnel),
              std::nullopt)
        << "another tunnel's item";
    EXPECT_EQ(SecretStore::parseAccount(tunnelText + "/token/a@h", tunnel), std::nullopt)
        << "an unknown kind";
    EXPECT_EQ(SecretStore::parseAccount(tunnelText + "/Password/a@h", tunnel), std::nullopt);
    EXPECT_EQ(SecretStore::parseAccount(tunnelText + "/password", tunnel), std::nullopt) << "no second slash";
    EXPECT_EQ(SecretStore::parseAccount(tunnelText + "password/a@h", tunnel), std::nullopt);
    EXPECT_EQ(SecretStore::parseAccount("6f9619ff-8b86-4d01-b42d-00c04fc964ff/password/a@h", tunnel),
              std::nullopt)
        << "the id is written in upper case";
    EXPECT_EQ(SecretStore::parseAccount("", tunnel), std::nullopt);
    EXPECT_EQ(SecretStore::parseAccount(tunnelText + "/password/", tunnel),
              (SecretKey{SecretKind::password, ""}))
        << "an empty identity still parses";
}
