// The rows of one model table grouped by a key they hold (an object number
// such as Id, OwnerId or SourceId, or a name), in table order. Every lookup of
// the generation takes the last match or every match in row order; with this
// index that costs one step where a scan of the table for each lookup would
// cost rows times rows.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <functional>
#include <type_traits>

#include "model/FsmModel.h"

namespace kestrom {

template <typename Key> class RowIndex {
public:
    // Rows 1 to count of table, each found by keyOf(record).
    template <typename Rec, std::size_t Slots, typename KeyOf>
    RowIndex(const std::array<Rec, Slots>& table, int count, KeyOf keyOf) {
        static_assert(Slots <= kMaxObjects + 1, "a row index holds one model table");
        for (int row = 1; row <= count; ++row)
            Add(keyOf(table[row]), row);
    }

    // The first and the last row holding key, 0 when none does.
    int First(const Key& key) const { return slots_[SlotAt(key)].First; }
    int Last(const Key& key) const { return slots_[SlotAt(key)].Last; }

    // The next row holding the same key as row, 0 after the last.
    int Next(int row) const { return next_[row]; }

private:
    using Row = std::int16_t;
    struct Slot {
        Key Value{};
        Row First = 0; // 0: the slot is free
        Row Last = 0;
    };

    // At least twice as many slots as rows keeps the probe sequences short.
    static constexpr int kSlotBits = 9;
    static constexpr std::size_t kSlots = std::size_t{1} << kSlotBits;
    static_assert(kSlots >= 2 * kMaxObjects);

    // The top bits of the key's hash times the golden ratio: object numbers
    // in a row spread over the whole table.
    static std::size_t Home(const Key& key) {
        const std::uint64_t hash = std::hash<Key>{}(key);
        return static_cast<std::size_t>((hash * 0x9E3779B97F4A7C15u) >> (64 - kSlotBits));
    }

    // Where key is, or the free slot where it would go.
    std::size_t SlotAt(const Key& key) const {
        std::size_t at = Home(key);
        while (slots_[at].First != 0 && !(slots_[at].Value == key))
            at = (at + 1) & (kSlots - 1);
        return at;
    }

    void Add(const Key& key, int row) {
        Slot& slot = slots_[SlotAt(key)];
        if (slot.First == 0) {
            slot.Value = key;
            slot.First = static_cast<Row>(row);
        } else {
            next_[slot.Last] = static_cast<Row>(row);
        }
        slot.Last = static_cast<Row>(row);
    }

    std::array<Slot, kSlots> slots_{};
    std::array<Row, kMaxObjects + 1> next_{};
};

template <typename Rec, std::size_t Slots, typename KeyOf>
RowIndex(const std::array<Rec, Slots>&, int, KeyOf)
    -> RowIndex<std::decay_t<std::invoke_result_t<KeyOf, const Rec&>>>;

} // namespace kestrom
