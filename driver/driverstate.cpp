#include "driver/driverstate.h"

#include "driver/delivery.h"
#include "driver/port.h"
#include "driver/reader.h"

namespace driver {

DriverState::DriverState() = default;

// Unload: the port closes as CLOSEPORT closes it, then the delivery objects go.
DriverState::~DriverState()
{
    closePort(*this);
}

DriverState &driverState()
{
    static DriverState state;
    return state;
}

} // namespace driver
