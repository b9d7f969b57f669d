#pragma once
// An ordered list of codec items that owns them. An item destroyed directly detaches itself
// (see the item destructors), so DeleteAt and a plain delete leave the list consistent.

#include <algorithm>
#include <stdexcept>
#include <vector>

#include "GIFObject.h"

class TStream;

template <class TItem> class TGIFList : public TGIFObject {
  public:
    TGIFList() = default;
    ~TGIFList() override { ClearAll(); }

    // Index checked: a bad index raises std::out_of_range.
    TItem* ItemAt(int index) const { return Items_.at(static_cast<std::size_t>(index)); }
    TItem* operator[](int index) const { return ItemAt(index); }
    int ItemCount() const { return static_cast<int>(Items_.size()); }
    int AppendItem(TItem* item) {
        Items_.push_back(item);
        return ItemCount() - 1;
    }
    void InsertAt(int index, TItem* item) {
        if (index < 0 || index > ItemCount()) throw std::out_of_range("List index out of bounds");
        Items_.insert(Items_.begin() + index, item);
    }
    void MoveItem(int from, int to) {
        TItem* item = ItemAt(from);
        if (to < 0 || to >= ItemCount()) throw std::out_of_range("List index out of bounds");
        Items_.erase(Items_.begin() + from);
        Items_.insert(Items_.begin() + to, item);
    }
    // Removes the item and destroys it.
    void DeleteAt(int index) {
        TItem* item = ItemAt(index);
        Items_.erase(Items_.begin() + index);
        delete item;
    }
    // Removes the item without destroying it; answers its former index (-1 when not listed).
    int Detach(const TItem* item) {
        auto it = std::find(Items_.begin(), Items_.end(), item);
        if (it == Items_.end()) return -1;
        const int index = static_cast<int>(it - Items_.begin());
        Items_.erase(it);
        return index;
    }
    int IndexOf(const TItem* item) const {
        auto it = std::find(Items_.begin(), Items_.end(), item);
        return it == Items_.end() ? -1 : static_cast<int>(it - Items_.begin());
    }
    void ClearAll() {
        while (!Items_.empty())
            DeleteAt(0);
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
