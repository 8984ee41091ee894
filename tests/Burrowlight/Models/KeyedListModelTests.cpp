#include "Burrowlight/Models/KeyedListModel.h"

#include <QAbstractItemModelTester>
#include <QSignalSpy>
#include <QTest>
#include <algorithm>
#include <random>

using namespace burrowlight;

namespace {

struct Row {
    int id = 0;
    int value = 0;
    int key() const { return id; }
    bool operator==(const Row&) const = default;
};

class Rows : public KeyedListModel<Row> {
  public:
    using KeyedListModel::applyRows;
    QVariant data(const QModelIndex& index, int role) const override {
        const Row* row = rowAt(index);
        return row && role == Qt::DisplayRole ? QVariant(row->id) : QVariant();
    }
};

std::vector<Row> rowsOf(std::initializer_list<int> ids, int value = 0) {
    std::vector<Row> rows;
    for (int id : ids) {
        rows.push_back({id, value});
    }
    return rows;
}

} // namespace

class KeyedListModelTests : public QObject {
    Q_OBJECT

  private slots:
    // Every change is told as removals, insertions, moves and changed values: rows that stay keep
    // their persistent indexes and the list is never reset.
    void anyNextListIsReachedRowByRow() {
        Rows model;
        QAbstractItemModelTester tester(&model, QAbstractItemModelTester::FailureReportingMode::QtTest);
        QSignalSpy resets(&model, &QAbstractItemModel::modelReset);
        std::mt19937 random(20261120);
        for (int round = 0; round < 400; ++round) {
            std::vector<Row> next;
            for (int id = 0; id < 30; ++id) {
                if (random() % 3 != 0) {
                    next.push_back({id, static_cast<int>(random() % 4)});
                }
            }
            if (round % 4 == 0) {
                std::shuffle(next.begin(), next.end(), random);
            } else if (!next.empty()) {
                // One row moves, as a rename re-sorts the list.
                const size_t from = random() % next.size();
                const size_t to = random() % next.size();
                const Row moved = next[from];
                next.erase(next.begin() + static_cast<std::ptrdiff_t>(from));
                next.insert(next.begin() + static_cast<std::ptrdiff_t>(to), moved);
            }
            std::vector<std::pair<QPersistentModelIndex, int>> kept;
            for (int row = 0; row < model.rowCount(); ++row) {
                kept.emplace_back(model.index(row), model.rows()[static_cast<size_t>(row)].id);
            }
            model.applyRows(next);
            QVERIFY(model.rows() == next);
            for (const auto& [index, id] : kept) {
                const bool stays = std::ranges::find(next, id, &Row::id) != next.end();
                QCOMPARE(index.isValid(), stays);
                if (stays) {
                    QCOMPARE(index.data().toInt(), id);
                    QCOMPARE(model.rowOf(id), index.row());
                }
            }
        }
        QCOMPARE(resets.count(), 0);
    }

    void aChangedValueIsOneRowsChangeAndAMoveIsOneMove() {
        Rows model;
        model.applyRows(rowsOf({1, 2, 3, 4, 5}));
        QSignalSpy changes(&model, &QAbstractItemModel::dataChanged);
        QSignalSpy moves(&model, &QAbstractItemModel::rowsMoved);
        auto next = rowsOf({1, 2, 3, 4, 5});
        next[2].value = 7;
        model.applyRows(next);
        QCOMPARE(changes.count(), 1);
        QCOMPARE(changes[0][0].toModelIndex().row(), 2);

        model.applyRows(rowsOf({2, 3, 4, 5, 1}));
        QCOMPARE(moves.count(), 1);
        model.applyRows(rowsOf({1, 2, 3, 4, 5}));
        QCOMPARE(moves.count(), 2);
    }
};

QTEST_GUILESS_MAIN(KeyedListModelTests)
#include "KeyedListModelTests.moc"
