#ifndef TOOLTIPS_TIPCOLLECTION_H
#define TOOLTIPS_TIPCOLLECTION_H

#include <memory>
#include <vector>

#include <QString>

#include "platform/vb/vberror.h"

namespace tooltips {

// A keyed collection of tips: by 1-based position or by key (any case), in order of adding.
// Adding an item makes its window.
template <typename Tip>
class TipCollection
{
public:
    using ItemPtr = std::shared_ptr<Tip>;

private:
    struct Entry
    {
        QString key; // lower case; empty when added without a key
        ItemPtr item;
    };

public:
    int Count() const { return static_cast<int>(items_.size()); }

    // The first item bound to the window, or nullptr.
    ItemPtr ItemByControlhWnd(int32_t hWnd) const
    {
        for (const Entry &entry : items_)
            if (entry.item->hWndControl() == hWnd)
                return entry.item;
        return nullptr;
    }

    void Add(ItemPtr cItem, const QString &sKey = QString())
    {
        if (!sKey.isEmpty() && find(sKey) >= 0)
            throw platform::vb::VbError(
                platform::vb::VbError::KeyInUse, QStringLiteral("R77Tip"),
                QStringLiteral("This key is already associated with an element of this "
                               "collection"));
        items_.push_back({sKey.toLower(), cItem});
        cItem->Create();
    }

    void Clear() { std::vector<Entry>().swap(items_); }

    bool Exists(int index) const { return Item(index) != nullptr; }
    bool Exists(const QString &key) const { return Item(key) != nullptr; }

    // Nothing when absent.
    ItemPtr Item(int index) const
    {
        return index >= 1 && index <= Count() ? items_[static_cast<size_t>(index - 1)].item
                                              : nullptr;
    }
    ItemPtr Item(const QString &key) const
    {
        const int at = find(key);
        return at >= 0 ? items_[static_cast<size_t>(at)].item : nullptr;
    }

    void Remove(int index)
    {
        if (index < 1 || index > Count())
            throw platform::vb::VbError(platform::vb::VbError::SubscriptOutOfRange,
                                        QStringLiteral("R77Tip"),
                                        QStringLiteral("Subscript out of range"));
        erase(index - 1);
    }
    void Remove(const QString &key)
    {
        const int at = find(key);
        if (at < 0)
            throw platform::vb::VbError(platform::vb::VbError::InvalidCall,
                                        QStringLiteral("R77Tip"),
                                        QStringLiteral("Invalid procedure call or argument"));
        erase(at);
    }

    // Iteration over the items in order.
    class const_iterator
    {
    public:
        using Inner = typename std::vector<Entry>::const_iterator;
        explicit const_iterator(Inner at) : at_(at) {}
        const ItemPtr &operator*() const { return at_->item; }
        const_iterator &operator++()
        {
            ++at_;
            return *this;
        }
        bool operator!=(const const_iterator &other) const { return at_ != other.at_; }

    private:
        Inner at_;
    };
    const_iterator begin() const { return const_iterator(items_.begin()); }
    const_iterator end() const { return const_iterator(items_.end()); }

private:
    int find(const QString &key) const
    {
        const QString wanted = key.toLower();
        for (size_t i = 0; i < items_.size(); ++i)
            if (!wanted.isEmpty() && items_[i].key == wanted)
                return static_cast<int>(i);
        return -1;
    }

    void erase(int at)
    {
        // The item may end here; it must not find itself half removed.
        ItemPtr gone = items_[static_cast<size_t>(at)].item;
        items_.erase(items_.begin() + at);
    }

    std::vector<Entry> items_;
};

} // namespace tooltips

#endif
