#ifndef TESTS_SUPPORT_NAMEDCASE_H
#define TESTS_SUPPORT_NAMEDCASE_H

#include <ostream>

namespace testsupport {

// Parameter cases with a `name` print as their name. A test file brings it in with
// `using testsupport::PrintTo;` in the namespace of its cases.
template <typename Case>
requires requires(const Case &c, std::ostream &os)
{
    os << c.name;
}
void PrintTo(const Case &c, std::ostream *os)
{
    *os << c.name;
}

} // namespace testsupport

#endif
