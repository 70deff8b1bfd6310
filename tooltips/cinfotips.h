#ifndef TOOLTIPS_CINFOTIPS_H
#define TOOLTIPS_CINFOTIPS_H

#include "tooltips/cinfotip.h"
#include "tooltips/tipcollection.h"

namespace tooltips {

// The infotips of a tooltip control. Adding under a key in use replaces that item.
class CInfotips : public TipCollection<CInfotip>
{
public:
    void Add(ItemPtr cItem, const QString &sKey = QString())
    {
        if (!sKey.isEmpty() && Exists(sKey))
            Remove(sKey);
        TipCollection<CInfotip>::Add(std::move(cItem), sKey);
    }
};

} // namespace tooltips

#endif
