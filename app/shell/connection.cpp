#include "app/shell/connection.h"

namespace app::shell {

Connection &CurrentConnection()
{
    static Connection connection;
    return connection;
}

} // namespace app::shell
