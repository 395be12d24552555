#include "framework/GameReadings.h"
#include "framework/ResourceContext.h"

SResourceContext& GetResourceContext()
{
    static SResourceContext context;
    return context;
}

SGameReadings& GetGameReadings()
{
    static SGameReadings readings;
    return readings;
}
