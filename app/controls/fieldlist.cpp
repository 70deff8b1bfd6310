#include "app/controls/fieldlist.h"

#include <algorithm>
#include <cmath>

#include "platform/vb/val.h"

namespace app::controls {

void FieldList::fill(const QString &list, const QString &allowed)
{
    entries_ = list.isEmpty() ? QStringList() : list.split(QLatin1Char('|'));
    numbers_.clear();
    if (allowed.isEmpty())
        return;
    const QStringList numbers = allowed.split(QLatin1Char('|'));
    for (qsizetype i = 0; i < entries_.size(); ++i) {
        const double n = i < numbers.size() ? platform::vb::Val(numbers.at(i)) : 0.0;
        numbers_.push_back(static_cast<int32_t>(std::nearbyint(n)));
    }
}

void FieldList::append(const QString &item, bool numbered)
{
    entries_.append(item);
    if (numbered)
        numbers_.push_back(0);
}

void FieldList::clear()
{
    entries_.clear();
    numbers_.clear();
}

int32_t FieldList::numberAt(int position) const
{
    // Entries added before the list was numbered have no number.
    if (position >= 0 && static_cast<size_t>(position) < numbers_.size())
        return numbers_[static_cast<size_t>(position)];
    return -1;
}

int FieldList::positionOf(int32_t number) const
{
    const auto it = std::find(numbers_.begin(), numbers_.end(), number);
    return it == numbers_.end() ? -1 : static_cast<int>(it - numbers_.begin());
}

} // namespace app::controls
