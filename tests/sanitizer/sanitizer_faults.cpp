// One deliberate fault per run, for the sanitizer build's own check: the report must end the
// program with an error even though main() would return 0 afterwards.

#include <climits>
#include <cstdio>
#include <string_view>

namespace {

volatile int g_big = INT_MAX;
volatile int g_index = 4;
char *volatile g_lost = nullptr;

} // namespace

int main(int argc, char **argv)
{
    const std::string_view fault = argc > 1 ? argv[1] : "";
    if (fault == "signed-overflow") {
        const int sum = g_big + 1;
        std::printf("%d\n", sum);
    } else if (fault == "heap-overflow") {
        char *volatile bytes = new char[4]; // volatile: only the address check sees the overflow
        bytes[g_index] = 1;
        delete[] bytes;
    } else if (fault == "leak") {
        g_lost = new char[64];
        g_lost = nullptr;
    }
    std::puts("carried on after the fault");
    return 0;
}
