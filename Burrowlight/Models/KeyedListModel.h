#pragma once

#include <QAbstractListModel>
#include <algorithm>
#include <optional>
#include <type_traits>
#include <unordered_map>
#include <unordered_set>
#include <vector>

namespace burrowlight {

// A list model over rows that each carry a unique key. Handing it the next rows tells the views
// exactly what happened: rows removed, inserted and moved keep the others' selection and scroll
// position, and rows whose value changed get `dataChanged`; the list is never reset.
// `Row` needs `key()` (hashable) and `==`.
template <class Row> class KeyedListModel : public QAbstractListModel {
  public:
    using Key = std::remove_cvref_t<decltype(std::declval<const Row&>().key())>;

    using QAbstractListModel::QAbstractListModel;

    int rowCount(const QModelIndex& parent = {}) const override {
        return parent.isValid() ? 0 : static_cast<int>(rows_.size());
    }

    const std::vector<Row>& rows() const { return rows_; }
    const Row* rowAt(const QModelIndex& index) const {
        return index.isValid() && index.row() < rowCount() ? &rows_[static_cast<size_t>(index.row())]
                                                           : nullptr;
    }
    // Also while the views hear of a change: the positions are those of the rows as they now are.
    std::optional<int> rowOf(const Key& key) const {
        if (positionsStale_) {
            indexPositions();
        }
        const auto found = positions_.find(key);
        return found == positions_.end() ? std::nullopt : std::optional<int>(found->second);
    }

  protected:
    void applyRows(std::vector<Row> next) {
        removeRowsMissingFrom(next);
        std::unordered_map<Key, size_t> wantedAt;
        for (size_t at = 0; at < next.size(); ++at) {
            wantedAt.emplace(next[at].key(), at);
        }
        std::vector<int> changed;
        std::unordered_set<Key> present;
        for (const auto& row : rows_) {
            present.insert(row.key());
        }
        for (size_t index = 0; index < next.size();) {
            if (index < rows_.size() && rows_[index].key() == next[index].key()) {
                if (!(rows_[index] == next[index])) {
                    rows_[index] = std::move(next[index]);
                    changed.push_back(static_cast<int>(index));
                }
                ++index;
            } else if (present.contains(next[index].key())) {
                moveInto(index, next[index].key(), wantedAt);
            } else {
                index = insertRun(index, next, present);
            }
        }
        indexPositions();
        emitChanged(changed);
    }

    // One row's new value under the same key.
    void replaceRow(int row, Row value, const QList<int>& roles = {}) {
        rows_[static_cast<size_t>(row)] = std::move(value);
        rowsChanged(row, row, roles);
    }

    // Without moving anything: the views are told the rows changed.
    void rowsChanged(int first, int last, const QList<int>& roles = {}) {
        if (first <= last) {
            emit dataChanged(index(first), index(last), roles);
        }
    }

  private:
    void removeRowsMissingFrom(const std::vector<Row>& next) {
        std::unordered_set<Key> kept;
        for (const auto& row : next) {
            kept.insert(row.key());
        }
        for (int last = rowCount() - 1; last >= 0;) {
            if (kept.contains(rows_[static_cast<size_t>(last)].key())) {
                --last;
                continue;
            }
            int first = last;
            while (first > 0 && !kept.contains(rows_[static_cast<size_t>(first - 1)].key())) {
                --first;
            }
            beginRemoveRows({}, first, last);
            rows_.erase(rows_.begin() + first, rows_.begin() + last + 1);
            positionsStale_ = true;
            endRemoveRows();
            last = first - 1;
        }
    }

    // Row `index` differs from what it should hold, which is further down: either the row there
    // moved down (the wanted one follows it directly) or the wanted one moved up.
    void moveInto(size_t index, const Key& wanted, const std::unordered_map<Key, size_t>& wantedAt) {
        size_t from = index + 1;
        while (rows_[from].key() != wanted) {
            ++from;
        }
        if (from == index + 1) {
            const size_t target = wantedAt.at(rows_[index].key());
            size_t before = index + 1;
            while (before < rows_.size() && wantedAt.at(rows_[before].key()) < target) {
                ++before;
            }
            moveRow(index, before);
        } else {
            moveRow(from, index);
        }
    }

    // Moves the row at `from` to stand before the row now at `before`.
    void moveRow(size_t from, size_t before) {
        beginMoveRows({}, static_cast<int>(from), static_cast<int>(from), {}, static_cast<int>(before));
        Row row = std::move(rows_[from]);
        rows_.erase(rows_.begin() + static_cast<std::ptrdiff_t>(from));
        rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(before > from ? before - 1 : before),
                     std::move(row));
        positionsStale_ = true;
        endMoveRows();
    }

    size_t insertRun(size_t index, std::vector<Row>& next, std::unordered_set<Key>& present) {
        size_t end = index + 1;
        while (end < next.size() && !present.contains(next[end].key())) {
            ++end;
        }
        beginInsertRows({}, static_cast<int>(index), static_cast<int>(end - 1));
        for (size_t at = index; at < end; ++at) {
            present.insert(next[at].key());
        }
        rows_.insert(rows_.begin() + static_cast<std::ptrdiff_t>(index),
                     std::make_move_iterator(next.begin() + index),
                     std::make_move_iterator(next.begin() + end));
        positionsStale_ = true;
        endInsertRows();
        return end;
    }

    void indexPositions() const {
        positionsStale_ = false;
        positions_.clear();
        positions_.reserve(rows_.size());
        for (size_t at = 0; at < rows_.size(); ++at) {
            positions_.emplace(rows_[at].key(), static_cast<int>(at));
        }
    }

    void emitChanged(const std::vector<int>& changed) {
        for (size_t first = 0; first < changed.size();) {
            size_t last = first;
            while (last + 1 < changed.size() && changed[last + 1] == changed[last] + 1) {
                ++last;
            }
            rowsChanged(changed[first], changed[last]);
            first = last + 1;
        }
    }

    std::vector<Row> rows_;
    mutable std::unordered_map<Key, int> positions_;
    mutable bool positionsStale_ = false;
};

} // namespace burrowlight
