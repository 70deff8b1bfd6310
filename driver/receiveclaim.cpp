#include "driver/receiveclaim.h"

namespace driver {

ReceiveClaim::Scope::Scope(ReceiveClaim &claim) : claim_(claim)
{
    std::lock_guard lock(claim_.mutex_);
    claim_.claimed_ = true;
}

ReceiveClaim::Scope::~Scope()
{
    std::lock_guard lock(claim_.mutex_);
    claim_.claimed_ = false;
}

} // namespace driver
