#include "platform/vb/vberror.h"

namespace platform::vb {

VbError::VbError(int number, QString source, QString description)
    : number_(number), source_(std::move(source)), description_(std::move(description)),
      what_((source_ + QStringLiteral(": ") + description_).toStdString())
{}

} // namespace platform::vb
