// Boost is built without exceptions (BOOST_NO_EXCEPTIONS) and calls this instead of throwing.
// Boost declares it no-return and the code after the call assumes so: print and stop.
#include <boost/throw_exception.hpp>

#include <cstdio>
#include <cstdlib>
#include <exception>

namespace boost {

void throw_exception(const std::exception& e)
{
    std::fputs(e.what(), stdout);   // the text as it is: a '%' stays a '%'
    std::fflush(stdout);
    std::abort();
}

void throw_exception(const std::exception& e, const boost::source_location&)
{
    throw_exception(e);
}

} // namespace boost
