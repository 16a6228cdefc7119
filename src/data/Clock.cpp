#include "data/Clock.h"

#include <ctime>
#include <utility>

namespace {
std::function<CDate()>& DateSource()
{
    static std::function<CDate()> source;
    return source;
}
}  // namespace

CDate GetCurrentDate()
{
    if (DateSource()) return DateSource()();
    std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    return CDate{local.tm_year + 1900, local.tm_mon + 1, local.tm_mday};
}

void SetCurrentDateSourceForTesting(std::function<CDate()> source)
{
    DateSource() = std::move(source);
}
