// The secret store against a real secret service: each test runs inside with-secret-service.sh,
// which gives it a private session bus and an unlocked gnome-keyring in a throwaway home.
#include "Platform/LibsecretBackend.h"
#include "SecretServiceControl.h"
#include "TempDir.h"
#include "ThrowawayKeyring.h"
#include "TunnelKit/AskPass.h"
#include "TunnelKit/FileIO.h"
#include "TunnelKit/SecretStore.h"

#include <cstdlib>
#include <fcntl.h>
#include <filesystem>
#include <fstream>
#include <gtest/gtest.h>
#include <libsecret/secret.h>
#include <sstream>
#include <unistd.h>

using namespace tunnelkit;

namespace {

constexpr const char* bundleIdentifier = "com.tolvan.burrowlight";

// What the service itself holds for one account of our schema: each item's label.
std::vector<std::string> labelsOf(const std::string& account) {
    SecretSchema* schema =
        secret_schema_new(bundleIdentifier, SECRET_SCHEMA_NONE, "service", SECRET_SCHEMA_ATTRIBUTE_STRING,
                          "account", SECRET_SCHEMA_ATTRIBUTE_STRING, nullptr);
    GHashTable* attributes = g_hash_table_new(g_str_hash, g_str_equal);
    g_hash_table_insert(attributes, const_cast<char*>("service"), const_cast<char*>(bundleIdentifier));
    g_hash_table_insert(attributes, const_cast<char*>("account"), const_cast<char*>(account.c_str()));
    GError* error = nullptr;
    GList* items =
        secret_service_search_sync(nullptr, schema, attributes, SECRET_SEARCH_ALL, nullptr, &error);
    std::vector<std::string> labels;
    for (GList* item = items; item; item = item->next) {
        gchar* label = secret_item_get_label(SECRET_ITEM(item->data));
        labels.emplace_back(label ? label : "");
        g_free(label);
    }
    g_list_free_full(items, g_object_unref);
    if (error) {
        ADD_FAILURE() << error->message;
        g_error_free(error);
    }
    g_hash_table_unref(attributes);
    secret_schema_unref(schema);
    return labels;
}

class SecretServiceTest : public testing::Test {
  protected:
    void SetUp() override {
        // Never the user's own keyring.
        ASSERT_TRUE(testing_support::runsInThrowawayKeyring())
            << "run through tests/support/with-secret-service.sh";
    }

    std::shared_ptr<platform::secrets::LibsecretBackend> backend =
        std::make_shared<platform::secrets::LibsecretBackend>(bundleIdentifier);
    SecretStore store{bundleIdentifier, backend};
    Uuid tunnel = Uuid::random();
};

const SecretKey password{SecretKind::password, "alice@db.example.com"};
const SecretKey passphrase{SecretKind::passphrase, "/home/alice/.ssh/id_ed25519"};

} // namespace

TEST_F(SecretServiceTest, SaveAddsThenReplacesSecretAndLabel) {
    EXPECT_EQ(store.secret(tunnel, password), std::nullopt);

    ASSERT_TRUE(store.save("first secret", tunnel, password, "Burrowlight: db"));
    EXPECT_EQ(store.secret(tunnel, password), "first secret");
    EXPECT_EQ(labelsOf(SecretStore::account(tunnel, password)), std::vector<std::string>{"Burrowlight: db"});

    ASSERT_TRUE(store.save("sëcond secret", tunnel, password, "Burrowlight: database"));
    EXPECT_EQ(store.secret(tunnel, password), "sëcond secret");
    EXPECT_EQ(labelsOf(SecretStore::account(tunnel, password)),
              std::vector<std::string>{"Burrowlight: database"})
        << "one item, replaced and relabelled";
    EXPECT_EQ(store.keys(tunnel), std::vector<SecretKey>{password});
}

TEST_F(SecretServiceTest, AbsoluteKeyPathSurvivesTheAccount) {
    ASSERT_TRUE(store.save("phrase", tunnel, passphrase, "Burrowlight: db"));
    const auto accounts = backend->accounts(bundleIdentifier);
    ASSERT_TRUE(accounts);
    EXPECT_NE(std::find(accounts->begin(), accounts->end(),
                        tunnel.toString() + "/passphrase//home/alice/.ssh/id_ed25519"),
              accounts->end());
    EXPECT_EQ(store.keys(tunnel), std::vector<SecretKey>{passphrase});
    EXPECT_EQ(store.secret(tunnel, passphrase), "phrase");
    EXPECT_EQ(store.secret(tunnel, {SecretKind::password, passphrase.identity}), std::nullopt)
        << "the kind is part of the key";
}

TEST_F(SecretServiceTest, KeysListPassphrasesBeforePasswords) {
    const std::vector<SecretKey> saved{
        {SecretKind::password, "zed@h"},    {SecretKind::passphrase, "/z/key"},
        {SecretKind::password, "Bob@h"},    {SecretKind::password, "alice@h"},
        {SecretKind::passphrase, "/a/key"},
    };
    for (const auto& key : saved) {
        ASSERT_TRUE(store.save("s", tunnel, key, "l"));
    }
    EXPECT_EQ(store.keys(tunnel), (std::vector<SecretKey>{
                                      {SecretKind::passphrase, "/a/key"},
                                      {SecretKind::passphrase, "/z/key"},
                                      {SecretKind::password, "Bob@h"},
                                      {SecretKind::password, "alice@h"},
                                      {SecretKind::password, "zed@h"},
                                  }));
    EXPECT_EQ(store.keys(Uuid::random()), std::vector<SecretKey>{});
}

TEST_F(SecretServiceTest, DeleteOneAndDeleteAllOfATunnel) {
    const auto other = Uuid::random();
    ASSERT_TRUE(store.save("a", tunnel, password, "l"));
    ASSERT_TRUE(store.save("b", tunnel, passphrase, "l"));
    ASSERT_TRUE(store.save("c", tunnel, {SecretKind::password, "bob@h"}, "l"));
    ASSERT_TRUE(store.save("d", other, password, "l"));
    ASSERT_TRUE(store.save("e", other, passphrase, "l"));

    store.deleteSecret(tunnel, password);
    EXPECT_EQ(store.secret(tunnel, password), std::nullopt);
    EXPECT_EQ(store.keys(tunnel), (std::vector<SecretKey>{passphrase, {SecretKind::password, "bob@h"}}));
    store.deleteSecret(tunnel, password);

    store.deleteAll(tunnel);
    EXPECT_EQ(store.keys(tunnel), std::vector<SecretKey>{});
    EXPECT_EQ(store.secret(tunnel, passphrase), std::nullopt);
    EXPECT_EQ(store.keys(other), (std::vector<SecretKey>{passphrase, password}))
        << "another tunnel's items stay";
    EXPECT_EQ(store.secret(other, password), "d");
    store.deleteAll(tunnel);
}

TEST_F(SecretServiceTest, ForeignItemsAreNeitherListedNorRemoved) {
    const std::vector<std::string> foreign{
        Uuid::random().toString() + "/password/alice@h",
        tunnel.toString() + "/token/alice@h",
        tunnel.toString() + "/password",
        tunnel.toString(),
        "someone else's account",
    };
    for (const auto& account : foreign) {
        ASSERT_TRUE(backend->store(bundleIdentifier, account, "foreign", "kept"));
    }
    ASSERT_TRUE(store.save("mine", tunnel, password, "l"));

    EXPECT_EQ(store.keys(tunnel), std::vector<SecretKey>{password});
    store.deleteAll(tunnel);
    EXPECT_EQ(store.keys(tunnel), std::vector<SecretKey>{});
    for (const auto& account : foreign) {
        EXPECT_EQ(backend->lookup(bundleIdentifier, account).value_or(std::nullopt), "kept") << account;
    }
}

TEST_F(SecretServiceTest, BytesThatAreNotUTF8ReadAsNoSecret) {
    const std::string bytes = "ok\xff\xfe\x80";
    ASSERT_TRUE(backend->store(bundleIdentifier, SecretStore::account(tunnel, password), "l", bytes));
    EXPECT_EQ(
        backend->lookup(bundleIdentifier, SecretStore::account(tunnel, password)).value_or(std::nullopt),
        bytes)
        << "the item is there";
    EXPECT_EQ(store.secret(tunnel, password), std::nullopt);
    EXPECT_EQ(store.keys(tunnel), std::vector<SecretKey>{password}) << "still listed, so it can be forgotten";
}

TEST_F(SecretServiceTest, RememberedSecretAnswersOncePerAttempt) {
    testing_support::TempDir folder;
    const std::optional<AskPassLedger> ledger(std::in_place, folder.file("askpass"));
    ASSERT_TRUE(store.save("hunter2", tunnel, password, "Burrowlight: db"));
    const AskPassRequest request("alice@db.example.com's password: ", std::nullopt);
    const auto savedSecret = [&](const SecretKey& key) { return store.secret(tunnel, key); };

    const auto attempt = Uuid::random();
    EXPECT_EQ(AskPassDecision::decide(request, attempt, ledger, savedSecret),
              AskPassDecision::answer("hunter2"));
    EXPECT_EQ(AskPassDecision::decide(request, attempt, ledger, savedSecret), AskPassDecision::ask(true));
    EXPECT_EQ(AskPassDecision::decide(request, Uuid::random(), ledger, savedSecret),
              AskPassDecision::answer("hunter2"));
}

namespace {

// Standard output and standard error of this process, redirected into a file for a while.
class CapturedOutput {
  public:
    explicit CapturedOutput(const std::string& path) : path_(path) {
        std::fflush(stdout);
        std::fflush(stderr);
        savedOut_ = ::dup(1);
        savedErr_ = ::dup(2);
        const int file = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0600);
        ::dup2(file, 1);
        ::dup2(file, 2);
        ::close(file);
    }
    ~CapturedOutput() { restore(); }
    CapturedOutput(const CapturedOutput&) = delete;
    CapturedOutput& operator=(const CapturedOutput&) = delete;

    std::string text() {
        restore();
        return readFile(path_).value_or("");
    }

  private:
    void restore() {
        if (savedOut_ < 0) {
            return;
        }
        std::fflush(stdout);
        std::fflush(stderr);
        ::dup2(savedOut_, 1);
        ::dup2(savedErr_, 2);
        ::close(savedOut_);
        ::close(savedErr_);
        savedOut_ = savedErr_ = -1;
    }

    std::string path_;
    int savedOut_ = -1;
    int savedErr_ = -1;
};

// Every file below the folder whose bytes hold the text.
std::vector<std::string> filesHolding(const std::string& folder, const std::string& text) {
    std::vector<std::string> found;
    std::error_code error;
    for (std::filesystem::recursive_directory_iterator entry(folder, error), end; !error && entry != end;
         entry.increment(error)) {
        if (entry->is_regular_file() &&
            readFile(entry->path().string()).value_or("").find(text) != std::string::npos) {
            found.push_back(entry->path().string());
        }
        if (entry->path().filename().string().find(text) != std::string::npos) {
            found.push_back(entry->path().string());
        }
    }
    return found;
}

// Every running process whose command line holds the text.
std::vector<std::string> commandLinesHolding(const std::string& text) {
    std::vector<std::string> found;
    std::error_code error;
    for (std::filesystem::directory_iterator entry("/proc", error), end; !error && entry != end;
         entry.increment(error)) {
        const auto name = entry->path().filename().string();
        if (name.find_first_not_of("0123456789") != std::string::npos) {
            continue;
        }
        const auto commandLine = readFile(entry->path().string() + "/cmdline");
        if (commandLine && commandLine->find(text) != std::string::npos) {
            found.push_back(name);
        }
    }
    return found;
}

} // namespace

TEST_F(SecretServiceTest, SecretsStayInTheSecretStore) {
    testing_support::TempDir folder;
    const auto secret = "never-written-" + Uuid::random().toString();
    const std::optional<AskPassLedger> ledger(std::in_place, folder.file("askpass"));
    const AskPassRequest request("Enter passphrase for key '/home/alice/.ssh/id_ed25519': ", std::nullopt);
    const auto attempt = Uuid::random();

    std::string output;
    {
        CapturedOutput captured(folder.file("output"));
        ASSERT_TRUE(store.save(secret, tunnel, passphrase, "Burrowlight: db"));
        ASSERT_EQ(store.secret(tunnel, passphrase), secret);
        (void)store.keys(tunnel);
        const auto savedSecret = [&](const SecretKey& key) { return store.secret(tunnel, key); };
        ASSERT_EQ(AskPassDecision::decide(request, attempt, ledger, savedSecret),
                  AskPassDecision::answer(secret));
        ASSERT_EQ(AskPassDecision::decide(request, attempt, ledger, savedSecret), AskPassDecision::ask(true));
        ledger->markCancelled(attempt);
        output = captured.text();
    }
    EXPECT_EQ(output.find(secret), std::string::npos) << output;
    EXPECT_EQ(commandLinesHolding(secret), std::vector<std::string>{});
    EXPECT_EQ(filesHolding(folder.path(), secret), std::vector<std::string>{})
        << "the ledger holds no secret";
    EXPECT_EQ(filesHolding(folder.path(), "id_ed25519"), std::vector<std::string>{}) << "nor the key's path";
    EXPECT_EQ(filesHolding(std::getenv("HOME"), secret), std::vector<std::string>{})
        << "the keyring keeps it encrypted, and nothing else in the home has it";
}

// Last: it leaves the keyring locked.
TEST_F(SecretServiceTest, FailedSaveCarriesTheServicesError) {
    const auto secret = "locked-out-" + Uuid::random().toString();
    const auto lockFailure = testing_support::lockDefaultCollection();
    ASSERT_FALSE(lockFailure) << *lockFailure;
    const auto saved = store.save(secret, tunnel, password, "Burrowlight: db");
    ASSERT_FALSE(saved);
    EXPECT_NE(saved.error().code, 0);
    EXPECT_FALSE(saved.error().glibMessage.empty());
    EXPECT_EQ(saved.error().glibMessage.find(secret), std::string::npos);
}
