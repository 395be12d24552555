#include <cstdio>

int main()
{
    std::fprintf(stderr, "quendrax: the game is not built yet (the engines and their tools are; see README.md)\n");
    return 2;
}
