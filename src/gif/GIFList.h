#pragma once
// An ordered list of codec items that owns them. An item destroyed directly detaches itself
// (see the item destructors), so DeleteAt and a plain delete leave the list consistent.
//
// Every item knows whether it stands in a list (TGIFItem::Listed). An item that does not stands in
// none, so the destructor's detach and the "already added?" checks cost nothing for it: deleting or
// clearing n items, and appending n new ones, is linear in n.

#include <algorithm>
#include <cstdint>
#include <stdexcept>
#include <vector>

#include "GIFObject.h"

class TStream;

// Items stepped over, on this thread, by list searches, by the shifting of inserts and erases, and by
// walks over a whole frame list: the work of the list operations. Tests read it to show that loading,
// appending, saving and freeing n items stay O(n).
inline thread_local std::uint64_t GIFListSteps = 0;

template <class TItem> class TGIFList : public TGIFObject {
  public:
    TGIFList() = default;
    ~TGIFList() override { ClearAll(); }

    // Index checked: a bad index raises std::out_of_range.
    TItem* ItemAt(int index) const { return Items_.at(static_cast<std::size_t>(index)); }
    TItem* operator[](int index) const { return ItemAt(index); }
    int ItemCount() const { return static_cast<int>(Items_.size()); }
    int AppendItem(TItem* item) {
        ++GIFListSteps;
        Items_.push_back(item);
        item->Listed_ = true;
        return ItemCount() - 1;
    }
    void InsertAt(int index, TItem* item) {
        if (index < 0 || index > ItemCount()) throw std::out_of_range("List index out of bounds");
        GIFListSteps += static_cast<std::uint64_t>(ItemCount() - index) + 1;
        Items_.insert(Items_.begin() + index, item);
        item->Listed_ = true;
    }
    void MoveItem(int from, int to) {
        ItemAt(from);
        if (to < 0 || to >= ItemCount()) throw std::out_of_range("List index out of bounds");
        const auto first = Items_.begin();
        GIFListSteps += static_cast<std::uint64_t>(from < to ? to - from : from - to) + 1;
        if (from < to)
            std::rotate(first + from, first + from + 1, first + to + 1);
        else if (to < from)
            std::rotate(first + to, first + from, first + from + 1);
    }
    // Removes the item and destroys it.
    void DeleteAt(int index) {
        TItem* item = ItemAt(index);
        GIFListSteps += static_cast<std::uint64_t>(ItemCount() - index);
        Items_.erase(Items_.begin() + index);
        item->Listed_ = false;
        delete item;
    }
    // Removes the item without destroying it; answers its former index (-1 when not listed).
    int Detach(const TItem* item) {
        const int index = IndexOf(item);
        if (index < 0) return -1;
        GIFListSteps += static_cast<std::uint64_t>(ItemCount() - index);
        Items_.erase(Items_.begin() + index);
        const_cast<TItem*>(item)->Listed_ = false;
        return index;
    }
    // The item's index, -1 when it is not in this list. Searched from the end: the items looked for
    // are mostly the ones just added.
    int IndexOf(const TItem* item) const {
        if (!item || !item->Listed_) return -1;
        for (int i = ItemCount() - 1; i >= 0; --i) {
            ++GIFListSteps;
            if (Items_[static_cast<std::size_t>(i)] == item) return i;
        }
        return -1;
    }
    // Deletes every item, in list order. The list is emptied first, so no destructor searches it.
    void ClearAll() {
        std::vector<TItem*> items;
        items.swap(Items_);
        GIFListSteps += items.size();
        for (TItem* item : items)
            item->Listed_ = false;
        for (TItem* item : items)
            delete item;
    }
    // Writes every item in order.
    void SaveToStream(TStream& stream) const {
        for (TItem* item : Items_)
            item->SaveToStream(stream);
    }

    typename std::vector<TItem*>::const_iterator begin() const { return Items_.begin(); }
    typename std::vector<TItem*>::const_iterator end() const { return Items_.end(); }

  private:
    std::vector<TItem*> Items_;
};
