#pragma once
// An ordered list of codec items that owns them: items come in and go out as std::unique_ptr. An item
// destroyed while listed detaches itself (see the item destructors), so the list stays consistent.
//
// Every item knows whether it stands in a list (TGIFItem::Listed). An item that does not stands in
// none, so the destructor's detach and the "already added?" checks cost nothing for it: deleting or
// clearing n items, and appending n new ones, is linear in n.

#include <algorithm>
#include <cstdint>
#include <cstring>
#include <memory>
#include <stdexcept>
#include <utility>

#include "GIFObject.h"

class TStream;

// Items stepped over, on this thread, by list searches, by the shifting of inserts and erases, and by
// walks over a whole frame list: the work of the list operations. Tests read it to show that loading,
// appending, saving and freeing n items stay O(n).
inline thread_local std::uint64_t GIFListSteps = 0;

// The item pointers of a list, the first kept in the list itself (a frame mostly carries one
// extension, so most lists never allocate), more in a heap array that doubles.
template <class T> class TGIFItemSlots {
  public:
    TGIFItemSlots() = default;
    ~TGIFItemSlots() {
        if (Data_ != Inline_) delete[] Data_;
    }
    TGIFItemSlots(const TGIFItemSlots&) = delete;
    TGIFItemSlots& operator=(const TGIFItemSlots&) = delete;

    int Size() const { return Size_; }
    T* operator[](int index) const { return Data_[index]; }
    T* const* begin() const { return Data_; }
    T* const* end() const { return Data_ + Size_; }
    void Insert(int index, T* item) {
        if (Size_ == Capacity_) Grow();
        std::memmove(Data_ + index + 1, Data_ + index, sizeof(T*) * static_cast<std::size_t>(Size_ - index));
        Data_[index] = item;
        ++Size_;
    }
    void Erase(int index) {
        std::memmove(Data_ + index, Data_ + index + 1,
                     sizeof(T*) * static_cast<std::size_t>(Size_ - index - 1));
        --Size_;
    }
    // The item at from goes to to; the items between shift by one.
    void Move(int from, int to) {
        T* item = Data_[from];
        if (from < to)
            std::memmove(Data_ + from, Data_ + from + 1, sizeof(T*) * static_cast<std::size_t>(to - from));
        else
            std::memmove(Data_ + to + 1, Data_ + to, sizeof(T*) * static_cast<std::size_t>(from - to));
        Data_[to] = item;
    }
    void Swap(TGIFItemSlots& other) {
        const bool inlineHere = Data_ == Inline_, inlineThere = other.Data_ == other.Inline_;
        std::swap(Data_, other.Data_);
        std::swap(Size_, other.Size_);
        std::swap(Capacity_, other.Capacity_);
        std::swap(Inline_[0], other.Inline_[0]);
        if (inlineHere) other.Data_ = other.Inline_;
        if (inlineThere) Data_ = Inline_;
    }

  private:
    void Grow() {
        const int capacity = Capacity_ * 2;
        T** data = new T*[static_cast<std::size_t>(capacity)];
        std::memcpy(data, Data_, sizeof(T*) * static_cast<std::size_t>(Size_));
        if (Data_ != Inline_) delete[] Data_;
        Data_ = data;
        Capacity_ = capacity;
    }
    T* Inline_[1] = {nullptr};
    T** Data_ = Inline_;
    int Size_ = 0;
    int Capacity_ = 1;
};

template <class TItem> class TGIFList : public TGIFObject {
  public:
    TGIFList() = default;
    ~TGIFList() override { ClearAll(); }

    // Index checked: a bad index raises std::out_of_range.
    TItem* ItemAt(int index) const {
        if (index < 0 || index >= ItemCount()) throw std::out_of_range("List index out of bounds");
        return Items_[index];
    }
    TItem* operator[](int index) const { return ItemAt(index); }
    int ItemCount() const { return Items_.Size(); }
    // Takes the item and appends it; answers its index.
    int AppendItem(std::unique_ptr<TItem> item) {
        ++GIFListSteps;
        Items_.Insert(ItemCount(), item.get());
        item.release()->Listed_ = true;
        return ItemCount() - 1;
    }
    // Takes the item and inserts it before index (ItemCount() appends).
    void InsertAt(int index, std::unique_ptr<TItem> item) {
        if (index < 0 || index > ItemCount()) throw std::out_of_range("List index out of bounds");
        GIFListSteps += static_cast<std::uint64_t>(ItemCount() - index) + 1;
        Items_.Insert(index, item.get());
        item.release()->Listed_ = true;
    }
    void MoveItem(int from, int to) {
        ItemAt(from);
        if (to < 0 || to >= ItemCount()) throw std::out_of_range("List index out of bounds");
        GIFListSteps += static_cast<std::uint64_t>(from < to ? to - from : from - to) + 1;
        Items_.Move(from, to);
    }
    // Removes the item and hands it to the caller.
    std::unique_ptr<TItem> TakeAt(int index) {
        TItem* item = ItemAt(index);
        GIFListSteps += static_cast<std::uint64_t>(ItemCount() - index);
        Items_.Erase(index);
        item->Listed_ = false;
        return std::unique_ptr<TItem>(item);
    }
    // Removes the item and destroys it.
    void DeleteAt(int index) { TakeAt(index); }
    // Removes an item that is being destroyed (its destructor calls this), or one whose owner takes it
    // over, without destroying it; answers its former index (-1 when not listed).
    int Detach(const TItem* item) {
        const int index = IndexOf(item);
        if (index < 0) return -1;
        GIFListSteps += static_cast<std::uint64_t>(ItemCount() - index);
        Items_.Erase(index);
        const_cast<TItem*>(item)->Listed_ = false;
        return index;
    }
    // The item's index, -1 when it is not in this list. Searched from the end: the items looked for
    // are mostly the ones just added.
    int IndexOf(const TItem* item) const {
        if (!item || !item->Listed_) return -1;
        for (int i = ItemCount() - 1; i >= 0; --i) {
            ++GIFListSteps;
            if (Items_[i] == item) return i;
        }
        return -1;
    }
    // Deletes every item, in list order. The list is emptied first, so no destructor searches it.
    void ClearAll() {
        TGIFItemSlots<TItem> items;
        items.Swap(Items_);
        GIFListSteps += static_cast<std::uint64_t>(items.Size());
        for (TItem* item : items)
            item->Listed_ = false;
        for (TItem* item : items)
            std::unique_ptr<TItem>{item}.reset();
    }
    // Writes every item in order.
    void SaveToStream(TStream& stream) const {
        for (TItem* item : Items_)
            item->SaveToStream(stream);
    }

    TItem* const* begin() const { return Items_.begin(); }
    TItem* const* end() const { return Items_.end(); }

  private:
    TGIFItemSlots<TItem> Items_;
};
