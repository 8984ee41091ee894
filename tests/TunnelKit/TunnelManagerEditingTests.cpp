// Saving, duplicating, pinning, tagging, trash, permanent deletion, export and import: what each
// changes in memory, what reaches the tunnels file, and what happens to saved secrets.
#include "ManagerHarness.h"
#include "TunnelKit/TunnelManager.h"

#include <filesystem>
#include <gtest/gtest.h>

using namespace tunnelkit;
using namespace std::chrono_literals;
using testing_support::ManagerHarness;
using testing_support::namedTunnel;

namespace {

using Names = std::vector<std::string>;
using Tags = std::vector<std::string>;

Names namesOf(const std::vector<Tunnel>& tunnels) {
    Names names;
    for (const auto& tunnel : tunnels) {
        names.push_back(tunnel.name);
    }
    return names;
}

Forward localForward(int port) {
    return Forward::make(Uuid::random(), Forward::Kind::local, true, Endpoint::tcp("127.0.0.1", port),
                         Endpoint::tcp("127.0.0.1", 80), "web");
}

class TunnelManagerEditingTest : public ::testing::Test {
  protected:
    // A started manager over a file holding these tunnels (none: no file).
    TunnelManager& started(const std::vector<Tunnel>& stored = {}, Date now = currentDate()) {
        if (!stored.empty()) {
            harness.writeTunnels(stored);
        }
        auto& manager = harness.makeRunning("exec sleep 1000");
        manager.start(false, now);
        return manager;
    }

    // Removes the file, so that a test can see whether the next operation writes it.
    void forgetFile() { std::filesystem::remove(harness.tunnelsFile()); }
    bool fileWritten() const { return std::filesystem::exists(harness.tunnelsFile()); }

    // Makes the next writes fail: the file's folder becomes a plain file (root ignores permissions).
    void breakTheFolder() {
        const auto folder = std::filesystem::path(harness.tunnelsFile()).parent_path();
        std::filesystem::remove_all(folder);
        ASSERT_TRUE(writeFileAtomically(folder.string(), "in the way"));
    }
    void mendTheFolder() {
        std::filesystem::remove(std::filesystem::path(harness.tunnelsFile()).parent_path());
    }

    void rememberSecret(Uuid tunnel, const std::string& identity) {
        ASSERT_TRUE(
            harness.secrets->save("s3cret", tunnel, SecretKey{SecretKind::password, identity}, "label"));
    }
    size_t secretCount(Uuid tunnel) const { return harness.secrets->keys(tunnel).size(); }

    ManagerHarness harness;
};

} // namespace

// Saving

TEST_F(TunnelManagerEditingTest, SaveReplacesInPlaceOrAppendsAndStoresTheNormalizedRecord) {
    const auto first = namedTunnel("first");
    const auto second = namedTunnel("second");
    auto& manager = started({first, second});

    auto edited = first;
    edited.name = "  renamed\n";
    edited.tags = {"b, a, b"};
    forgetFile();
    manager.save(edited);
    EXPECT_TRUE(fileWritten());
    EXPECT_EQ(namesOf(manager.tunnels()), (Names{"renamed", "second"}));
    EXPECT_EQ(manager.tunnels()[0].tags, (Tags{"a", "b"}));

    manager.save(namedTunnel("third"));
    EXPECT_EQ(namesOf(manager.tunnels()), (Names{"renamed", "second", "third"}));
    EXPECT_EQ(namesOf(harness.storedTunnels()), (Names{"renamed", "second", "third"}));
    EXPECT_EQ(harness.storedTunnels()[0].tags, (Tags{"a", "b"}));
}

TEST_F(TunnelManagerEditingTest, SaveOfAnEqualRecordWritesButDoesNotNotify) {
    const auto tunnel = namedTunnel("same");
    auto& manager = started({tunnel});
    int notifications = 0;
    const auto subscription = manager.observe([&](const TunnelManager::Change& change) {
        notifications += change == TunnelManager::Change::tunnels;
    });

    forgetFile();
    manager.save(manager.tunnels()[0]);
    EXPECT_TRUE(fileWritten());
    EXPECT_EQ(notifications, 0);

    auto changed = manager.tunnels()[0];
    changed.note = "new note";
    manager.save(changed);
    EXPECT_EQ(notifications, 1);
}

TEST_F(TunnelManagerEditingTest, SaveHandsTheRecordToTheConnectionAndSSHKeepsRunning) {
    const auto tunnel = namedTunnel("running");
    auto& manager = started({tunnel});
    manager.connect({tunnel.id});
    const auto connection = manager.connection(tunnel.id);
    const auto pid = connection->processID();
    ASSERT_TRUE(pid);

    auto edited = tunnel;
    edited.host = " other.example ";
    manager.save(edited);

    EXPECT_EQ(connection->tunnel().host, "other.example");
    EXPECT_EQ(connection->processID(), pid);
    EXPECT_EQ(connection->state(), TunnelState::connecting());
}

// Names

TEST_F(TunnelManagerEditingTest, UniqueNameCountsLiveTunnelsOnlyAndTrimsFirst) {
    auto trashed = namedTunnel("old");
    trashed.deletedAt = currentDate();
    auto& manager = started({namedTunnel("web"), namedTunnel("web 2"), trashed});

    EXPECT_EQ(manager.uniqueName("web"), "web 3");
    EXPECT_EQ(manager.uniqueName("web \n"), "web 3");
    EXPECT_EQ(manager.uniqueName("Web"), "Web");
    EXPECT_EQ(manager.uniqueName("old"), "old");
    EXPECT_EQ(manager.uniqueName("new"), "new");
}

TEST_F(TunnelManagerEditingTest, DuplicateCopiesEverythingButTheIdsAndConnectAtLaunch) {
    auto source = namedTunnel("web");
    source.isPinned = true;
    source.tags = {"prod"};
    source.note = "the shop";
    source.connectsAtLaunch = true;
    source.forwards = {localForward(8080), localForward(8081)};
    auto& manager = started({source});

    forgetFile();
    const auto copy = manager.duplicate(source.id, [](const std::string& name) { return name + " copy "; });
    ASSERT_TRUE(copy);
    EXPECT_TRUE(fileWritten());

    EXPECT_NE(copy->id, source.id);
    EXPECT_EQ(copy->name, "web copy");
    EXPECT_TRUE(copy->isPinned);
    EXPECT_EQ(copy->tags, (Tags{"prod"}));
    EXPECT_EQ(copy->note, "the shop");
    EXPECT_FALSE(copy->connectsAtLaunch);
    ASSERT_EQ(copy->forwards.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        EXPECT_NE(copy->forwards[i].id, source.forwards[i].id);
        EXPECT_EQ(copy->forwards[i].listen, source.forwards[i].listen);
    }
    EXPECT_EQ(manager.tunnels().back().id, copy->id);
    EXPECT_EQ(harness.storedTunnels().size(), 2u);

    // Named the same way again, the name is taken.
    const auto second = manager.duplicate(source.id, [](const std::string& name) { return name + " copy"; });
    ASSERT_TRUE(second);
    EXPECT_EQ(second->name, "web copy 2");
}

TEST_F(TunnelManagerEditingTest, DuplicateOfAnUnknownIdChangesNothing) {
    auto& manager = started({namedTunnel("web")});
    forgetFile();
    EXPECT_FALSE(manager.duplicate(Uuid::random(), [](const std::string& name) { return name; }));
    EXPECT_FALSE(fileWritten());
    EXPECT_EQ(manager.tunnels().size(), 1u);
}

// Pins and tags

TEST_F(TunnelManagerEditingTest, PinningAffectsTheIdsAndWritesOnceEvenWhenNothingMatched) {
    const auto a = namedTunnel("a");
    const auto b = namedTunnel("b");
    const auto c = namedTunnel("c");
    auto& manager = started({a, b, c});
    int notifications = 0;
    const auto subscription = manager.observe([&](const TunnelManager::Change& change) {
        notifications += change == TunnelManager::Change::tunnels;
    });

    manager.setPinned(true, {b.id, c.id, b.id});
    EXPECT_FALSE(manager.tunnels()[0].isPinned);
    EXPECT_TRUE(manager.tunnels()[1].isPinned);
    EXPECT_TRUE(harness.storedTunnels()[2].isPinned);
    EXPECT_EQ(notifications, 1);

    forgetFile();
    manager.setPinned(true, {c.id});
    EXPECT_TRUE(fileWritten());
    EXPECT_EQ(notifications, 1) << "already pinned: nothing changed";

    forgetFile();
    manager.setPinned(true, {Uuid::random()});
    EXPECT_TRUE(fileWritten());
}

TEST_F(TunnelManagerEditingTest, AddAndRemoveTagsAreNormalized) {
    auto tagged = namedTunnel("a");
    tagged.tags = {"prod"};
    auto& manager = started({tagged});

    manager.addTag("prod", {tagged.id});
    EXPECT_EQ(manager.tunnels()[0].tags, (Tags{"prod"}));
    manager.addTag(" eu , db ", {tagged.id});
    EXPECT_EQ(manager.tunnels()[0].tags, (Tags{"db", "eu", "prod"}));

    forgetFile();
    manager.addTag("  ", {tagged.id});
    EXPECT_TRUE(fileWritten());
    EXPECT_EQ(manager.tunnels()[0].tags, (Tags{"db", "eu", "prod"}));

    manager.removeTag("eu", {tagged.id});
    EXPECT_EQ(manager.tunnels()[0].tags, (Tags{"db", "prod"}));
    EXPECT_EQ(harness.storedTunnels()[0].tags, (Tags{"db", "prod"}));
}

TEST_F(TunnelManagerEditingTest, RenameTagReachesTrashedTunnelsAndMergesWithAnExistingTag) {
    auto live = namedTunnel("live");
    live.tags = {"old", "new"};
    auto trashed = namedTunnel("trashed");
    trashed.tags = {"old"};
    trashed.deletedAt = currentDate();
    auto other = namedTunnel("other");
    other.tags = {"Old"};
    auto& manager = started({live, trashed, other});

    manager.renameTag("old", "new");
    EXPECT_EQ(manager.tunnels()[0].tags, (Tags{"new"}));
    EXPECT_EQ(manager.tunnels()[1].tags, (Tags{"new"}));
    EXPECT_EQ(manager.tunnels()[2].tags, (Tags{"Old"}));
    EXPECT_EQ(harness.storedTunnels()[1].tags, (Tags{"new"}));

    manager.renameTag("new", "x,y");
    EXPECT_EQ(manager.tunnels()[1].tags, (Tags{"x", "y"}));
    manager.renameTag("x", " ");
    EXPECT_EQ(manager.tunnels()[1].tags, (Tags{"y"}));
}

TEST_F(TunnelManagerEditingTest, DeleteTagReachesTrashedTunnelsAndAllTagsOnlyLiveOnes) {
    auto live = namedTunnel("live");
    live.tags = {"web", "b", "a10", "a9"};
    auto trashed = namedTunnel("trashed");
    trashed.tags = {"web", "gone"};
    trashed.deletedAt = currentDate();
    auto& manager = started({live, trashed});

    EXPECT_EQ(manager.allTags(), (Tags{"a9", "a10", "b", "web"}));
    manager.deleteTag("web");
    EXPECT_EQ(manager.tunnels()[0].tags, (Tags{"a9", "a10", "b"}));
    EXPECT_EQ(manager.tunnels()[1].tags, (Tags{"gone"}));
    EXPECT_EQ(harness.storedTunnels()[1].tags, (Tags{"gone"}));
    EXPECT_EQ(manager.allTags(), (Tags{"a9", "a10", "b"}));
}

// Trash

TEST_F(TunnelManagerEditingTest, TrashDisconnectsAndRestoreLeavesItDisconnected) {
    const auto tunnel = namedTunnel("web");
    auto& manager = harness.makeRunning("echo 'debug1: Entering interactive session.'; exec sleep 1000");
    harness.writeTunnels({tunnel});
    manager.start(false);
    manager.connect({tunnel.id});
    ASSERT_TRUE(harness.runUntilState<TunnelState::Connected>(tunnel.id));

    forgetFile();
    manager.moveToTrash({tunnel.id});
    EXPECT_TRUE(fileWritten());
    EXPECT_EQ(manager.state(tunnel.id), TunnelState::disconnecting());
    ASSERT_TRUE(manager.tunnel(tunnel.id)->deletedAt);
    EXPECT_TRUE(harness.storedTunnels()[0].deletedAt);
    EXPECT_TRUE(manager.liveTunnels().empty());
    EXPECT_EQ(manager.trashedTunnels().size(), 1u);
    EXPECT_TRUE(manager.connection(tunnel.id)->tunnel().deletedAt);
    ASSERT_TRUE(harness.runUntilState<TunnelState::Disconnected>(tunnel.id));
    EXPECT_EQ(harness.stateNames(tunnel.id),
              (Names{"connecting", "connected", "disconnecting", "disconnected"}));

    manager.restore({tunnel.id});
    EXPECT_FALSE(manager.tunnel(tunnel.id)->deletedAt);
    EXPECT_FALSE(harness.storedTunnels()[0].deletedAt);
    EXPECT_EQ(manager.state(tunnel.id), TunnelState::disconnected());
    EXPECT_EQ(manager.liveTunnels().size(), 1u);
}

TEST_F(TunnelManagerEditingTest, PermanentDeletionRemovesTheConnectionAndTheSecretsOfANeverConnectedTunnel) {
    const auto gone = namedTunnel("gone");
    const auto kept = namedTunnel("kept");
    auto& manager = started({gone, kept});
    rememberSecret(gone.id, "alice");
    rememberSecret(gone.id, "bob");
    rememberSecret(kept.id, "carol");
    const auto connection = manager.connection(gone.id);

    manager.deletePermanently({gone.id, gone.id});

    EXPECT_FALSE(manager.hasConnection(gone.id));
    EXPECT_EQ(namesOf(manager.tunnels()), (Names{"kept"}));
    EXPECT_EQ(namesOf(harness.storedTunnels()), (Names{"kept"}));
    EXPECT_EQ(secretCount(gone.id), 0u);
    EXPECT_EQ(secretCount(kept.id), 1u);
}

TEST_F(TunnelManagerEditingTest, SecretsStayUntilTheFileNoLongerListsTheTunnel) {
    const auto gone = namedTunnel("gone");
    auto& manager = started({gone});
    rememberSecret(gone.id, "alice");

    breakTheFolder();
    manager.deletePermanently({gone.id});
    EXPECT_TRUE(manager.tunnels().empty());
    ASSERT_TRUE(manager.storageError());
    EXPECT_EQ(secretCount(gone.id), 1u);

    // The next write that succeeds no longer lists it: now its secrets go.
    mendTheFolder();
    manager.save(namedTunnel("new"));
    EXPECT_FALSE(manager.storageError());
    EXPECT_EQ(namesOf(harness.storedTunnels()), (Names{"new"}));
    EXPECT_EQ(secretCount(gone.id), 0u);
}

TEST_F(TunnelManagerEditingTest, FailedWriteKeepsTheChangeInMemoryAndTheNextWriteClearsTheError) {
    auto& manager = started({namedTunnel("a")});
    int errorNotifications = 0;
    const auto subscription = manager.observe([&](const TunnelManager::Change& change) {
        errorNotifications += change == TunnelManager::Change::storageError;
    });

    const auto folder = std::filesystem::path(harness.tunnelsFile()).parent_path();
    breakTheFolder();
    manager.save(namedTunnel("b"));
    EXPECT_FALSE(manager.persist());
    ASSERT_TRUE(manager.storageError());
    EXPECT_EQ(manager.storageError(),
              StoreError(FileError::system(FileError::Operation::createFolder, folder.string(), ENOTDIR)));
    EXPECT_EQ(manager.tunnels().size(), 2u);
    EXPECT_EQ(errorNotifications, 1); // the same error twice notifies once

    mendTheFolder();
    EXPECT_TRUE(manager.persist());
    EXPECT_FALSE(manager.storageError());
    EXPECT_EQ(namesOf(harness.storedTunnels()), (Names{"a", "b"}));
    EXPECT_EQ(errorNotifications, 2);
}

TEST_F(TunnelManagerEditingTest, AfterAFailedReadNothingIsWrittenAndNoSecretIsDeleted) {
    ASSERT_TRUE(writeFileAtomically(harness.tunnelsFile(), "{\"version\": 1, \"tunnels\": [oops"));
    const auto before = harness.fileBytes();
    auto& manager = harness.makeRunning("exit 0");
    manager.start(false);
    ASSERT_TRUE(manager.loadError());
    const auto readError = *manager.loadError();
    const auto victim = Uuid::random();
    rememberSecret(victim, "alice");

    manager.save(namedTunnel("in memory"));
    manager.addTag("t", {manager.tunnels()[0].id});
    manager.importTunnels({namedTunnel("imported")});
    manager.deletePermanently({victim});
    EXPECT_FALSE(manager.persist());

    EXPECT_EQ(namesOf(manager.tunnels()), (Names{"in memory", "imported"}));
    EXPECT_EQ(harness.fileBytes(), before);
    EXPECT_EQ(manager.storageError(), readError);
    EXPECT_EQ(manager.loadError(), readError);
    EXPECT_EQ(secretCount(victim), 1u);
}

// Purging

TEST_F(TunnelManagerEditingTest, PurgeDeletesOnlyWhatIsOlderThanThirtyDays) {
    const auto now = *parseIsoDate("2026-05-01T12:00:00Z");
    auto exactly = namedTunnel("exactly");
    exactly.deletedAt = now - TunnelManager::trashRetention;
    auto older = namedTunnel("older");
    older.deletedAt = now - TunnelManager::trashRetention - 1s;
    auto& manager = started({exactly, namedTunnel("live"), older}, now - 1h);
    ASSERT_EQ(manager.tunnels().size(), 3u);
    rememberSecret(older.id, "alice");
    const auto connection = manager.connection(older.id);

    manager.purgeTrash(now);
    EXPECT_EQ(namesOf(manager.tunnels()), (Names{"exactly", "live"}));
    EXPECT_EQ(namesOf(harness.storedTunnels()), (Names{"exactly", "live"}));
    EXPECT_FALSE(manager.hasConnection(older.id));
    EXPECT_EQ(secretCount(older.id), 0u);

    forgetFile();
    manager.purgeTrash(now);
    EXPECT_FALSE(fileWritten());
}

// Archives

TEST_F(TunnelManagerEditingTest, ExportTakesStoredOrderAndDropsTheTrashDate) {
    const auto a = namedTunnel("a");
    auto trashed = namedTunnel("trashed");
    trashed.deletedAt = currentDate();
    const auto c = namedTunnel("c");
    auto& manager = started({a, trashed, c});
    forgetFile();

    const auto data = manager.exportTunnels({c.id, trashed.id, Uuid::random()});
    EXPECT_EQ(data.find("deletedAt"), std::string::npos);
    const auto archive = TunnelArchive::decode(data);
    ASSERT_TRUE(archive);
    EXPECT_EQ(namesOf(archive->tunnels), (Names{"trashed", "c"}));
    EXPECT_EQ(archive->tunnels[0].id, trashed.id);
    EXPECT_FALSE(fileWritten());
    EXPECT_TRUE(manager.tunnel(trashed.id)->deletedAt);

    const auto empty = TunnelArchive::decode(manager.exportTunnels({}));
    ASSERT_TRUE(empty);
    EXPECT_TRUE(empty->tunnels.empty());
}

TEST_F(TunnelManagerEditingTest, ImportGivesNewIdsUniqueTrimmedNamesAndClearsLaunchAndLogFile) {
    auto live = namedTunnel("web");
    auto hostNamed = namedTunnel("db.example");
    auto& manager = started({live, hostNamed});

    auto spaced = live;
    spaced.name = "web ";
    spaced.connectsAtLaunch = true;
    spaced.logFile = "~/web.log";
    spaced.deletedAt = currentDate();
    spaced.forwards = {localForward(9000)};
    auto unnamed = namedTunnel("", "db.example");
    auto fresh1 = namedTunnel("fresh");
    auto fresh2 = namedTunnel("fresh");

    forgetFile();
    const auto imported = manager.importTunnels({spaced, unnamed, fresh1, fresh2});
    EXPECT_TRUE(fileWritten());

    EXPECT_EQ(namesOf(imported), (Names{"web 2", "db.example 2", "fresh", "fresh 2"}));
    EXPECT_EQ(namesOf(manager.tunnels()),
              (Names{"web", "db.example", "web 2", "db.example 2", "fresh", "fresh 2"}));
    EXPECT_NE(imported[0].id, spaced.id);
    EXPECT_NE(imported[2].id, fresh1.id);
    EXPECT_FALSE(imported[0].connectsAtLaunch);
    EXPECT_FALSE(imported[0].logFile);
    EXPECT_FALSE(imported[0].deletedAt);
    ASSERT_EQ(imported[0].forwards.size(), 1u);
    EXPECT_NE(imported[0].forwards[0].id, spaced.forwards[0].id);
    for (size_t i = 0; i < imported.size(); ++i) {
        EXPECT_EQ(manager.tunnels()[i + 2].id, imported[i].id);
    }
    EXPECT_EQ(harness.storedTunnels().size(), 6u);

    forgetFile();
    EXPECT_TRUE(manager.importTunnels({}).empty());
    EXPECT_TRUE(fileWritten());
}
