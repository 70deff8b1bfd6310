#include "app/shell/connection.h"

#include "app/shell/shellstate.h"

namespace app::shell {

Connection &CurrentConnection()
{
    return ShellState::current().connection;
}

} // namespace app::shell
