#include "framework/ResourceContext.h"

SResourceContext& GetResourceContext()
{
    static SResourceContext context;
    return context;
}
